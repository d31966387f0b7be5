// Import of 30,000 workstations from an .xlsx into an empty unit, end to end (read, check,
// store), next to the mariadb client loading the same rows from a CSV file with
// LOAD DATA LOCAL INFILE, in the same run against the private server (ORVANE_DB_PORT). Both
// run in each of several rounds, one after the other on a freshly loaded fixture, and the
// medians are compared: on a shared machine a single pair swings by a factor of two.
#include "import/ImportJob.h"
#include "import/WorkstationImport.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>
#include <xlsxwriter.h>

using namespace orvane;
using namespace orvane::importer;
using namespace orvane::test;

namespace {

constexpr int kRows = 30000;
constexpr int kRounds = 5;

QStringList row(int i) {
    return {QString("10.%1.%2.%3").arg(i / 65536).arg(i / 256 % 256).arg(i % 256),
            "WINDOWS 11",
            QString("USER %1").arg(i),
            "ACCOUNTS",
            QDate(2027, 1, 1).addDays(i % 700).toString("dd-MMM-yyyy"),
            "License : P1  -  I1"};
}

void writeXlsx(const QString& path) {
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(path.toUtf8().constData(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    const char* headings[] = {"IP", "Operating System", "User", "Dept", "Exp Date", "Remarks"};
    for (int c = 0; c < 6; ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), headings[c], nullptr);
    for (int i = 1; i <= kRows; ++i) {
        const QStringList cells = row(i);
        for (int c = 0; c < 6; ++c)
            worksheet_write_string(sheet, lxw_row_t(i), lxw_col_t(c), cells[c].toUtf8().constData(),
                                   nullptr);
    }
    workbook_close(book);
}

void writeCsv(const QString& path) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    for (int i = 1; i <= kRows; ++i) {
        const QStringList cells = row(i);
        const QDate expiry = QDate::fromString(cells[4], "dd-MMM-yyyy");
        file.write(
            QString("U2,S2%1,%2,%3,%4,%5,%6,%7\n")
                .arg(i, 5, 10, QLatin1Char('0'))
                .arg(cells[0], cells[1], cells[2], cells[3], expiry.toString(Qt::ISODate), cells[5])
                .toUtf8());
    }
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("BENCH_KEEP"));
    const QString xlsx = dir.filePath("workstations.xlsx");
    const QString csv = dir.filePath("workstations.csv");
    writeXlsx(xlsx);
    writeCsv(csv);
    const QString sql =
        QString("LOAD DATA LOCAL INFILE '%1' INTO TABLE hr0910.hr_av_activation FIELDS "
                "TERMINATED BY ',' (unit_code,sys_id,sys_ip,sys_os,sys_user,sys_dept,"
                "exp_date,sys_remarks)")
            .arg(csv);
    std::vector<double> baselines, checks, totals;
    try {
        for (int round = 1; round <= kRounds; ++round) {
            TestDb::loadFixture();
            Session().setConnection(TestDb::open());

            QElapsedTimer load;
            load.start();
            const int status = QProcess::execute(
                "mariadb", {"--no-defaults", "--local-infile=1", "-h127.0.0.1",
                            QString("-P%1").arg(TestDb::port()), "-uroot", "-p7341", "-e", sql});
            baselines.push_back(load.nsecsElapsed() / 1e9);

            QElapsedTimer run;
            run.start();
            WorkstationImport data(Session().SharedConnection());
            const UnitSnapshot unit = data.Snapshot("U1");
            const ImportPreview preview =
                PreviewFile(xlsx, unit, IpConflict::Skip, DateOrder::Unset, {});
            checks.push_back(run.nsecsElapsed() / 1e9);
            const StoreResult stored = data.Store("U1", preview.result, "1");
            totals.push_back(run.nsecsElapsed() / 1e9);

            printf("round %d: %d rows (mariadb exit %d, %d loaded; import stored %d new): "
                   "baseline %.3f s, read + check %.3f s, end to end %.3f s, %.2fx\n",
                   round, kRows, status,
                   TestDb::count("Select count(*) from hr_av_activation where unit_code='U2'"),
                   stored.inserted, baselines.back(), checks.back(), totals.back(),
                   totals.back() / baselines.back());
        }
        const double baseline = median(baselines), total = median(totals);
        printf("medians of %d rounds:\n", kRounds);
        printf("baseline  mariadb LOAD DATA LOCAL INFILE (csv):  %.3f s\n", baseline);
        printf("import    read + check (xlsx):                   %.3f s\n", median(checks));
        printf("import    end to end (read + check + store):     %.3f s\n", total);
        printf("ratio     import / baseline:                     %.2fx (target at most 3x, "
               "under 5 s)\n",
               total / baseline);
    } catch (const DbError& error) {
        fprintf(stderr, "bench_import: %s\n", qPrintable(error.description()));
        return 1;
    } catch (const ImportFileError& error) {
        fprintf(stderr, "bench_import: %s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
