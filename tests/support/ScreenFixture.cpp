#include "support/ScreenFixture.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace orvane::test {

void ScreenFixture::stopScreens() {
    if (main) {
        for (QMdiSubWindow* frame : main->area()->subWindowList()) {
            frame->setAttribute(Qt::WA_DeleteOnClose);
            frame->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    main.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    desktop.reset();
}

} // namespace orvane::test
