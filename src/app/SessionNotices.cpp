#include "app/SessionNotices.h"

namespace orvane {

SessionNotices& SessionNotices::instance() {
    static SessionNotices notices;
    return notices;
}

} // namespace orvane
