#pragma once
// Notices about the session's workstations for whatever shows figures of them (the main
// window's expiry count): the unit switch and the activation screen's saves announce, the
// listeners refresh. Screens stay unaware of who listens.
#include <QObject>

namespace orvane {

class SessionNotices : public QObject {
    Q_OBJECT
  public:
    static SessionNotices& instance();

  signals:
    void unitSwitched();
    void workstationsSaved();
};

inline void AnnounceUnitSwitched() {
    emit SessionNotices::instance().unitSwitched();
}
inline void AnnounceWorkstationsSaved() {
    emit SessionNotices::instance().workstationsSaved();
}

} // namespace orvane
