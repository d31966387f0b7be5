// The monitor's history: the daily CSV log (lines, quoting, where it goes, 30 files kept,
// failures told in the labels) and the figures in each branch label's tooltip. Test echo
// only.
#include "fake_echo.h"

#include "netmon/frmPing.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QtTest>

using namespace orvane;

namespace {

// Each result is stamped with whatever time the test set last.
struct FixedClock {
    std::mutex mutex;
    QDateTime now;
    PingMonitor::Clock clock() {
        return [this] {
            std::lock_guard<std::mutex> lock(mutex);
            return now;
        };
    }
};

struct Screen {
    test::TempSettings settings;
    test::TempStateHome state;
    std::shared_ptr<FakeEcho> echo = FakeEcho::create();
    FixedClock time;
    std::unique_ptr<frmPing> form = std::make_unique<frmPing>();

    Screen() {
        form->Timer1->stop();
        QVector<Branch> table = loopbackBranches();
        table[2].name = QStringLiteral("Site \"3\", North");
        form->monitor().setBranches(table);
        form->monitor().setEcho(echo->service());
        form->monitor().setClock(time.clock());
    }
    bool pass(const QString& at) {
        {
            std::lock_guard<std::mutex> lock(time.mutex);
            time.now = QDateTime::fromString(at, Qt::ISODate);
        }
        QSignalSpy finished(&form->monitor(), &PingMonitor::settled);
        form->Timer1_Timer();
        return finished.wait(20000);
    }
    // The log's lines for one address, header first.
    QStringList logLines(const QString& file, const QString& address) {
        form->log().flush();
        QFile csv(state.path() + "/Orvane/ping/" + file);
        if (!csv.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromUtf8(csv.readAll()).split("\r\n");
        return lines.filter(
            QRegularExpression("^date,|," + QRegularExpression::escape(address) + ","));
    }
};

QDateTime at(const char* text) {
    return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate);
}

} // namespace

class TestPingHistory : public QObject {
    Q_OBJECT

  private slots:
    // A branch that answers, goes down and comes back: its log lines and its tooltip.
    void answersDownAndBack() {
        struct Step {
            const char* time;
            int status;
            uint32_t roundTrip;
            const char* toolTip;
        };
        const Step steps[] = {
            {"2026-12-08T09:00:00", 0, 4,
             "Up since 2026-12-08 09:00:00\nAnswers 1, losses 0\nLoss 0.0 %\n"
             "Round trip median 4 ms, worst 4 ms"},
            {"2026-12-08T09:00:01", 0, 7,
             "Up since 2026-12-08 09:00:00\nAnswers 2, losses 0\nLoss 0.0 %\n"
             "Round trip median 5.5 ms, worst 7 ms"},
            {"2026-12-08T09:00:02", 11010, 0,
             "Down since 2026-12-08 09:00:02\nAnswers 2, losses 1\nLoss 33.3 %\n"
             "Round trip median 5.5 ms, worst 7 ms"},
            {"2026-12-08T09:00:03", 11003, 2,
             "Down since 2026-12-08 09:00:02\nAnswers 2, losses 2\nLoss 50.0 %\n"
             "Round trip median 5.5 ms, worst 7 ms"},
            {"2026-12-08T09:00:04", 0, 12,
             "Up since 2026-12-08 09:00:04\nAnswers 3, losses 2\nLoss 40.0 %\n"
             "Round trip median 7 ms, worst 12 ms"},
        };
        Screen s;
        QLabel* label = s.form->findChild<QLabel*>("Label7"); // above the third list
        QCOMPARE(label->toolTip(), QStringLiteral("No answer yet"));
        for (const Step& step : steps) {
            s.echo->answer("127.0.0.3", step.status, step.roundTrip);
            QVERIFY(s.pass(step.time));
            QCOMPARE(label->toolTip(), QString::fromUtf8(step.toolTip));
        }
        QCOMPARE(s.form->LstBranch3->item(2)->text(), "Ping: 127.0.0.3 Request Timed Out 0 ms");
        QCOMPARE(
            s.logLines("2026-12-08.csv", "127.0.0.3"),
            QStringList({
                "date,time,branch,address,status,status_text,round_trip_ms",
                R"(2026-12-08,09:00:00.000,"Site ""3"", North",127.0.0.3,0,Success!,4)",
                R"(2026-12-08,09:00:01.000,"Site ""3"", North",127.0.0.3,0,Success!,7)",
                R"(2026-12-08,09:00:02.000,"Site ""3"", North",127.0.0.3,11010,Request Timed Out,0)",
                R"(2026-12-08,09:00:03.000,"Site ""3"", North",127.0.0.3,11003,Destination Host Unreachable,2)",
                R"(2026-12-08,09:00:04.000,"Site ""3"", North",127.0.0.3,0,Success!,12)",
            }));
        QCOMPARE(s.logLines("2026-12-08.csv", "127.0.0.9").size(), 6);
    }

    // A new day starts a new file with its own header.
    void oneFilePerDay() {
        Screen s;
        QVERIFY(s.pass("2026-12-08T23:59:59.750"));
        QVERIFY(s.pass("2026-12-09T00:00:00.250"));
        QCOMPARE(s.logLines("2026-12-09.csv", "127.0.0.1"),
                 QStringList({"date,time,branch,address,status,status_text,round_trip_ms",
                              "2026-12-09,00:00:00.250,Site 1,127.0.0.1,0,Success!,1"}));
        QCOMPARE(s.logLines("2026-12-08.csv", "127.0.0.1").size(), 2);
    }

    void medianAndLosses_data() {
        QTest::addColumn<QVector<int>>("roundTrips"); // -1: a loss
        QTest::addColumn<QString>("toolTip");
        QTest::newRow("losses only")
            << QVector<int>{-1, -1}
            << "Down since 2026-12-08 10:00:00\nAnswers 0, losses 2\nLoss 100.0 %\n"
               "Round trip: no answers";
        QTest::newRow("odd count: the middle answer")
            << QVector<int>{30, -1, 10, 20}
            << "Up since 2026-12-08 10:00:02\nAnswers 3, losses 1\nLoss 25.0 %\n"
               "Round trip median 20 ms, worst 30 ms";
        QTest::newRow("even count: mean of the middle two")
            << QVector<int>{9, 1, 2, 2, 3, 9}
            << "Up since 2026-12-08 10:00:00\nAnswers 6, losses 0\nLoss 0.0 %\n"
               "Round trip median 2.5 ms, worst 9 ms";
    }
    void medianAndLosses() {
        QFETCH(QVector<int>, roundTrips);
        QFETCH(QString, toolTip);
        BranchStats stats;
        QDateTime time = at("2026-12-08T10:00:00");
        for (int rtt : roundTrips) {
            stats.record(rtt >= 0, static_cast<uint32_t>(std::max(rtt, 0)), time);
            time = time.addSecs(1);
        }
        QCOMPARE(stats.toolTip(), toolTip);
    }

    // Day files from `first`, `count` of them `step` days apart, and one that is no day
    // file; the real day is `today` and one record is stamped `stamp`.
    void keepsThirtyFiles_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("today");
        QTest::addColumn<QString>("stamp");
        QTest::addColumn<QStringList>("gone");
        QTest::addColumn<int>("left"); // day files
        QTest::newRow("today's file makes the 31st")
            << "2026-11-08" << 30 << 1 << "2026-12-08"
            << "2026-12-08" << QStringList{"2026-11-08.csv"} << 30;
        QTest::newRow("30 with today's: nothing goes") << "2026-11-08" << 29 << 1 << "2026-12-08"
                                                       << "2026-12-08" << QStringList{} << 30;
        QTest::newRow("gaps: the 30 most recent that exist")
            << "2026-09-09" << 30 << 3 << "2026-12-08"
            << "2026-12-08" << QStringList{"2026-09-09.csv"} << 30;
        QTest::newRow("clock jumped: one file goes")
            << "2026-11-08" << 35 << 1 << "2027-06-01"
            << "2027-06-01" << QStringList{"2026-11-08.csv"} << 35;
        QTest::newRow("a stamp off the real day prunes nothing")
            << "2026-11-08" << 35 << 1 << "2026-12-08"
            << "2027-06-01" << QStringList{} << 36;
        QTest::newRow("today's file already there") << "2026-11-08" << 35 << 1 << "2026-12-12"
                                                    << "2026-12-12" << QStringList{} << 35;
    }
    void keepsThirtyFiles() {
        QFETCH(QString, first);
        QFETCH(int, count);
        QFETCH(int, step);
        QFETCH(QString, today);
        QFETCH(QString, stamp);
        QFETCH(QStringList, gone);
        QFETCH(int, left);
        QTemporaryDir dir;
        QStringList made{"2020-01-01.old.csv"};
        for (int i = 0; i < count; ++i)
            made << pinglog::fileName(QDate::fromString(first, Qt::ISODate).addDays(i * step));
        for (const QString& name : made) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QDate realDay = QDate::fromString(today, Qt::ISODate);
        PingLog log(dir.path(), [realDay] { return realDay; });
        log.append({at(qPrintable(stamp + "T08:00:00")), "Site 1", "127.0.0.1", 0, "Success!", 1});
        log.append({at(qPrintable(stamp + "T08:00:01")), "Site 1", "127.0.0.1", 0, "Success!", 1});
        log.flush();
        QStringList missing;
        for (const QString& name : made)
            if (!QFile::exists(dir.filePath(name)))
                missing << name;
        QCOMPARE(missing, gone);
        QVERIFY(QFile::exists(dir.filePath(stamp + ".csv")));
        QCOMPARE(QDir(dir.path()).entryList({"2*-*-*.csv"}).size(), left + 1); // and the .old
    }

    void folder_data() {
        QTest::addColumn<QByteArray>("stateHome");
        QTest::addColumn<QString>("folder");
        QTest::newRow("set") << QByteArray("/srv/state") << "/srv/state/Orvane/ping";
        QTest::newRow("unset") << QByteArray() << QDir::homePath() + "/.local/state/Orvane/ping";
        QTest::newRow("relative: ignored")
            << QByteArray("state") << QDir::homePath() + "/.local/state/Orvane/ping";
    }
    void folder() {
        QFETCH(QByteArray, stateHome);
        QFETCH(QString, folder);
        test::TempStateHome restore;
        if (stateHome.isEmpty())
            qunsetenv("XDG_STATE_HOME");
        else
            qputenv("XDG_STATE_HOME", stateHome);
        QCOMPARE(pinglog::defaultFolder(), folder);
    }

    // A log that cannot be written is told in every label, once, and the screen carries on.
    void writeFailureShown() {
        Screen s;
        QFile blocker(s.state.path() + "/Orvane");
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
        blocker.close();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^ping log: cannot write "));
        for (const char* time : {"2026-12-08T09:00:00", "2026-12-08T09:00:01"})
            QVERIFY(s.pass(time));
        s.form->log().flush();
        QCoreApplication::processEvents();
        QCOMPARE(s.form->LstBranch5->count(), 2);
        const QString stats = "Up since 2026-12-08 09:00:00\nAnswers 2, losses 0\nLoss 0.0 %\n"
                              "Round trip median 1 ms, worst 1 ms";
        QLabel* label = s.form->findChild<QLabel*>("Label8");
        QCOMPARE(label->toolTip(), stats + "\n\nThe history cannot be written to " +
                                       s.state.path() +
                                       "/Orvane/ping (the folder cannot be made).");
        QVERIFY(s.form->findChild<QLabel*>("Label2")->toolTip().endsWith(
            "(the folder cannot be made)."));
        QVERIFY(blocker.remove());
        QVERIFY(s.pass("2026-12-08T09:00:02"));
        s.form->log().flush();
        QCoreApplication::processEvents();
        QVERIFY(s.form->findChild<QLabel*>("Label2")->toolTip().endsWith("worst 1 ms"));
        QCOMPARE(s.logLines("2026-12-08.csv", "127.0.0.5").size(), 2);
    }
};

QTEST_MAIN(TestPingHistory)
#include "tst_pinghistory.moc"
