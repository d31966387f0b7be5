#pragma once
// orvane-import: signs in as the login does, reads and checks a spreadsheet of workstations
// as the import screen does, and stores it in one transaction, for scripts.
#include <QStringList>
#include <QTextStream>

namespace orvane::importcli {

enum ExitStatus { Imported = 0, RowsInError = 1, BadArguments = 2, DatabaseFailure = 3 };

// Runs the import for the arguments after the program name; returns the exit status.
int RunImport(const QStringList& args, QTextStream& out, QTextStream& err);

struct ImportOptions;
// The import after the arguments and the password are read, on the session's open connection
// (after the release check): sign-in, check, store.
int ImportOnSession(const ImportOptions& options, const QString& password, QTextStream& out,
                    QTextStream& err);

} // namespace orvane::importcli
