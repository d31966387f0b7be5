#pragma once
// One program instance entering new records on its own connection, the way the entry screens
// drive the data classes: show the counter's code, save under it, and show the database's
// text through the message seam when a save fails. Several instances run in threads at once.
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

namespace orvane::test {

struct SaveRun {
    QString connectionText;
    QString tag; // the thread's name; marks the records' user and product names
    QString unit = "U1";
    int workstations = 200;
    int products = 50;
    // Called after a failed save was shown, before the next record: a user who waits for
    // the server to come back.
    std::function<void()> afterError;

    // Written by the run: the codes of the saves that reported success.
    QStringList workstationCodes;
    QStringList productCodes;
    int failedWorkstations = 0;
    int failedProducts = 0;
    int moved = 0; // codes taken meanwhile: saved under the next one
    std::atomic<int> attempted{0};

    int records() const { return workstations + products; }
    // Opens the connection, waits until `instances` runs are ready, then saves every record
    // (one product after every four workstations).
    void run(std::atomic<int>& ready, int instances);
};

// Runs the instances in threads of their own until all are done (bounded by timeoutMs).
bool RunAll(const QList<SaveRun*>& runs, int timeoutMs = 300000,
            const std::function<void()>& meanwhile = {});

} // namespace orvane::test
