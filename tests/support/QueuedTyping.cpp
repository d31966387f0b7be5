#include "support/QueuedTyping.h"

#include <QWidget>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

namespace orvane::test {

void QueueTyping(QWidget* widget, const QString& text) {
    QWindow* window = widget->window()->windowHandle();
    Q_ASSERT(window);
    for (const QChar ch : text) {
        const int key = ch.toUpper().unicode(); // Qt's key codes for ASCII are its upper case
        const QString t(ch);
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
            window, QEvent::KeyPress, key, Qt::NoModifier, t);
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
            window, QEvent::KeyRelease, key, Qt::NoModifier, t);
    }
}

void DeliverQueuedInput() {
    QWindowSystemInterface::sendWindowSystemEvents(QEventLoop::AllEvents);
}

} // namespace orvane::test
