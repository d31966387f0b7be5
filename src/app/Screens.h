#pragma once
// Screen plumbing shared by every work screen: frame buttons, unloading, text boxes.
#include <QObject>
#include <Qt>
#include <functional>

class QPushButton;
class QString;
class QWidget;

namespace orvane {

// The title-bar buttons of a screen's frame inside the main window. A screen declares a
// restriction in its constructor; without one it gets a close box and a minimise button.
enum class FrameButtons { CloseAndMinimise, CloseOnly, None };
void SetFrameButtons(QWidget* screen, FrameButtons buttons);
Qt::WindowFlags FrameFlagsFor(const QWidget* screen);

// Closes and releases a screen, together with its frame inside the main window.
void UnloadScreen(QWidget* screen);
// True once UnloadScreen ran for the screen (it is deleted later, by the event loop).
bool IsUnloaded(const QWidget* screen);

// Runs the action when a mouse button is pressed on the control or inside it; the press
// then goes on to the control.
void OnMousePress(QWidget* control, std::function<void()> action);

// Runs the work; a database failure is shown as its message and gives false.
bool ShowingDbError(const std::function<void()>& work);

// A command button: Enter presses it while it has the focus; no button is the screen's
// default, so Enter in a text box never presses one.
QPushButton* CommandButton(const QString& caption, const char* name, QWidget* parent);

// Text boxes carry no length limit of their own (Qt's default is 32767).
void LiftLengthLimit(QWidget* box);

// Selects a line edit's whole text whenever it gains the focus.
void SelectAllOnFocus(QWidget* box);

} // namespace orvane
