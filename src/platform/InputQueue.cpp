#include "platform/InputQueue.h"

// The window-system queue is Qt's platform interface; no public call looks into it.
#include <qpa/qwindowsysteminterface_p.h>

namespace orvane {

bool KeyPressWaiting() {
    using Queue = QWindowSystemInterfacePrivate;
    const auto* key = static_cast<const Queue::KeyEvent*>(Queue::peekWindowSystemEvent(Queue::Key));
    if (!key)
        return false;
    return key->keyType == QEvent::KeyPress ||
           QWindowSystemInterface::windowSystemEventsQueued() > 1;
}

} // namespace orvane
