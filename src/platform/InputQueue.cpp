#include "platform/InputQueue.h"

// The window-system queue is Qt's platform interface; no public call looks into it.
#include <qpa/qwindowsysteminterface_p.h>

namespace orvane {

bool KeyInputWaiting() {
    return QWindowSystemInterfacePrivate::peekWindowSystemEvent(
               QWindowSystemInterfacePrivate::Key) != nullptr;
}

} // namespace orvane
