#pragma once
// Stops, kills and restarts the private test server from inside a test, and watches it for
// a statement that a trigger holds asleep. The server is driven through scripts/db with the
// test's own ORVANE_DB_PORT / ORVANE_DB_DIR, so it is the same server the tests talk to.
#include "support/TestSupport.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <memory>
#include <sys/types.h>

namespace orvane::test::server {

enum class Fault { Kill, Stop };

inline QString script() {
    return TestDb::sourceDir() + "/scripts/db";
}

inline int run(const QString& command, QString* output = nullptr) {
    QProcess process;
    process.start(script(), {command});
    if (!process.waitForFinished(60000))
        return -1;
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// 0 when no server is running.
inline pid_t pid() {
    QString text;
    return run("pid", &text) == 0 ? pid_t(text.toLongLong()) : 0;
}

// Gone once the pid names no process at all: scripts/db, too, takes a process that has ended
// but is not yet collected by its parent for a running server.
inline bool gone(pid_t id) {
    return ::kill(id, 0) != 0 && errno == ESRCH;
}

// Ends the server the hard way (SIGKILL, no shutdown at all) or the clean way (scripts/db
// stop), and returns once its process is gone. False when it would not go.
inline bool bringDown(Fault fault, pid_t id) {
    if (id <= 0)
        return false;
    if (fault == Fault::Kill)
        ::kill(id, SIGKILL);
    else if (run("stop") != 0)
        return false;
    QDeadlineTimer deadline(30000);
    while (!gone(id)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

inline bool start() {
    return run("start") == 0 && pid() > 0;
}

// Waits until some statement sleeps inside the server (a trigger's DO SLEEP), watched from
// a connection of its own, and hands that connection back for a look at the sleeper's work.
// Null when none sleeps within the time given.
inline std::unique_ptr<Connection> waitForSleeper(int milliseconds) {
    try {
        auto watcher = TestDb::open();
        QDeadlineTimer deadline(milliseconds);
        while (!deadline.hasExpired()) {
            Recordset rs = watcher->query(
                "Select count(*) from information_schema.processlist Where state='User sleep'");
            if (rs.field(0).toInt() > 0)
                return watcher;
            rs.close();
            QThread::msleep(10);
        }
    } catch (const DbError&) {
    }
    return nullptr;
}

} // namespace orvane::test::server
