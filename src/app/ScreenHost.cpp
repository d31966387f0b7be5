#include "app/ScreenHost.h"

namespace orvane {

namespace {
ScreenHost*& registered() {
    static ScreenHost* host = nullptr;
    return host;
}
} // namespace

ScreenHost* CurrentScreenHost() {
    return registered();
}

void RegisterScreenHost(ScreenHost* host) {
    registered() = host;
}

void UnregisterScreenHost(ScreenHost* host) {
    if (registered() == host)
        registered() = nullptr;
}

} // namespace orvane
