#include "report/ReportOptions.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace orvane::report {

namespace {
// Only the full "yyyy-mm-dd" form: a date a cron line gets wrong must not run the wrong report.
QDate strictDate(const QString& text) {
    if (text.size() != 10 || text[4] != QLatin1Char('-') || text[7] != QLatin1Char('-'))
        return QDate();
    return QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
}
} // namespace

QString ReportUsage() {
    return QStringLiteral(
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
        "4 the output could not be written.\n");
}

std::optional<ReportOptions> ParseReportOptions(const QStringList& args, QString& error) {
    // The usage text above is the program's own; the parser only reads the arguments.
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption expired(QStringLiteral("expired"));
    const QCommandLineOption unit(QStringLiteral("unit"), QString(), QStringLiteral("CODE"));
    const QCommandLineOption search(QStringLiteral("search"), QString(), QStringLiteral("TEXT"));
    const QCommandLineOption before(QStringLiteral("before"), QString(), QStringLiteral("DATE"));
    const QCommandLineOption output(QStringLiteral("output"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption server(QStringLiteral("server"), QString(), QStringLiteral("ADDR"));
    QCommandLineParser parser;
    parser.addOptions({help, version, expired, unit, search, before, output, server});
    if (!parser.parse(QStringList{QStringLiteral("orvane-report")} + args)) {
        const QStringList unknown = parser.unknownOptionNames();
        error = unknown.isEmpty()
                    ? parser.errorText()
                    : QStringLiteral("unknown argument '%1%2'")
                          .arg(unknown[0].size() == 1 ? QStringLiteral("-") : QStringLiteral("--"),
                               unknown[0]);
        return std::nullopt;
    }
    ReportOptions options;
    if (parser.isSet(help)) {
        options.help = true;
        return options;
    }
    if (parser.isSet(version)) {
        options.version = true;
        return options;
    }
    if (!parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("unknown argument '%1'").arg(parser.positionalArguments()[0]);
        return std::nullopt;
    }
    options.expiredOnly = parser.isSet(expired);
    options.unitCode = parser.value(unit);
    options.searchText = parser.value(search);
    options.output = parser.value(output);
    if (parser.isSet(server))
        options.server = parser.value(server);
    if (parser.isSet(before)) {
        options.before = strictDate(parser.value(before));
        if (!options.before.isValid()) {
            error = QStringLiteral("'%1' is not a date in the form YYYY-MM-DD")
                        .arg(parser.value(before));
            return std::nullopt;
        }
    }
    if (options.expiredOnly == parser.isSet(before)) {
        error = QStringLiteral("give exactly one of --expired and --before");
        return std::nullopt;
    }
    return options;
}

} // namespace orvane::report
