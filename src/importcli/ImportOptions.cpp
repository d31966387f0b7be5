#include "importcli/ImportOptions.h"

#include <QCommandLineParser>

namespace orvane::importcli {

namespace {

struct Parser {
    QCommandLineParser parser;
    QCommandLineOption unit{"unit", "the unit to import into", "CODE"};
    QCommandLineOption user{"user", "the user who signs in", "NAME"};
    QCommandLineOption passwordFile{"password-file", "first line: the password (mode 0600)",
                                    "FILE"};
    QCommandLineOption dryRun{"dry-run", "check and count, store nothing"};
    QCommandLineOption updateExisting{"update-existing",
                                      "a new row whose IP another record has updates that record"};
    QCommandLineOption skipErrors{"skip-errors", "store the good rows even when some are in error"};
    QCommandLineOption errors{"errors", "write the rows not imported to this CSV file", "FILE.csv"};
    QCommandLineOption dates{"dates", "dates with slashes read as dd/mm/yyyy or mm/dd/yyyy",
                             "dd/mm/yyyy|mm/dd/yyyy"};
    QCommandLineOption server{"server", "the database server instead of Tarovel.ini's", "ADDR"};
    QCommandLineOption help{QStringList{"h", "help"}, "show this text"};
    QCommandLineOption version{"version", "show the release"};

    Parser() {
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addPositionalArgument("FILE", ".xlsx, .ods, .csv or .xls file");
        parser.addOptions({unit, user, passwordFile, dryRun, updateExisting, skipErrors, errors,
                           dates, server, help, version});
    }
};

} // namespace

QString ImportUsage() {
    return QStringLiteral(
        "Usage: orvane-import FILE --unit CODE --user NAME [--password-file FILE] [--dry-run]\n"
        "                     [--update-existing] [--skip-errors] [--errors FILE.csv]\n"
        "                     [--dates dd/mm/yyyy|mm/dd/yyyy] [--server ADDR]\n"
        "Imports workstations from a spreadsheet into a unit.\n"
        "  --password-file FILE  the password on its first line; the file must be mode 0600\n"
        "                        (without it the password is asked on the terminal)\n"
        "  --dry-run             check and count only; nothing is stored\n"
        "  --update-existing     a new row whose IP another record of the unit has updates\n"
        "                        that record (otherwise the row is in error)\n"
        "  --skip-errors         store the good rows even when some rows are in error\n"
        "  --errors FILE.csv     write the rows not imported, with their row and reason\n"
        "  --dates ORDER         how dates with slashes read, where the file leaves it open\n"
        "  --server ADDR         the database server instead of the one in Tarovel.ini\n"
        "Exit status: 0 imported or nothing to do, 1 rows in error, 2 bad arguments,\n"
        "3 database failure or sign-in refused.\n");
}

std::optional<ImportOptions> ParseImportOptions(const QStringList& args, QString& error) {
    Parser p;
    if (!p.parser.parse(QStringList{"orvane-import"} + args)) {
        error = p.parser.errorText();
        return std::nullopt;
    }
    ImportOptions options;
    if (p.parser.isSet(p.help)) {
        options.help = true;
        return options;
    }
    if (p.parser.isSet(p.version)) {
        options.version = true;
        return options;
    }
    const QStringList files = p.parser.positionalArguments();
    if (files.size() != 1) {
        error = files.isEmpty() ? QStringLiteral("give the file to import")
                                : QStringLiteral("give exactly one file to import");
        return std::nullopt;
    }
    options.file = files.first();
    options.unitCode = p.parser.value(p.unit).trimmed();
    options.userName = p.parser.value(p.user).trimmed();
    if (options.unitCode.isEmpty() || options.userName.isEmpty()) {
        error = QStringLiteral("--unit and --user are required");
        return std::nullopt;
    }
    options.passwordFile = p.parser.value(p.passwordFile);
    options.errorsFile = p.parser.value(p.errors);
    options.dryRun = p.parser.isSet(p.dryRun);
    options.updateExisting = p.parser.isSet(p.updateExisting);
    options.skipErrors = p.parser.isSet(p.skipErrors);
    if (p.parser.isSet(p.server))
        options.server = p.parser.value(p.server);
    if (p.parser.isSet(p.dates)) {
        const QString order = p.parser.value(p.dates).toLower();
        if (order == QLatin1String("dd/mm/yyyy")) {
            options.dates = importer::DateOrder::DayFirst;
        } else if (order == QLatin1String("mm/dd/yyyy")) {
            options.dates = importer::DateOrder::MonthFirst;
        } else {
            error = QStringLiteral("--dates takes dd/mm/yyyy or mm/dd/yyyy");
            return std::nullopt;
        }
    }
    return options;
}

} // namespace orvane::importcli
