#pragma once
// The keys a screen acts on, declared in one place: screen keys seen before any control,
// Enter chains from box to box, keys of a single control (F1 look-ups) and a control's own
// key-down handler. One filter per screen dispatches them all.
#include <QObject>
#include <QPointer>
#include <functional>
#include <initializer_list>
#include <vector>

class QKeyEvent;
class QWidget;

namespace orvane {

class KeyMap : public QObject {
  public:
    // Whether a screen key also answers while Shift, Ctrl or Alt is held.
    enum class Held { Any, Nothing };

    // The map lives as long as the screen.
    explicit KeyMap(QWidget* screen);

    // Runs wherever the focus is on the screen, before the focused control sees the key.
    KeyMap& screenKey(int key, std::function<void()> action, Held held = Held::Any);
    // A key pressed in one control (or inside it) runs the action; the control never sees it.
    KeyMap& controlKey(QWidget* control, int key, std::function<void()> action);
    // Enter or keypad Enter in the control.
    KeyMap& enter(QWidget* control, std::function<void()> action);
    // Enter in each control of the chain moves the focus on to the next one.
    KeyMap& enterChain(std::initializer_list<QWidget*> chain);
    // Sees every key pressed in the control, screen keys included (after their action, unless
    // that unloaded the screen); the key then goes on into the control.
    KeyMap& keyDown(QWidget* control, std::function<void(int key)> handler);

    // The dispatch of one key press: true when a declared key acted and the press is spent.
    bool dispatch(QWidget* receiver, QKeyEvent* event);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Binding {
        QPointer<QWidget> control; // null for a screen key
        int key;                   // 0 for a key-down handler
        Held held;
        std::function<void()> action;
        std::function<void(int)> keyDown;
    };
    bool inControl(const Binding& binding, QWidget* receiver) const;

    QWidget* screen_;
    std::vector<Binding> bindings_;
    // The press last dispatched and its receiver, compared only, never followed.
    const QEvent* offered_ = nullptr;
    const QObject* offeredTo_ = nullptr;
};

} // namespace orvane
