// The monitor's history: the daily CSV log (lines, quoting, where it goes, 30 days kept,
// failures ignored) and the figures in each branch label's tooltip. Test echo only.
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

    // Checked when the log starts and when the records' day changes.
    void keepsThirtyDays_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("recordDay");
        QTest::addColumn<bool>("kept");
        QTest::newRow("31 days old at start") << "2026-11-07.csv"
                                              << "2026-12-08" << false;
        QTest::newRow("30 days old at start") << "2026-11-08.csv"
                                              << "2026-12-08" << true;
        QTest::newRow("29 days old at start") << "2026-11-09.csv"
                                              << "2026-12-08" << true;
        QTest::newRow("31 days old at day change") << "2026-11-08.csv"
                                                   << "2026-12-09" << false;
        QTest::newRow("29 days old at day change") << "2026-11-10.csv"
                                                   << "2026-12-09" << true;
        QTest::newRow("not a day file") << "2020-01-01.old.csv"
                                        << "2026-12-08" << true;
    }
    void keepsThirtyDays() {
        QFETCH(QString, file);
        QFETCH(QString, recordDay);
        QFETCH(bool, kept);
        QTemporaryDir dir;
        QFile old(dir.filePath(file));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.close();
        PingLog log(dir.path(), QDate(2026, 12, 8));
        log.flush();
        log.append(
            {at(qPrintable(recordDay + "T08:00:00")), "Site 1", "127.0.0.1", 0, "Success!", 1});
        log.flush();
        QCOMPARE(QFile::exists(dir.filePath(file)), kept);
        QVERIFY(QFile::exists(dir.filePath(recordDay + ".csv")));
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

    // A log that cannot be written leaves the screen as it would be without one.
    void writeFailureIgnored() {
        Screen s;
        QFile blocker(s.state.path() + "/Orvane");
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
        blocker.close();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^ping log: cannot write "));
        for (const char* time : {"2026-12-08T09:00:00", "2026-12-08T09:00:01"})
            QVERIFY(s.pass(time));
        s.form->log().flush();
        QCOMPARE(s.form->LstBranch5->count(), 2);
        QCOMPARE(s.form->findChild<QLabel*>("Label8")->toolTip(),
                 "Up since 2026-12-08 09:00:00\nAnswers 2, losses 0\nLoss 0.0 %\n"
                 "Round trip median 1 ms, worst 1 ms");
    }
};

QTEST_MAIN(TestPingHistory)
#include "tst_pinghistory.moc"
