#include "app/KeyMap.h"

#include "app/Screens.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace orvane {

KeyMap::KeyMap(QWidget* screen) : QObject(screen), screen_(screen) {
    // The application sees every event first, so keys reach the screen before its controls.
    qApp->installEventFilter(this);
}

KeyMap& KeyMap::screenKey(int key, std::function<void()> action, Held held) {
    bindings_.push_back({nullptr, key, held, std::move(action), {}});
    return *this;
}

KeyMap& KeyMap::controlKey(QWidget* control, int key, std::function<void()> action) {
    bindings_.push_back({control, key, Held::Any, std::move(action), {}});
    return *this;
}

KeyMap& KeyMap::enter(QWidget* control, std::function<void()> action) {
    controlKey(control, Qt::Key_Return, action);
    return controlKey(control, Qt::Key_Enter, std::move(action));
}

KeyMap& KeyMap::enterChain(std::initializer_list<QWidget*> chain) {
    const std::vector<QWidget*> order(chain);
    for (size_t i = 0; i + 1 < order.size(); ++i) {
        QWidget* next = order[i + 1];
        enter(order[i], [next] { next->setFocus(); });
    }
    return *this;
}

KeyMap& KeyMap::keyDown(QWidget* control, std::function<void(int)> handler) {
    bindings_.push_back({control, 0, Held::Any, {}, std::move(handler)});
    return *this;
}

bool KeyMap::inControl(const Binding& binding, QWidget* receiver) const {
    // A compound control (a date picker) receives keys in its inner line edit.
    return binding.control &&
           (receiver == binding.control || binding.control->isAncestorOf(receiver));
}

bool KeyMap::dispatch(QWidget* receiver, QKeyEvent* event) {
    const int key = event->key();
    bool spent = false;
    for (const Binding& b : bindings_) {
        if (b.control || b.key != key)
            continue;
        if (b.held == Held::Nothing && event->modifiers() != Qt::NoModifier)
            continue;
        b.action();
        spent = true;
        break;
    }
    // A copy: an action may run a nested event loop (a pick-list) that ends the screen.
    const QPointer<KeyMap> alive(this);
    const std::vector<Binding> bindings = bindings_;
    for (const Binding& b : bindings) {
        if (!alive || !inControl(b, receiver))
            continue;
        if (b.keyDown) {
            if (!IsUnloaded(screen_))
                b.keyDown(key);
        } else if (!spent && b.key == key) {
            b.action();
            spent = true;
        }
    }
    return spent;
}

bool KeyMap::eventFilter(QObject* watched, QEvent* event) {
    // A filter installed while an action runs (a pick-list's map) moves this one along Qt's
    // list of application filters, which then offers it the same press once more.
    const bool again = event == offered_ && watched == offeredTo_;
    offered_ = nullptr;
    offeredTo_ = nullptr;
    if (again || event->type() != QEvent::KeyPress)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !(widget == screen_ || screen_->isAncestorOf(widget)))
        return false;
    // A key acted on is swallowed at its first receiver; one passed on may be offered again
    // while it propagates up to the screen, where no control binding matches it.
    const QPointer<KeyMap> alive(this);
    const bool spent = dispatch(widget, static_cast<QKeyEvent*>(event));
    if (alive) {
        offered_ = event;
        offeredTo_ = watched;
    }
    return spent;
}

} // namespace orvane
