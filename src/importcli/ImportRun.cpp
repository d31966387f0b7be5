#include "importcli/ImportRun.h"

#include "app/LoginData.h"
#include "app/ScriptStart.h"
#include "app/UnitAccess.h"
#include "app/mdlTarovel.h"
#include "import/ImportJob.h"
#include "import/SpreadsheetFile.h"
#include "import/WorkstationImport.h"
#include "importcli/ImportOptions.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace orvane::importcli {

namespace {

using namespace importer;

// The first line of a file only its owner may read.
std::optional<QString> passwordFromFile(const QString& path, QString& error) {
    struct stat info = {};
    const QByteArray name = QFile::encodeName(path);
    if (stat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        error = QStringLiteral("%1: no such file").arg(path);
        return std::nullopt;
    }
    if (info.st_mode & (S_IRWXG | S_IRWXO)) {
        error = QStringLiteral("%1: others may read it (mode %2); make it mode 0600")
                    .arg(path)
                    .arg(info.st_mode & 0777, 4, 8, QLatin1Char('0'));
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

// Asked on the controlling terminal with the echo off; never from a pipe.
std::optional<QString> passwordFromTerminal(QString& error) {
    FILE* tty = fopen("/dev/tty", "r+");
    if (!tty) {
        error = QStringLiteral("no terminal to ask the password on; give --password-file");
        return std::nullopt;
    }
    termios saved = {};
    const bool quiet = tcgetattr(fileno(tty), &saved) == 0;
    if (quiet) {
        termios silent = saved;
        silent.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(fileno(tty), TCSAFLUSH, &silent);
    }
    fputs("Password: ", tty);
    fflush(tty);
    char buffer[1024] = {};
    const bool read = fgets(buffer, sizeof buffer, tty) != nullptr;
    if (quiet)
        tcsetattr(fileno(tty), TCSAFLUSH, &saved);
    fputs("\n", tty);
    fclose(tty);
    if (!read) {
        error = QStringLiteral("no password given");
        return std::nullopt;
    }
    QByteArray line(buffer);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

bool writablePlace(const QString& path) {
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    return folder.isDir() && folder.isWritable() &&
           (!file.exists() || (file.isFile() && file.isWritable()));
}

// The login's checks: the name, the password, the sign-in flag; then the unit's grant.
int signIn(const ImportOptions& options, const QString& password, QTextStream& err) {
    const std::optional<UserRow> user = FindUser(TrimBlanks(options.userName));
    if (!user) {
        err << "orvane-import: sign-in refused: invalid user name\n";
        return DatabaseFailure;
    }
    if (!PasswordMatches(user->password, TrimBlanks(password))) {
        err << "orvane-import: sign-in refused: invalid password\n";
        return DatabaseFailure;
    }
    if (TrimBlanks(user->loginSys) != QLatin1String("1")) {
        err << "orvane-import: sign-in refused: login denied, contact the system administrator\n";
        return DatabaseFailure;
    }
    Connection& connection = Session().SharedConnection();
    const std::optional<QString> unitName = FindUnitName(connection, options.unitCode);
    if (!unitName) {
        err << "orvane-import: unknown unit code '" << options.unitCode << "'\n";
        return BadArguments;
    }
    bool granted = false;
    for (const UnitRow& unit : GrantedUnits(connection, user->userId))
        granted = granted || unit.code == options.unitCode;
    if (!granted) {
        err << "orvane-import: sign-in refused: " << options.userName << " may not work in unit "
            << options.unitCode << "\n";
        return DatabaseFailure;
    }
    Session().CurrentUserName = options.userName;
    Session().CurrentUserId = user->userId;
    Session().CurrentUnitCode = options.unitCode;
    Session().CurrentUnitName = *unitName;
    return Imported;
}

} // namespace

int RunImport(const QStringList& args, QTextStream& out, QTextStream& err) {
    QString error;
    const std::optional<ImportOptions> options = ParseImportOptions(args, error);
    if (!options) {
        err << "orvane-import: " << error << "\n" << ImportUsage();
        return BadArguments;
    }
    if (options->help) {
        out << ImportUsage();
        return Imported;
    }
    if (options->version) {
        out << "orvane-import " << kReleaseVersion << "\n";
        return Imported;
    }
    if (!KindOfName(options->file)) {
        err << "orvane-import: " << options->file << ": the file must end in .xlsx, .ods, .csv "
            << "or .xls\n";
        return BadArguments;
    }
    if (!options->errorsFile.isEmpty() && !writablePlace(options->errorsFile)) {
        err << "orvane-import: " << options->errorsFile << ": cannot be written\n";
        return BadArguments;
    }
    const std::optional<QString> password = options->passwordFile.isEmpty()
                                                ? passwordFromTerminal(error)
                                                : passwordFromFile(options->passwordFile, error);
    if (!password) {
        err << "orvane-import: " << error << "\n";
        return BadArguments;
    }

    try {
        const QString refusal = OpenScriptConnection(options->server);
        if (!refusal.isEmpty()) {
            err << refusal << "\n";
            return DatabaseFailure;
        }
    } catch (const DbError& failure) {
        err << "orvane-import: " << failure.description() << "\n";
        return DatabaseFailure;
    }
    return ImportOnSession(*options, *password, out, err);
}

int ImportOnSession(const ImportOptions& options, const QString& password, QTextStream& out,
                    QTextStream& err) {
    UnitSnapshot unit;
    try {
        if (const int refused = signIn(options, password, err))
            return refused;
        unit = WorkstationImport(Session().SharedConnection()).Snapshot(options.unitCode);
    } catch (const DbError& failure) {
        err << "orvane-import: " << failure.description() << "\n";
        return DatabaseFailure;
    }

    ImportPreview preview;
    try {
        preview =
            PreviewFile(options.file, unit,
                        options.updateExisting ? IpConflict::UpdateThatRecord : IpConflict::Skip,
                        options.dates, ReadControl{});
    } catch (const ImportFileError& failure) {
        err << "orvane-import: " << options.file << ": " << failure.message() << "\n";
        return BadArguments;
    }
    const QString problem = SetupProblem(preview);
    if (!problem.isEmpty()) {
        err << "orvane-import: " << problem << (preview.dates.mustChoose ? " Give --dates." : "")
            << "\n";
        return BadArguments;
    }
    const ImportCounts& counts = preview.result.counts;
    out << CountLine(counts) << "\n";
    if (!options.errorsFile.isEmpty()) {
        QSaveFile file(options.errorsFile);
        const QByteArray csv = ErrorRowsCsv(preview.result);
        if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size() || !file.commit()) {
            err << "orvane-import: " << options.errorsFile << ": " << file.errorString() << "\n";
            return BadArguments;
        }
    }
    const int status = counts.errors ? RowsInError : Imported;
    if (counts.errors && !options.skipErrors) {
        err << "orvane-import: " << counts.errors
            << " rows in error; nothing was stored (--skip-errors stores the others)\n";
        return status;
    }
    if (options.dryRun) {
        out << "dry run: nothing was stored\n";
        return status;
    }
    try {
        const StoreResult stored =
            WorkstationImport(Session().SharedConnection())
                .Store(options.unitCode, preview.result, Session().CurrentUserId);
        out << "stored " << stored.inserted << " new";
        if (stored.inserted)
            out << " (" << stored.firstSerial << " to " << stored.lastSerial << ")";
        out << ", " << stored.updated << " updated\n";
    } catch (const DbError& failure) {
        err << "orvane-import: nothing was stored: " << failure.description() << "\n";
        return DatabaseFailure;
    }
    return status;
}

} // namespace orvane::importcli
