// A branch's history chart: its series from a small log with a known down period, corrupt
// lines counted, a closed day's gzip and per-minute summary, and the folder's size cap.
#include "fake_echo.h"

#include "netmon/HistoryLoad.h"
#include "netmon/PingDayClose.h"
#include "netmon/PingLogFiles.h"
#include "netmon/frmPing.h"
#include "netmon/frmPingHistory.h"
#include "support/TestSupport.h"

#include <QAreaSeries>
#include <QBarSet>
#include <QLabel>
#include <QLineSeries>
#include <QScatterSeries>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <zlib.h>

using namespace orvane;

namespace {

const QVector<Branch> kBranches = {{"Harbour", "127.0.0.2"}, {"Depot", "127.0.0.3"}};
const char* kHeader = "date,time,branch,address,status,status_text,round_trip_ms\r\n";

// Harbour answers, is down from 09:30:00 to its answer at 09:30:40 and loses a single echo
// at 09:50 (a mark, not a down period); Depot loses one of two.
const char* kLog = "2026-12-08,09:10:00.000,Harbour,127.0.0.2,0,Success!,12\r\n"
                   "2026-12-08,09:20:00.000,Harbour,127.0.0.2,0,Success!,40\r\n"
                   "2026-12-08,09:30:00.000,Harbour,127.0.0.2,11010,Request Timed Out,0\r\n"
                   "2026-12-08,09:30:20.000,Harbour,127.0.0.2,11010,Request Timed Out,0\r\n"
                   "2026-12-08,09:30:40.000,Harbour,127.0.0.2,0,Success!,25\r\n"
                   "2026-12-08,09:40:00.000,Depot,127.0.0.3,11010,Request Timed Out,0\r\n"
                   "2026-12-08,09:40:01.000,Depot,127.0.0.3,0,Success!,5\r\n"
                   "2026-12-08,09:50:00.000,Harbour,127.0.0.2,11010,Request Timed Out,0\r\n"
                   "2026-12-08,09:50:01.000,Harbour,127.0.0.2,0,Success!,8\r\n";

qint64 at(const char* time) {
    return QDateTime::fromString(QString("2026-12-08T") + time, Qt::ISODate).toMSecsSinceEpoch();
}

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray gunzip(const QString& path) {
    QByteArray out;
    gzFile file = gzopen(QFile::encodeName(path).constData(), "rb");
    char block[4096];
    for (int got; file && (got = gzread(file, block, sizeof block)) > 0;)
        out.append(block, got);
    if (file)
        gzclose(file);
    return out;
}

} // namespace

class TestPingChart : public QObject {
    Q_OBJECT

  private slots:
    void chartFromLog_data() {
        QTest::addColumn<QByteArray>("extra");
        QTest::addColumn<QString>("note");
        QTest::newRow("clean") << QByteArray() << "";
        QTest::newRow("one cut short")
            << QByteArray("2026-12-08,09:15:00.000,Harbour,127.0.0.2,0,Succ")
            << "1 line could not be read";
        QTest::newRow("two corrupt")
            << QByteArray("2026-12-08,25:15:00.000,Harbour,127.0.0.2,0,Success!,9\r\n"
                          "2026-12-08,09:16:00.000,\"Harbour,127.0.0.2,0,Success!,9\r\n")
            << "2 lines could not be read";
    }
    void chartFromLog() {
        QFETCH(QByteArray, extra);
        QFETCH(QString, note);
        QTemporaryDir dir;
        write(dir.filePath("2026-12-08.csv"), kHeader + extra + "\r\n" + kLog);
        frmPingHistory window(dir.path(), kBranches, 0);
        window.setClock([] { return at("10:00:00"); });
        QSignalSpy loaded(&window, &frmPingHistory::loaded);
        window.ShowRange(HistoryRange::Hour);
        QVERIFY(loaded.wait(10000));

        QCOMPARE(window.RoundTripSeries()->points(), QList<QPointF>({{double(at("09:10:00")), 12},
                                                                     {double(at("09:20:00")), 40},
                                                                     {double(at("09:30:40")), 25},
                                                                     {double(at("09:50:01")), 8}}));
        const double from = at("09:30:00"), to = at("09:30:40"), top = 50; // 40 ms + 10 %
        QCOMPARE(window.LossSeries()->points(),
                 QList<QPointF>(
                     {{from, top}, {double(at("09:30:20")), top}, {double(at("09:50:00")), top}}));
        QCOMPARE(window.DownSeries()->upperSeries()->points(),
                 QList<QPointF>({{from, 0}, {from, top}, {to, top}, {to, 0}}));
        QCOMPARE(window.LossBars()->at(0), 300.0 / 7);
        QCOMPARE(window.LossBars()->at(1), 50.0);
        QCOMPARE(window.LbNote->text(), note);
    }

    // One raw line: its branch (-1: not in the table), state and round trip, or unreadable.
    void readsLine_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("branch"); // -2: unreadable
        QTest::addColumn<bool>("up");
        QTest::addColumn<uint>("roundTrip");
        QTest::newRow("quoted name") << QByteArray(R"(2026-12-08,09:10:00.000,"Site ""3"", North",)"
                                                   "127.0.0.3,0,Success!,7\r\n")
                                     << 1 << true << 7u;
        QTest::newRow("unknown branch, not sent")
            << QByteArray("2026-12-08,09:10:00.000,Elsewhere,127.0.0.9,-1,Error,0") << -1 << false
            << 0u;
        QTest::newRow("a field too many")
            << QByteArray("2026-12-08,09:10:00.000,Harbour,127.0.0.2,0,Success!,7,") << -2 << false
            << 0u;
        QTest::newRow("no such day")
            << QByteArray("2026-02-30,09:10:00.000,Harbour,127.0.0.2,0,Success!,7") << -2 << false
            << 0u;
        QTest::newRow("time without ms")
            << QByteArray("2026-12-08,09:10:00,Harbour,127.0.0.2,0,Success!,7") << -2 << false
            << 0u;
        QTest::newRow("round trip not a number")
            << QByteArray("2026-12-08,09:10:00.000,Harbour,127.0.0.2,0,Success!,7ms") << -2 << false
            << 0u;
    }
    void readsLine() {
        QFETCH(QByteArray, line);
        QFETCH(int, branch);
        QFETCH(bool, up);
        QFETCH(uint, roundTrip);
        LogLineReader reader({"Harbour", "Site \"3\", North"});
        LogSample sample;
        const auto kind = reader.readSample({line.constData(), size_t(line.size())}, sample);
        QCOMPARE(kind == LogLineReader::Kind::Sample, branch != -2);
        if (branch == -2)
            return;
        QCOMPARE(sample.branch, branch);
        QCOMPARE(sample.up, up);
        QCOMPARE(sample.roundTrip, roundTrip);
        QCOMPARE(sample.time, at("09:10:00"));
    }

    // A closed day: its raw bytes in the gzip, its minutes in the summary, and the same
    // figures read back from the summary as from the raw lines.
    void dayClose() {
        QTemporaryDir dir;
        const QByteArray raw = kHeader + QByteArray(kLog) +
                               "2026-12-08,09:10:30.000,Harbour,127.0.0.2,0,Success!,3\r\n"
                               "2026-12-08,09:10:40.000,Harbour,127.0.0.2,0,Success!,10\r\n"
                               "2026-12-08,09:10:50.000,Harbour,127.0.0.2,0,Success!,4\r\n";
        write(dir.filePath("2026-12-08.csv"), raw);
        HistoryRequest request{dir.path(),     {"Harbour", "Depot"}, 0,
                               at("00:00:00"), at("23:00:00"),       400};
        const HistoryView before = LoadHistory(request);

        QVERIFY(pinglog::closeDay(dir.path(), QDate(2026, 12, 8)));
        QVERIFY(!QFile::exists(dir.filePath("2026-12-08.csv")));
        QCOMPARE(gunzip(dir.filePath("2026-12-08.csv.gz")), raw);
        QFile summary(dir.filePath("2026-12-08.summary.csv"));
        QVERIFY(summary.open(QIODevice::ReadOnly));
        QCOMPARE(QString(summary.readAll()).split("\r\n"),
                 QStringList({"date,minute,branch,answers,losses,min_ms,median_ms,max_ms",
                              "2026-12-08,09:10,Harbour,4,0,3,7,12",
                              "2026-12-08,09:20,Harbour,1,0,40,40,40",
                              "2026-12-08,09:30,Harbour,1,2,25,25,25",
                              "2026-12-08,09:40,Depot,1,1,5,5,5",
                              "2026-12-08,09:50,Harbour,1,1,8,8,8", ""}));

        request.to = at("00:00:00") + RangeMs(HistoryRange::Week); // beyond a day: summaries
        const HistoryView after = LoadHistory(request);
        QVERIFY(after.fromSummaries && !before.fromSummaries);
        for (const HistoryView& view : {before, after}) {
            QCOMPARE(view.branches[0].answers, 7);
            QCOMPARE(view.branches[0].losses, 3);
            QCOMPARE(view.branches[1].losses, 1);
            QCOMPARE(view.maxRoundTrip, 40u);
        }

        // A line stamped with the closed day (a clock set back) joins it when it closes again.
        const QByteArray late = kHeader + QByteArray("2026-12-08,09:40:30.000,Depot,"
                                                     "127.0.0.3,0,Success!,60\r\n");
        write(dir.filePath("2026-12-08.csv"), late);
        QVERIFY(pinglog::closeDay(dir.path(), QDate(2026, 12, 8)));
        QCOMPARE(gunzip(dir.filePath("2026-12-08.csv.gz")), raw + late);
        const HistoryView again = LoadHistory(request);
        QCOMPARE(again.branches[1].answers, 2);
        QCOMPARE(again.branches[0].answers, 7); // the closed lines are still there
    }

    // The log closes the days before today by itself, and leaves today's file raw.
    void logClosesEarlierDays() {
        QTemporaryDir dir;
        write(dir.filePath("2026-12-07.csv"), kHeader + QByteArray(kLog).replace("12-08", "12-07"));
        {
            PingLog log(
                dir.path(), [] { return QDate(2026, 12, 8); }, 0);
            log.append({QDateTime::fromMSecsSinceEpoch(at("09:00:00")), "Harbour", "127.0.0.2", 0,
                        "Success!", 4});
            QTRY_VERIFY(QFile::exists(dir.filePath("2026-12-07.csv.gz")));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                 QStringList({"2026-12-07.csv.gz", "2026-12-07.summary.csv", "2026-12-08.csv"}));
    }

    // Day sizes oldest first; whole days go, oldest first, the newest never.
    void folderCap_data() {
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<int>("cap");
        QTest::addColumn<int>("left");
        QTest::newRow("under the cap") << QList<int>{300, 300, 300} << 900 << 3;
        QTest::newRow("oldest go first") << QList<int>{500, 100, 300, 300} << 600 << 2;
        QTest::newRow("today alone over it") << QList<int>{100, 100, 900} << 500 << 1;
    }
    void folderCap() {
        QFETCH(QList<int>, sizes);
        QFETCH(int, cap);
        QFETCH(int, left);
        QTemporaryDir dir;
        QDate day(2026, 12, 1);
        for (int i = 0; i < sizes.size(); ++i, day = day.addDays(1)) {
            const bool closed = i + 1 < sizes.size(); // a closed day is two files
            write(dir.filePath(closed ? pinglog::gzName(day) : pinglog::fileName(day)),
                  QByteArray(closed ? sizes[i] - 50 : sizes[i], 'x'));
            if (closed)
                write(dir.filePath(pinglog::summaryName(day)), QByteArray(50, 'x'));
        }
        pinglog::trimToCap(dir.path(), cap, day.addDays(-1));
        const QList<QDate> kept = pinglog::days(dir.path());
        QCOMPARE(kept.size(), left);
        QCOMPARE(kept.last(), day.addDays(-1));
    }

    // A double-click on a branch's label opens that branch's history.
    void labelOpensHistory() {
        test::TempSettings settings;
        test::TempStateHome state;
        frmPing form;
        form.Timer1->stop();
        form.monitor().setBranches(loopbackBranches());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseDClick(form.Label7, Qt::LeftButton); // above the third list
        frmPingHistory* history = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<frmPingHistory*>(window))
                history = found;
        QVERIFY(history);
        QCOMPARE(history->branch(), 2);
        QCOMPARE(history->windowTitle(), "History - SITE 3");
        QSignalSpy loaded(history, &frmPingHistory::loaded);
        QVERIFY(history->loading() && loaded.wait(10000));
        history->close();
    }
};

QTEST_MAIN(TestPingChart)
#include "tst_pingchart.moc"
