// Times the expiry counts against a seeded server: the overview's grouped statement over
// 30,000 workstations in 20 units on the program's connection, against the mariadb
// command-line client running the same statement in batch mode (and the client's own start
// with "select 1", so its share of the figure shows), the status bar's one-unit count, and
// the whole overview refresh (statement and chart) on the UI thread. Prints every figure
// and ratio; decides nothing.
//
// It REPLACES the workstation, unit and access data of the server it is pointed at, so it
// needs a server of its own:  ORVANE_DB_PORT=3317 scripts/db start
//                             ORVANE_BENCH_PORT=3317 QT_QPA_PLATFORM=offscreen
//                             build/bench/bench_expiry_overview
#include "QuietDesktop.h"
#include "app/Session.h"
#include "overview/ExpiryCounts.h"
#include "overview/frmExpiryOverview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace orvane;

namespace {

constexpr int Repetitions = 21;
int port = 0;

double medianMs(const std::function<void()>& run) {
    std::vector<double> v;
    for (int i = 0; i < Repetitions; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        v.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// 20 units E01..E20 granted to user 1, 1,500 workstations each, expiries from 100 days ago to
// 400 days ahead and one in 97 without a date.
void seed(Connection& db) {
    db.execute("DELETE FROM hr0910.hr_av_activation");
    db.execute("DELETE FROM tarovel.unitaccess");
    db.execute("DELETE FROM tarovel.unitmaster");
    db.execute("INSERT INTO tarovel.unitmaster (unit_code, unit_name, unit_priority, "
               "unit_app_acc, unit_app_circ) SELECT CONCAT('E', LPAD(seq, 2, '0')), "
               "CONCAT('Bench Unit ', seq), seq, 0, 0 FROM seq_1_to_20");
    db.execute("INSERT INTO tarovel.unitaccess (unit_code, user_id) SELECT unit_code, '1' FROM "
               "tarovel.unitmaster");
    db.execute("INSERT INTO hr0910.hr_av_activation (unit_code, sys_id, sys_ip, sys_os, "
               "sys_user, sys_dept, exp_date, sys_remarks) SELECT CONCAT('E', LPAD(1 + seq MOD "
               "20, 2, '0')), CONCAT('S', LPAD(seq, 6, '0')), CONCAT('10.0.', seq DIV 256, '.', "
               "seq MOD 256), 'WINDOWS 11 PRO', CONCAT('USER', seq), 'ACCOUNTS', IF(seq MOD 97 = "
               "0, NULL, CURDATE() + INTERVAL (CAST((seq * 37) MOD 500 AS SIGNED) - 100) DAY), "
               "'bench' FROM "
               "seq_1_to_30000");
}

// The statement with its values written in, for the client (bench data only: dates, an id).
QString literalSql(const Statement& st) {
    QString sql = st.sql;
    for (const QVariant& value : st.params)
        sql.replace(sql.indexOf('?'), 1, "'" + value.toString() + "'");
    return sql;
}

double clientMs(const QString& sql) {
    return medianMs([&] {
        QProcess client;
        client.setStandardOutputFile(QProcess::nullDevice());
        client.start("mariadb", {"--no-defaults", "-h127.0.0.1", QString("-P%1").arg(port),
                                 "-uroot", "-p7341", "--batch", "-e", sql, "hr0910"});
        client.waitForFinished(-1);
        if (client.exitCode() != 0)
            std::fprintf(stderr, "mariadb client failed: %s\n",
                         client.readAllStandardError().data());
    });
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    port = qEnvironmentVariableIntValue("ORVANE_BENCH_PORT");
    if (port == 0) {
        std::fprintf(stderr, "set ORVANE_BENCH_PORT to the port of a server of its own\n");
        return 2;
    }
    bench::QuietDesktop desktop;
    Desktop::install(&desktop);
    auto connection = std::make_unique<Connection>();
    connection->open(QString("DRIVER={MySQL ODBC 3.51 Driver};SERVER=127.0.0.1;PORT=%1; "
                             "USER=root;PASSWORD=7341;OPTION=3;Database=hr0910")
                         .arg(port));
    seed(*connection);
    connection->execute("ANALYZE TABLE hr0910.hr_av_activation");
    Session().setConnection(std::move(connection));
    Session().CurrentUserId = "1";
    Session().CurrentUnitCode = "E01";

    const QDate today = QDate::currentDate();
    ExpiryCounts counts(Session().SharedConnection());
    const std::vector<UnitExpiry> units = counts.Overview("1", today);
    int total = 0;
    for (const UnitExpiry& unit : units)
        total += unit.tally.total();
    std::printf("seeded: %d workstations in %zu units\n", total, units.size());

    const double ours = medianMs([&] { counts.Overview("1", today); });
    const QString sql = literalSql(ExpiryCounts::OverviewStatement("1", today));
    const double client = clientMs(sql);
    const double clientStart = clientMs("select 1");
    const double unit = medianMs([&] { counts.ForUnit("E01", today); });
    frmExpiryOverview screen;
    screen.resize(1200, 700);
    screen.show();
    const double refresh = medianMs([&] {
        screen.Refresh();
        QCoreApplication::processEvents();
    });

    std::printf("median of %d runs, ms\n", Repetitions);
    std::printf("overview statement, program connection:  %8.2f\n", ours);
    std::printf("same statement, mariadb client --batch:  %8.2f  (ratio %.2f)\n", client,
                ours / client);
    std::printf("mariadb client start alone (select 1):   %8.2f\n", clientStart);
    std::printf("client minus its start:                  %8.2f  (ratio %.2f)\n",
                client - clientStart, ours / std::max(0.01, client - clientStart));
    std::printf("status bar count, one unit of 1,500:     %8.2f\n", unit);
    std::printf("overview refresh (statement and chart):  %8.2f\n", refresh);
    return 0;
}
