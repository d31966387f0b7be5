#pragma once
// One program instance entering new records on its own connection, in a thread of its own,
// through the entry screens' own save (antivirus/NewEntrySave.h): New shows the counter as it
// stands, Save stores under it. Every outcome that a screen would answer with a message is
// kept. Several instances run at once.
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

namespace orvane::test {

struct InstanceRun {
    QString connectionText;
    QString tag; // the thread's name; marks the records' user and product names
    QString unit = "U1";
    int workstations = 200;
    int products = 50;
    // Called after a failed save, before the next record: a user who waits for the server
    // to come back.
    std::function<void()> afterError;

    // Written by the run: the codes of the saves stored, the database's text of each failed
    // one, and every other save not stored (its mark and why).
    QStringList workstationCodes;
    QStringList productCodes;
    QStringList errors;
    QStringList refused;
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
bool RunAll(const QList<InstanceRun*>& runs, int timeoutMs = 300000,
            const std::function<void()>& meanwhile = {});

} // namespace orvane::test
