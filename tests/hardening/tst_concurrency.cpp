// Two workstations saving new records of the same kind at the same time: two threads, each
// with its own connection, drive the data classes the way the screens do (read the counter
// to show a code, then save). Every code is handed out once, no record is lost, and the
// counter moves on by exactly the number of records, with no gap.
#include "antivirus/ActivationRegister.h"
#include "antivirus/AntivirusRegister.h"
#include "app/mdlTarovel.h"
#include "support/TestSupport.h"

#include <QSet>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <memory>

using namespace orvane;
using namespace orvane::test;

namespace {

enum class Kind { Workstation, Product };

struct Outcome {
    QStringList codes;
    QStringList errors;
    int moved = 0; // saves that found their shown code taken and used the next one
};

QString counterKey(Kind kind) {
    return kind == Kind::Workstation ? ActivationRegister::CounterKey("U1")
                                     : AntivirusRegister::CounterKey;
}

// One workstation's run of new records, begun when both are ready.
void saveMany(Kind kind, int worker, int records, std::atomic<int>& ready, Outcome& out) {
    std::unique_ptr<Connection> db;
    try {
        db = TestDb::open();
    } catch (const DbError& error) {
        out.errors << error.description();
    }
    ++ready;
    while (ready.load() < 2)
        QThread::yieldCurrentThread();
    if (!db)
        return;
    const QString key = counterKey(kind);
    for (int i = 0; i < records; ++i) {
        const QString mark = QString("W%1-%2").arg(worker).arg(i);
        try {
            // New: the code shown is the counter as it stands; nothing is reserved.
            Recordset rs = db->query("Select * from numbersetup Where no_id=?", {key});
            const QString shown = rs.eof() ? QString() : rs.field("no_value");
            rs.close();
            NewRecordSave save;
            if (kind == Kind::Workstation) {
                SystemRecord typed;
                typed.ip = QString("198.0.%1.%2").arg(worker).arg(i);
                typed.os = "xp";
                typed.user = mark;
                typed.expiry = QDate(2030, 1, 1);
                save = ActivationRegister(*db).InsertNew("U1", shown, typed, "5");
            } else {
                AntivirusRegister products(*db);
                if (products.NameExists(mark)) {
                    out.errors << mark + " already exists";
                    continue;
                }
                save = products.InsertNew(shown, mark, "PK " + mark, "IK " + mark, "5");
            }
            if (!save.saved)
                out.errors << mark + " not saved";
            else
                out.codes << TrimBlanks(save.code);
            out.moved += save.codeMoved ? 1 : 0;
        } catch (const DbError& error) {
            out.errors << mark + ": " + error.description();
        }
    }
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class tst_concurrency : public QObject {
    Q_OBJECT

  private slots:
    void init() { TestDb::loadFixture(); }

    void twoWorkstationsSaveAtOnce_data() {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("each");
        QTest::newRow("workstations of one unit") << Kind::Workstation << 200;
        QTest::newRow("antivirus products") << Kind::Product << 50;
    }
    void twoWorkstationsSaveAtOnce() {
        QFETCH(Kind, kind);
        QFETCH(int, each);
        const QString key = counterKey(kind);
        const QString first =
            TestDb::scalar("Select no_value from numbersetup Where no_id=?", {key});
        QVERIFY(!first.isEmpty());

        std::atomic<int> ready{0};
        Outcome outcomes[2];
        std::unique_ptr<QThread> threads[2];
        for (int w = 0; w < 2; ++w) {
            threads[w].reset(QThread::create(saveMany, kind, w + 1, each, std::ref(ready),
                                             std::ref(outcomes[w])));
            threads[w]->start();
        }
        for (auto& thread : threads)
            QVERIFY(thread->wait(300000));

        for (const Outcome& out : outcomes) {
            QVERIFY2(out.errors.isEmpty(), qPrintable(out.errors.mid(0, 3).join(" | ")));
            QCOMPARE(out.codes.size(), each);
        }
        qInfo("codes taken meanwhile and moved on: %d and %d", outcomes[0].moved,
              outcomes[1].moved);

        // The codes handed out are exactly the run of codes from the first one, each once.
        QSet<QString> expected;
        QString next = first;
        for (int i = 0; i < 2 * each; ++i) {
            expected.insert(next);
            next = NextCode(next);
        }
        const QStringList all = outcomes[0].codes + outcomes[1].codes;
        QCOMPARE(QSet<QString>(all.begin(), all.end()).size(), 2 * each);
        QCOMPARE(QSet<QString>(all.begin(), all.end()), expected);
        QCOMPARE(TestDb::scalar("Select no_value from numbersetup Where no_id=?", {key}), next);

        // And the table holds every record, each under the code its save reported.
        const QString table = kind == Kind::Workstation ? "hr_av_activation" : "hr_av";
        const QString code = kind == Kind::Workstation ? "sys_id" : "av_code";
        const QString mark = kind == Kind::Workstation ? "sys_user" : "av_name";
        QCOMPARE(TestDb::count("Select count(*) from " + table), 2 * each);
        QCOMPARE(TestDb::count("Select count(distinct " + code + ") from " + table), 2 * each);
        for (int w = 0; w < 2; ++w) {
            const QString prefix = QString("W%1-").arg(w + 1);
            QCOMPARE(TestDb::count("Select count(*) from " + table + " Where " + mark + " like ?",
                                   {prefix + "%"}),
                     each);
            for (int i : {0, each / 2, each - 1})
                QCOMPARE(
                    TestDb::scalar("Select " + code + " from " + table + " Where " + mark + "=?",
                                   {prefix + QString::number(i)}),
                    outcomes[w].codes[i]);
        }
        if (kind == Kind::Workstation)
            QCOMPARE(TestDb::count("Select count(*) from hr_av_activation Where unit_code<>'U1'"),
                     0);
    }
};

QTEST_MAIN(tst_concurrency)
#include "tst_concurrency.moc"
