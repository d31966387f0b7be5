// Times the two workstation lists against a seeded server: the report's FillReport over
// 30,000 workstations in 20 units against the mariadb command-line client running the same
// SELECT in batch mode, the sheet's layout of those rows alone, one search keystroke of the list
// over a 5,000-workstation unit, fast typing into both search boxes (bench/TypingRun.h) over
// 30,000 and 100,000 workstations, and the memory of the program holding the full report.
// Prints every figure and ratio; decides nothing.
//
// It REPLACES the workstation and unit data of the server it is pointed at, so it needs a
// server of its own:  ORVANE_DB_PORT=3323 scripts/db start
//                     ORVANE_BENCH_PORT=3323 QT_QPA_PLATFORM=offscreen build/bench_report_fill
#include "QuietDesktop.h"
#include "TypingRun.h"
#include "app/Session.h"
#include "lists/ActivationQuery.h"
#include "lists/ActivationRows.h"
#include "lists/ActivationSheet.h"
#include "lists/ReportSheet.h"
#include "lists/frmAVList.h"
#include "lists/frmrptAVUpdationList.h"
#include "platform/Messages.h"
#include "sheet/SheetComponent.h"
#include "workbook/SheetFile.h"
#include "workbook/XlsWriter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace orvane;

namespace {

constexpr int Repetitions = 11;
constexpr int Workstations = 30000;
constexpr int BigUnitRows = 5000;
constexpr int LargeWorkstations = 100000;
int port = 0;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

QString connectionText() {
    return QString("DRIVER={MySQL ODBC 3.51 Driver};SERVER=127.0.0.1;PORT=%1; "
                   "USER=root;PASSWORD=7341;OPTION=3;Database=hr0910")
        .arg(port);
}

// 20 units B01..B20: B01 holds 5,000 workstations, the other 19 share the rest.
void seed(Connection& db, int workstations = Workstations) {
    db.execute("DELETE FROM hr0910.hr_av_activation");
    db.execute("DELETE FROM tarovel.unitmaster WHERE unit_code LIKE 'B%'");
    db.execute("INSERT INTO tarovel.unitmaster (unit_code, unit_name, unit_priority, "
               "unit_app_acc, unit_app_circ) SELECT CONCAT('B', LPAD(seq, 2, '0')), "
               "CONCAT('Bench Unit ', seq), seq, 0, 0 FROM seq_1_to_20");
    db.execute(
        QString("INSERT INTO hr0910.hr_av_activation (unit_code, sys_id, sys_ip, sys_os, "
                "sys_user, sys_dept, exp_date, sys_remarks, created_by, created_date, "
                "created_time) SELECT IF(seq <= %1, 'B01', CONCAT('B', LPAD(2 + (seq - %1 - 1) "
                "MOD 19, 2, '0'))), CONCAT('S', LPAD(seq, 6, '0')), CONCAT('10.', (seq DIV "
                "65536) MOD 256, '.', (seq DIV 256) MOD 256, '.', seq MOD 256), ELT(1 + seq MOD "
                "4, 'WINDOWS 10 PRO', 'WINDOWS 11 PRO', 'WINDOWS 7 PROFESSIONAL', 'UBUNTU "
                "22.04'), CONCAT('USER ', LPAD(seq MOD 3000, 4, '0'), ' PERERA'), ELT(1 + seq "
                "MOD 6, 'ACCOUNTS', 'STORES', 'HUMAN RESOURCES', 'IT', 'SALES', 'PRODUCTION'), "
                "DATE_ADD('2024-01-01', INTERVAL seq MOD 900 DAY), CONCAT('License : KAV-', "
                "LPAD(seq MOD 97, 4, '0'), '-PUR  -  INS-', HEX(seq * 7919)), 1, '2024/01/01', "
                "'10:00:00' FROM seq_1_to_%2")
            .arg(BigUnitRows)
            .arg(workstations));
    db.execute("ANALYZE TABLE hr0910.hr_av_activation");
}

// The client's wall time for one SELECT, output thrown away.
double clientRun(const QString& sql) {
    QProcess client;
    client.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    client.start("mariadb", {"--no-defaults", "-h127.0.0.1", QString("-P%1").arg(port), "-uroot",
                             "-p7341", "--batch", "-e", sql, "hr0910"});
    client.waitForFinished(-1);
    const double ms = t.nsecsElapsed() / 1e6;
    if (client.exitCode() != 0)
        std::fprintf(stderr, "mariadb client failed: %s\n", client.readAllStandardError().data());
    return ms;
}

long statusKb(const char* key) {
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toLong();
    return -1;
}

// The data access layer alone: run the statement and read every field of every row.
double readAll(const Statement& st, int& rows) {
    QElapsedTimer t;
    t.start();
    Recordset rs = Session().SharedConnection().query(st.sql, st.params);
    rows = 0;
    for (; !rs.eof(); rs.moveNext(), ++rows)
        for (int c = 0; c < rs.fieldCount(); ++c)
            rs.field(c);
    return t.nsecsElapsed() / 1e6;
}

double medianReadAll(const Statement& st, int& rows) {
    std::vector<double> v;
    for (int i = 0; i < Repetitions; ++i)
        v.push_back(readAll(st, rows));
    return median(v);
}

// CPU time of this process alone (the server's work and waiting not included), in ms.
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
}

void typeKey(QWidget* box, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(box, &press);
    QApplication::sendEvent(box, &release);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    bool ok = false;
    port = qEnvironmentVariableIntValue("ORVANE_BENCH_PORT", &ok);
    if (!ok) {
        std::fprintf(stderr, "Set ORVANE_BENCH_PORT to a private server's port: the bench "
                             "replaces its workstation data.\n");
        return 2;
    }
    bench::QuietDesktop desktop;
    Desktop::install(&desktop);

    // --no-seed reuses the data of an earlier run (profiling one part).
    const bool reseed = !QCoreApplication::arguments().contains("--no-seed");
    auto connection = std::make_unique<Connection>();
    connection->open(connectionText());
    if (reseed) {
        std::printf("seeding %d workstations in 20 units on port %d ...\n", Workstations, port);
        seed(*connection);
    }
    Session().setConnection(std::move(connection));
    Session().Connected = true;
    Session().CurrentUnitCode = "B01";
    Session().CurrentUnitName = "Bench Unit 1";
    Session().CurrentUserId = "1";

    // The report with every filter empty: all 30,000 rows.
    const Statement st = ActivationQuery::Report(ReportFilter{});
    std::vector<double> client, fill, pairRatios;
    clientRun(st.sql); // warm the server's buffers
    const double clientSelectOne = [] {
        std::vector<double> v;
        for (int i = 0; i < Repetitions; ++i)
            v.push_back(clientRun("select 1"));
        return median(v);
    }();

    int readRows = 0;
    const double readMs = medianReadAll(st, readRows);
    const Statement keySt = ActivationQuery::List("LICENSE", "B01");
    int keyRows = 0;
    const double keyReadMs = medianReadAll(keySt, keyRows);

    const long rssBefore = statusKb("VmRSS:");
    auto* report = new frmrptAVUpdationList();
    report->Form_Load();
    report->show();
    settle();
    report->FillReport(); // warms caches
    settle();
    // Client and FillReport alternate, so a change in the machine's load hits both alike.
    for (int i = 0; i < Repetitions; ++i) {
        client.push_back(clientRun(st.sql));
        QElapsedTimer t;
        t.start();
        report->FillReport();
        settle(); // the view has taken the new rows: ready to paint
        fill.push_back(t.nsecsElapsed() / 1e6);
        pairRatios.push_back(fill.back() / client.back());
    }
    const int reportRows = report->Fbook->maxRow();
    report->repaint();
    const long rssHolding = statusKb("VmRSS:");
    const long rssPeak = statusKb("VmHWM:");

    // Writing the report as .xls, as the export does after its dialog.
    QTemporaryDir dir;
    std::vector<double> write;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer t;
        t.start();
        WriteSheetFile(*report->Fbook, dir.filePath("report.xls"), SheetComponent::XlsFileType);
        write.push_back(t.nsecsElapsed() / 1e6);
    }
    // The sheet's part alone: the rows laid out on the UI thread once they have arrived.
    const auto groups = ActivationRows().Report(ReportFilter{});
    std::vector<double> layout;
    for (int i = 0; i < Repetitions; ++i) {
        ExpiryTexts dates;
        QElapsedTimer t;
        t.start();
        ReportSheet::WriteRows(*report->Fbook, groups, dates);
        settle();
        layout.push_back(t.nsecsElapsed() / 1e6);
    }
    // The same rows as the screens lay them out, a part per pass of the event loop: the UI
    // thread's longest pass, its part of the model's flush included.
    std::vector<double> longestPass;
    for (int i = 0; i < Repetitions; ++i) {
        ExpiryTexts dates;
        ActivationSheet::RowCursor at;
        double longest = 0;
        for (bool done = false; !done;) {
            QElapsedTimer t;
            t.start();
            done = ReportSheet::WriteSomeRows(*report->Fbook, groups, dates, at,
                                              ActivationSheet::RowsPerPass);
            settle();
            longest = std::max(longest, t.nsecsElapsed() / 1e6);
        }
        longestPass.push_back(longest);
    }
    const auto reportTyping = bench::typeAhead(report, [&] { report->FillReport(); });
    delete report;

    // One keystroke in the list's search box over the 5,000-workstation unit, until its rows are
    // on the sheet. Every prefix of the typed text matches every row of the unit, the worst
    // case for a refill.
    auto* list = new frmAVList();
    list->Form_Load();
    list->show();
    settle();
    list->TxSearch->setFocus();
    std::vector<double> keys, keysCpu;
    int listRows = 0;
    const QString typed = "LICENSE : KAV";
    for (int round = 0; round < 3; ++round) {
        for (const QChar ch : typed) {
            QElapsedTimer t;
            t.start();
            typeKey(list->TxSearch,
                    ch.isLetter() ? Qt::Key_A + (ch.toUpper().unicode() - 'A') : ch.unicode(), ch);
            list->WaitForRefill(); // the refill runs on the data worker: wait for its rows
            settle();
            keys.push_back(t.nsecsElapsed() / 1e6);
            listRows = list->Fbook->maxRow() - 1;
        }
        for (int i = 0; i < typed.size(); ++i) {
            QElapsedTimer t;
            t.start();
            const double cpu = cpuMs();
            typeKey(list->TxSearch, Qt::Key_Backspace, QString());
            list->WaitForRefill();
            settle();
            keys.push_back(t.nsecsElapsed() / 1e6);
            keysCpu.push_back(cpuMs() - cpu);
        }
    }
    // Where a keystroke's time goes: the refill itself, then the view taking the new rows.
    std::vector<double> refillOnly, viewOnly;
    for (int i = 0; i < 9; ++i) {
        QElapsedTimer t;
        t.start();
        list->FillList();
        refillOnly.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        settle();
        viewOnly.push_back(t.nsecsElapsed() / 1e6);
    }
    const auto listTyping = bench::typeAhead(list, [&] { list->FillList(); });
    delete list;

    // The same typing over 100,000 workstations.
    std::printf("seeding %d workstations ...\n", LargeWorkstations);
    seed(Session().SharedConnection(), LargeWorkstations);
    auto* large = new frmrptAVUpdationList();
    large->Form_Load();
    large->show();
    settle();
    std::vector<double> largeFill;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer t;
        t.start();
        large->FillReport();
        settle();
        largeFill.push_back(t.nsecsElapsed() / 1e6);
    }
    const auto largeTyping = bench::typeAhead(large, [&] { large->FillReport(); });
    delete large;

    const double clientMs = median(client), fillMs = median(fill), keyMs = median(keys);
    std::printf("\nreport rows in the sheet: %d (30,000 workstations + 20 unit headings + "
                "header block)\n",
                reportRows);
    std::printf("mariadb client, same SELECT to /dev/null: median %.1f ms (of which starting and "
                "connecting, 'select 1': %.1f ms)\n",
                clientMs, clientSelectOne);
    std::printf("FillReport over 30,000 rows, model flushed: median %.1f ms (min %.1f, max %.1f)\n",
                fillMs, *std::min_element(fill.begin(), fill.end()),
                *std::max_element(fill.begin(), fill.end()));
    std::printf("  of which the data access layer (query, read every field): median %.1f ms for "
                "%d rows\n",
                readMs, readRows);
    std::printf("ratio FillReport / client: %.2f of the medians, %.2f median of the %d "
                "back-to-back pairs (target <= 1.20)\n",
                fillMs / clientMs, median(pairRatios), Repetitions);
    std::printf("list search keystroke over %d rows: median %.1f ms, max %.1f ms over %zu "
                "keystrokes (target median <= 40 ms)\n",
                listRows, keyMs, *std::max_element(keys.begin(), keys.end()), keys.size());
    std::printf("  CPU time of this process per keystroke: median %.1f ms\n", median(keysCpu));
    std::printf("  of which the data access layer: median %.1f ms for %d rows\n", keyReadMs,
                keyRows);
    std::printf("  FillList alone: median %.1f ms; the view taking the rows: median %.1f ms\n",
                median(refillOnly), median(viewOnly));
    std::printf("laying the 30,000 rows out on the sheet (UI thread), model flushed: median %.1f "
                "ms in one pass; for comparison the data access layer: %.1f ms\n",
                median(layout), readMs);
    std::printf("  as the screens lay them out, %d rows a pass: longest pass median %.1f ms "
                "(target <= 20)\n",
                ActivationSheet::RowsPerPass, median(longestPass));
    bench::printTyping("the report's search box over 30,000 rows", reportTyping, fillMs);
    bench::printTyping("the list's search box over its 5,000 rows", listTyping, median(refillOnly));
    bench::printTyping("the report's search box over 100,000 rows", largeTyping, median(largeFill));
    std::printf("writing the report as .xls: median %.1f ms\n", median(write));
    std::printf("memory: RSS before the report %ld KiB, holding the 30,000-row report %ld KiB, "
                "peak (VmHWM) %ld KiB\n",
                rssBefore, rssHolding, rssPeak);
    std::printf("messages shown during the bench: %d\n", desktop.messages);
    QFile load("/proc/loadavg");
    if (load.open(QIODevice::ReadOnly))
        std::printf("load average at the end: %s", load.readAll().constData());
    Desktop::install(nullptr);
    return 0;
}
