#pragma once
// The main window comes back where the user left it: its size, position and maximised state
// are kept in the program's own settings file (SYS.ini) when it closes.
// A kept place is brought onto a screen that exists now: never larger than that screen, with
// its title bar and menus on it.
class QWidget;

namespace orvane {

// Call once the window has its designed size: a kept place replaces it, and the window's
// place is kept again whenever it closes. Without a kept place the design stays as it is.
void KeepWindowPlace(QWidget* window);

} // namespace orvane
