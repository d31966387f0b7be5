#pragma once
// How a screen opens another without knowing the window that hosts them: the main window
// registers itself here, feature screens ask for it. Every screen exists at most once.
#include <QList>
#include <QWidget>

namespace orvane {

class ScreenHost {
  public:
    virtual ~ScreenHost() = default;
    // The work screens now open.
    virtual QList<QWidget*> screens() const = 0;
    // Puts a newly made screen into a frame of the host (not yet shown).
    virtual void adopt(QWidget* screen) = 0;
    // Shows a screen's frame and brings it to the front.
    virtual void present(QWidget* screen) = 0;
    // The window pick-lists and messages belong to when no other is active.
    virtual QWidget* ownerWindow() = 0;
};

// The registered host; nullptr before sign-in and after the main window has gone.
ScreenHost* CurrentScreenHost();
void RegisterScreenHost(ScreenHost* host);
// Forgets the host, but only if it is still the registered one.
void UnregisterScreenHost(ScreenHost* host);

template <class T> T* FindScreenIn(const ScreenHost& host) {
    for (QWidget* screen : host.screens())
        if (auto* match = qobject_cast<T*>(screen))
            return match;
    return nullptr;
}

// An open screen is brought forward unchanged; a new one is created, loaded (its Form_Load
// runs) and shown.
template <class T> T* OpenScreenIn(ScreenHost& host) {
    if (T* open = FindScreenIn<T>(host)) {
        host.present(open);
        open->setFocus();
        return open;
    }
    auto* screen = new T();
    host.adopt(screen);
    screen->Form_Load();
    host.present(screen);
    screen->setFocus();
    return screen;
}

// The same in the registered host; nullptr when none is registered.
template <class T> T* FindScreen() {
    ScreenHost* host = CurrentScreenHost();
    return host ? FindScreenIn<T>(*host) : nullptr;
}
template <class T> T* OpenScreen() {
    ScreenHost* host = CurrentScreenHost();
    return host ? OpenScreenIn<T>(*host) : nullptr;
}

} // namespace orvane
