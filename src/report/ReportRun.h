#pragma once
// The headless report: reads the activation report for the command line's filters and writes
// it as a workbook, a CSV file or a table, for cron and scripts.
#include <QStringList>
#include <QTextStream>

namespace orvane::report {

// A write that fails after the query ran (a full disk, a vanished folder, a cell too long for a
// workbook) has a status of its own: a script must tell it from a mistyped command line.
enum ExitStatus {
    Rows = 0,
    NothingMatched = 1,
    BadArguments = 2,
    DatabaseFailure = 3,
    OutputFailure = 4
};

// Runs the report for the arguments after the program name; returns the exit status. The
// table and --help go to `out`, every error to `err`.
int RunReport(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace orvane::report
