#include "support/InstanceRun.h"

#include "antivirus/NewEntrySave.h"
#include "app/mdlTarovel.h"

#include <QThread>
#include <memory>
#include <vector>

namespace orvane::test {

void InstanceRun::run(std::atomic<int>& ready, int instances) {
    QThread::currentThread()->setObjectName(tag);
    Connection db;
    db.setTimeout(10);
    try {
        db.open(connectionText);
    } catch (const DbError& error) {
        errors << error.description();
    }
    ++ready;
    while (ready.load() < instances)
        QThread::yieldCurrentThread();
    if (!db.isOpen())
        return;
    int madeWorkstations = 0, madeProducts = 0;
    for (int i = 0; i < records(); ++i, ++attempted) {
        const bool product =
            (i % 5 == 4 && madeProducts < products) || madeWorkstations >= workstations;
        const QString mark =
            QString("%1-%2").arg(tag).arg(product ? madeProducts : madeWorkstations);
        (product ? madeProducts : madeWorkstations)++;
        const QString key =
            product ? AntivirusRegister::CounterKey : ActivationRegister::CounterKey(unit);
        NewEntryOutcome outcome;
        try {
            // New: the code shown, read as the screen's New reads it.
            const QString shown = FindNumberSetup(db, key).value_or(QString());
            if (product) {
                outcome = SaveNewProduct(db, shown, {{}, mark, "PK " + mark, "IK " + mark}, "5");
            } else {
                SystemRecord typed;
                typed.ip = QString("198.51.100.%1").arg(madeWorkstations);
                typed.os = "xp";
                typed.user = mark;
                typed.expiry = QDate(2030, 1, 1);
                outcome = SaveNewWorkstation(db, unit, shown, typed, "5");
            }
        } catch (const DbError& error) {
            outcome.result = NewEntryOutcome::Result::Failed; // reading the code shown failed
            outcome.error = error;
        }
        if (outcome.saved()) {
            (product ? productCodes : workstationCodes) << TrimBlanks(outcome.code);
            moved += outcome.codeMoved ? 1 : 0;
        } else if (outcome.error) {
            qInfo("%s: error %d, SQLSTATE %s", qPrintable(mark), outcome.error->nativeError(),
                  qPrintable(outcome.error->sqlState()));
            errors << outcome.error->description();
            (product ? failedProducts : failedWorkstations)++;
            if (afterError)
                afterError();
        } else {
            refused << mark + (outcome.result == NewEntryOutcome::Result::NameTaken ? ": name taken"
                                                                                    : ": no code");
        }
    }
}

bool RunAll(const QList<InstanceRun*>& runs, int timeoutMs,
            const std::function<void()>& meanwhile) {
    std::atomic<int> ready{0};
    std::vector<std::unique_ptr<QThread>> threads;
    for (InstanceRun* run : runs) {
        threads.emplace_back(
            QThread::create([run, &ready, n = int(runs.size())] { run->run(ready, n); }));
        threads.back()->start();
    }
    if (meanwhile)
        meanwhile();
    bool finished = true;
    for (auto& thread : threads)
        finished = thread->wait(timeoutMs) && finished;
    return finished;
}

} // namespace orvane::test
