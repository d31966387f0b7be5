#pragma once
// The frame screen tests open their screens in: a fake desktop answering every message, and
// a shown main window kept alive when closed. A test class derives from it, calls
// startScreens() in init and stopScreens() in cleanup.
#include "shell/frmMain.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <memory>

namespace orvane::test {

class ScreenFixture {
  protected:
    std::unique_ptr<FakeDesktop> desktop;
    std::unique_ptr<frmMain> main;

    // The desktop first, so the window's own messages are answered.
    void startScreens() {
        desktop = std::make_unique<FakeDesktop>();
        showMain();
    }
    void showMain() {
        main = std::make_unique<frmMain>();
        main->setAttribute(Qt::WA_DeleteOnClose, false);
        main->show();
    }
    // A screen from the menu's route, its Form_Load run and its first events handled.
    template <class T> T* openScreen() {
        T* screen = main->Show<T>();
        QCoreApplication::processEvents();
        return screen;
    }
    // Every screen's frame closed and released, then the window, then the desktop.
    void stopScreens();
};

} // namespace orvane::test
