#include "support/SaveRun.h"

#include "antivirus/ActivationRegister.h"
#include "antivirus/AntivirusRegister.h"
#include "app/mdlTarovel.h"
#include "platform/Messages.h"

#include <QThread>
#include <memory>
#include <vector>

namespace orvane::test {

namespace {

// The code an entry screen shows for a new record: the counter as it stands.
QString shownCode(Connection& db, const QString& key) {
    Recordset rs = db.query("Select * from numbersetup Where no_id=?", {key});
    return rs.eof() ? QString() : rs.field("no_value");
}

} // namespace

void SaveRun::run(std::atomic<int>& ready, int instances) {
    QThread::currentThread()->setObjectName(tag);
    Connection db;
    db.setTimeout(10);
    try {
        db.open(connectionText);
    } catch (const DbError& error) {
        MsgBox(error.description());
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
        try {
            NewRecordSave save;
            if (product) {
                const QString shown = shownCode(db, AntivirusRegister::CounterKey);
                AntivirusRegister register_(db);
                if (register_.NameExists(mark)) {
                    MsgBox("The Same Entry Already Exists.   ");
                    continue;
                }
                save = register_.InsertNew(shown, mark, "PK " + mark, "IK " + mark, "5");
            } else {
                const QString shown = shownCode(db, ActivationRegister::CounterKey(unit));
                SystemRecord typed;
                typed.ip = QString("198.51.100.%1").arg(madeWorkstations);
                typed.os = "xp";
                typed.user = mark;
                typed.expiry = QDate(2030, 1, 1);
                save = ActivationRegister(db).InsertNew(unit, shown, typed, "5");
            }
            if (!save.saved) {
                MsgBox("There is no code for the new entry, so it was not saved.   ");
                continue;
            }
            (product ? productCodes : workstationCodes) << TrimBlanks(save.code);
            moved += save.codeMoved ? 1 : 0;
        } catch (const DbError& error) {
            qInfo("%s: error %d, SQLSTATE %s", qPrintable(mark), error.nativeError(),
                  qPrintable(error.sqlState()));
            MsgBox(error.description());
            (product ? failedProducts : failedWorkstations)++;
            if (afterError)
                afterError();
        }
    }
}

bool RunAll(const QList<SaveRun*>& runs, int timeoutMs, const std::function<void()>& meanwhile) {
    std::atomic<int> ready{0};
    std::vector<std::unique_ptr<QThread>> threads;
    for (SaveRun* run : runs) {
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
