#pragma once
// Screen plumbing shared by every work screen: key preview and unloading.
#include <QObject>
#include <Qt>
#include <functional>

class QKeyEvent;
class QWidget;

namespace orvane {

// The screen sees key presses before its controls: the handler runs first for every
// key pressed anywhere on the screen and must return true for every key it acts on.
void InstallKeyPreview(QWidget* screen, std::function<bool(QKeyEvent*)> handler);

// The title-bar buttons of a screen's frame inside the main window. A screen declares a
// restriction in its constructor; without one it gets a close box and a minimise button.
enum class FrameButtons { CloseAndMinimise, CloseOnly, None };
void SetFrameButtons(QWidget* screen, FrameButtons buttons);
Qt::WindowFlags FrameFlagsFor(const QWidget* screen);

// Closes and releases a screen, together with its frame inside the main window.
void UnloadScreen(QWidget* screen);

// Text boxes carry no length limit of their own (Qt's default is 32767).
void LiftLengthLimit(QWidget* box);

// Selects a line edit's whole text whenever it gains the focus.
void SelectAllOnFocus(QWidget* box);

} // namespace orvane
