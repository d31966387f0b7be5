// The headless report run as a process against the test server, compared with the report
// screen's own rows for the same filters.
#include "../lists/ListsTestData.h"
#include "lists/frmrptAVUpdationList.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;
using namespace orvane::test;
using namespace listsdata;

namespace {
struct Run {
    int status;
    QString out, err;
};
} // namespace

class tst_orvanereport : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<FakeDesktop> desktop;

    Run run(const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dir->path());
        p.setProcessEnvironment(env);
        p.start(ORVANE_REPORT_BIN, args);
        p.waitForFinished(60000);
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    QString path(const QString& name) const { return dir->filePath(name); }
    // The serials the report screen lists for the same filters, in its order.
    QStringList screenSerials(const QString& unit, const QString& search, const QDate& before) {
        frmMain main;
        auto* screen = main.Show<frmrptAVUpdationList>();
        screen->TxUnitCode->setText(unit);
        if (before.isValid()) {
            screen->ChkDate->click();
            screen->DtFrom->setDate(before);
        } else {
            screen->ChExpired->click();
        }
        screen->TxSearch->setText(search);
        screen->FillReport();
        QStringList serials;
        for (const QString& s : columnTexts(screen->Fbook, 7, 5))
            if (!s.isEmpty())
                serials << s;
        return serials;
    }
    static QStringList csvSerials(const QString& file) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return {"unreadable"};
        QStringList serials;
        const QStringList lines = QString::fromUtf8(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
        for (int i = 1; i < lines.size(); ++i)
            serials << lines[i].section(',', 1, 1);
        return serials;
    }

  private slots:
    void initTestCase() {
        if (TestDb::port() != 3306)
            QSKIP("the program's connection texts name port 3306; the test server is elsewhere");
    }
    void init() {
        freshSession();
        desktop = std::make_unique<FakeDesktop>();
        dir = std::make_unique<QTemporaryDir>();
        const QDate today = QDate::currentDate();
        insert({"U1", "S101", "198.1.0.1", today.addDays(-3), "WIN", "ANNA", "IT", "O'Brien %"});
        insert({"U1", "S102", "198.1.0.2", today.addDays(20)});
        insert({"U2", "S201", "198.2.0.1", today.addDays(-1), "WIN", "BO", "IT, \"ops\""});
        insert({"U2", "S202", "198.2.0.2", today.addDays(5)});
        QFile ini(dir->filePath("Orvane/Tarovel.ini"));
        QDir().mkpath(dir->filePath("Orvane"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[ServerIp]\nServerIP=127.0.0.1\n");
    }
    void cleanup() { desktop.reset(); }

    void filtersGiveTheScreensRows_data() {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("search");
        QTest::addColumn<int>("beforeDays"); // -1: --expired
        QTest::addColumn<QStringList>("serials");
        QTest::newRow("expired") << ""
                                 << "" << -1 << QStringList{"S101", "S201"};
        QTest::newRow("expired U2") << "U2"
                                    << "" << -1 << QStringList{"S201"};
        QTest::newRow("expired, search") << ""
                                         << "O'Brien %" << -1 << QStringList{"S101"};
        QTest::newRow("before +10") << ""
                                    << "" << 10 << QStringList{"S101", "S201", "S202"};
        QTest::newRow("before +30 U1") << "U1"
                                       << "" << 30 << QStringList{"S101", "S102"};
        QTest::newRow("before, search") << ""
                                        << "ops" << 30 << QStringList{"S201"};
    }
    void filtersGiveTheScreensRows() {
        QFETCH(QString, unit);
        QFETCH(QString, search);
        QFETCH(int, beforeDays);
        QFETCH(QStringList, serials);
        const QDate before = beforeDays < 0 ? QDate() : QDate::currentDate().addDays(beforeDays);
        QStringList args{"--output", path("r.csv"), "--search", search};
        if (!unit.isEmpty())
            args << "--unit" << unit;
        args << (before.isValid() ? QStringList{"--before", before.toString("yyyy-MM-dd")}
                                  : QStringList{"--expired"});
        const Run r = run(args);
        QCOMPARE(r.status, 0);
        QCOMPARE(csvSerials(path("r.csv")), serials);
        QCOMPARE(screenSerials(unit, search, before), serials);
    }

    void outputsReadBack() {
        QCOMPARE(run({"--expired", "--output", path("r.csv")}).status, 0);
        QFile csv(path("r.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(csv.readAll()).split("\r\n");
        QCOMPARE(lines[0], QString("Unit,Serial,IP,Operating System,User,Department,Expiry,"
                                   "Days Remaining,Remarks"));
        QVERIFY2(lines[1].startsWith("First Unit,S101,198.1.0.1,WIN,ANNA,IT,"),
                 qPrintable(lines[1]));
        QVERIFY2(lines[1].endsWith(",-3,O'Brien %"), qPrintable(lines[1]));
        QVERIFY2(lines[2].contains(",BO,\"IT, \"\"ops\"\"\","), qPrintable(lines[2]));
        QVERIFY2(lines[2].endsWith(",-1,License : P1  -  I1"), qPrintable(lines[2]));

        const Run table = run({"--expired"});
        QCOMPARE(table.status, 0);
        const QStringList shown = table.out.split('\n');
        QCOMPARE(shown[0], QString("First Unit"));
        QVERIFY2(shown[2].startsWith("  S101    198.1.0.1  ANNA") && shown[2].endsWith("  -3"),
                 qPrintable(shown[2]));
        QVERIFY(table.out.contains("\nSecond Unit\n"));

        for (const QString type : {"xls", "xlsx"}) {
            QCOMPARE(run({"--expired", "--output", path("r." + type)}).status, 0);
            const QString script = type == "xls" ? "xls_dump.py" : "xlsx_dump.py";
            QProcess dump;
            dump.start("/usr/bin/python3", {TestDb::sourceDir() + "/tests/workbook/" + script,
                                            "--texts", path("r." + type)});
            QVERIFY(dump.waitForFinished(60000));
            const QString cells = QString::fromUtf8(dump.readAllStandardOutput());
            for (const char* text : {"TAROVEL", "First Unit", "Second Unit", "S101", "198.2.0.1"})
                QVERIFY2(cells.contains(text),
                         qPrintable(type + ": " + text + ": " + cells.left(200) +
                                    dump.readAllStandardError()));
        }
    }

    void exitStatuses_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "";
        QTest::newRow("nothing matched")
            << QStringList{"--expired", "--search", "zzz"} << 1 << "no workstation matches";
        QTest::newRow("no filter") << QStringList{} << 2 << "exactly one of";
        QTest::newRow("both filters")
            << QStringList{"--expired", "--before", "2030-01-01"} << 2 << "exactly one of";
        QTest::newRow("bad date") << QStringList{"--before", "2030-13-01"} << 2 << "not a date";
        QTest::newRow("short date") << QStringList{"--before", "2030-1-1"} << 2 << "not a date";
        QTest::newRow("unknown unit")
            << QStringList{"--expired", "--unit", "ZZ"} << 2 << "unknown unit code 'ZZ'";
        QTest::newRow("unknown option") << QStringList{"--expird"} << 2 << "unknown argument";
        QTest::newRow("bad type") << QStringList{"--expired", "--output", "r.pdf"} << 2
                                  << "must end in";
        QTest::newRow("unwritable") << QStringList{"--expired", "--output", "/nonexistent/r.csv"}
                                    << 2 << "cannot be written";
        QTest::newRow("no server")
            << QStringList{"--expired", "--server", "127.0.0.9"} << 3 << "orvane-report: ";
    }
    void exitStatuses() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        const Run r = run(args);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        if (status == 2 && args.isEmpty())
            QVERIFY(r.err.contains("Usage: orvane-report"));
    }

    void differingReleaseIsRefused() {
        TestDb::exec("Update tarovel.versionmaster set version_code='V9.9' where pack_code='sys'");
        const Run r = run({"--expired", "--output", path("r.csv")});
        QCOMPARE(r.status, 3);
        QVERIFY2(r.err.contains("Accounts Software Updated \nYou are running Version [V0.6]."),
                 qPrintable(r.err));
        QVERIFY(!QFile::exists(path("r.csv")));
    }
};

QTEST_MAIN(tst_orvanereport)
#include "tst_orvanereport.moc"
