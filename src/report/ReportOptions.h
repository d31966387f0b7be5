#pragma once
// The command line of the headless report.
#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

namespace orvane::report {

struct ReportOptions {
    QString unitCode;
    QString searchText;
    bool expiredOnly = false;
    QDate before;   // valid for --before
    QString output; // empty: a table on standard output
    std::optional<QString> server;
    bool help = false;
    bool version = false;
};

// Reads the arguments after the program name. On a mistake returns nothing and sets `error`.
std::optional<ReportOptions> ParseReportOptions(const QStringList& args, QString& error);

QString ReportUsage();

} // namespace orvane::report
