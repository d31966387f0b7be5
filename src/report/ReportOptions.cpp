#include "report/ReportOptions.h"

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
        "  --expired          protection expired before today\n"
        "  --before DATE      protection expiring on or before DATE\n"
        "  --output FILE      .xls, .xlsx or .csv by its ending; without it a table is printed\n"
        "  --server ADDR      the database server instead of the one in Tarovel.ini\n"
        "Exit status: 0 rows written, 1 nothing matched, 2 bad arguments, 3 database failure.\n");
}

std::optional<ReportOptions> ParseReportOptions(const QStringList& args, QString& error) {
    ReportOptions options;
    bool beforeGiven = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            options.help = true;
            return options;
        }
        if (arg == QLatin1String("--version")) {
            options.version = true;
            return options;
        }
        if (arg == QLatin1String("--expired")) {
            options.expiredOnly = true;
            continue;
        }
        const bool takesValue =
            arg == QLatin1String("--unit") || arg == QLatin1String("--search") ||
            arg == QLatin1String("--before") || arg == QLatin1String("--output") ||
            arg == QLatin1String("--server");
        if (!takesValue) {
            error = QStringLiteral("unknown argument '%1'").arg(arg);
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            error = QStringLiteral("%1 needs a value").arg(arg);
            return std::nullopt;
        }
        const QString value = args[++i];
        if (arg == QLatin1String("--unit")) {
            options.unitCode = value;
        } else if (arg == QLatin1String("--search")) {
            options.searchText = value;
        } else if (arg == QLatin1String("--output")) {
            options.output = value;
        } else if (arg == QLatin1String("--server")) {
            options.server = value;
        } else {
            beforeGiven = true;
            options.before = strictDate(value);
            if (!options.before.isValid()) {
                error = QStringLiteral("'%1' is not a date in the form YYYY-MM-DD").arg(value);
                return std::nullopt;
            }
        }
    }
    if (options.expiredOnly == beforeGiven) {
        error = QStringLiteral("give exactly one of --expired and --before");
        return std::nullopt;
    }
    return options;
}

} // namespace orvane::report
