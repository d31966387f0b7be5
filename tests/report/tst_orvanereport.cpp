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

const QString kUsage =
    "Usage: orvane-report [--unit CODE] [--search TEXT] (--expired | --before YYYY-MM-DD)\n"
    "                     [--output FILE] [--server ADDR]\n"
    "Writes the antivirus activation report without a display.\n"
    "  --unit CODE        only the workstations of this unit\n"
    "  --search TEXT      text found in IP, system, user, department or remarks\n"
    "  --expired          protection expired, up to and including today\n"
    "  --before DATE      protection expiring on or before DATE\n"
    "  --output FILE      .xls, .xlsx or .csv by its ending; without it a table is printed\n"
    "  --server ADDR      the database server instead of the one in Tarovel.ini\n"
    "Exit status: 0 rows written, 1 nothing matched, 2 bad arguments, 3 database failure,\n"
    "4 the output could not be written.\n";
} // namespace

class tst_orvanereport : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<FakeDesktop> desktop;

    // how "cron": only PATH and HOME, as cron starts it; "xcb": the X11 platform with no
    // display; "full": standard output on a full disk.
    Run run(const QStringList& args, const QString& how = {}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dir->filePath(".config"));
        if (how == "xcb") {
            env.insert("QT_QPA_PLATFORM", "xcb");
            env.remove("DISPLAY");
        }
        if (how == "cron") {
            env.clear();
            env.insert("PATH", "/usr/bin:/bin");
            env.insert("HOME", dir->path());
        }
        if (how == "full")
            p.setStandardOutputFile("/dev/full");
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir->path());
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
        QFile ini(dir->filePath(".config/Orvane/Tarovel.ini"));
        QDir().mkpath(dir->filePath(".config/Orvane"));
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
        QTest::addColumn<QString>("text"); // status 0: standard output, else standard error
        const QString e = "orvane-report: ";
        // A row named "how: ..." runs as run() says for that how.
        QTest::newRow("help") << QStringList{"--help"} << 0 << kUsage;
        QTest::newRow("version") << QStringList{"--version"} << 0 << "orvane-report V0.6\n";
        QTest::newRow("cron: rows") << QStringList{"--expired", "--output", "r.csv"} << 0 << "";
        QTest::newRow("xcb: workbook") << QStringList{"--expired", "--output", "r.xlsx"} << 0 << "";
        QTest::newRow("cron: nothing matched")
            << QStringList{"--expired", "--search", "zzz"} << 1 << "";
        QTest::newRow("no filter")
            << QStringList{} << 2 << e + "give exactly one of --expired and --before\n" + kUsage;
        QTest::newRow("both filters")
            << QStringList{"--expired", "--before", "2030-01-01"} << 2
            << e + "give exactly one of --expired and --before\n" + kUsage;
        QTest::newRow("bad date") << QStringList{"--before", "2030-13-01"} << 2
                                  << e + "'2030-13-01' is not a date in the form YYYY-MM-DD\n" +
                                         kUsage;
        QTest::newRow("short date")
            << QStringList{"--before", "2030-1-1"} << 2
            << e + "'2030-1-1' is not a date in the form YYYY-MM-DD\n" + kUsage;
        QTest::newRow("unknown unit")
            << QStringList{"--expired", "--unit", "ZZ"} << 2 << e + "unknown unit code 'ZZ'\n";
        QTest::newRow("unknown option")
            << QStringList{"--expird"} << 2 << e + "unknown argument '--expird'\n" + kUsage;
        QTest::newRow("bad type") << QStringList{"--expired", "--output", "r.pdf"} << 2
                                  << e + "r.pdf: the output must end in .xls, .xlsx or .csv\n";
        QTest::newRow("unwritable") << QStringList{"--expired", "--output", "/nonexistent/r.csv"}
                                    << 2 << e + "/nonexistent/r.csv: cannot be written\n";
        QTest::newRow("no server")
            << QStringList{"--expired", "--server", "127.0.0.9"} << 3
            << e + "[ma-3.1.15]Can't connect to server on '127.0.0.9' (115)\n";
        QTest::newRow("cell too long")
            << QStringList{"--before", "2099-12-31", "--search", "LONG", "--output", "r.xlsx"} << 4
            << e + "r.xlsx: Cell 6,8 holds 32,768 characters, but an .xlsx cell holds at most "
                   "32,767. Nothing was written.\n";
        QTest::newRow("full: table")
            << QStringList{"--expired"} << 4 << e + "standard output: cannot be written\n";
    }
    void exitStatuses() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, text);
        if (status == 4) // a remark no workbook cell holds, on a record only that row reaches
            insert({"U1", "S199", "198.1.0.99", QDate(2099, 1, 1), "WIN", "ANNA", "IT",
                    "LONG" + QString(32764, 'x')});
        const Run r = run(args, QString(QTest::currentDataTag()).section(':', 0, 0));
        QCOMPARE(r.status, status);
        QCOMPARE(status == 0 ? r.out : r.err, text);
        QCOMPARE(status == 0 ? r.err : r.out, QString());
        if (status == 2 && args.isEmpty())
            QVERIFY(r.err.contains("Usage: orvane-report"));
        if (status == 4)
            QVERIFY(!QFile::exists(dir->filePath("r.xlsx")));
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
