#pragma once
// The command line of orvane-import.
#include "import/ImportColumns.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace orvane::importcli {

struct ImportOptions {
    QString file;
    QString unitCode;
    QString userName;
    QString passwordFile; // empty: asked on the terminal
    QString errorsFile;   // empty: no error file
    bool dryRun = false;
    bool updateExisting = false;
    bool skipErrors = false;
    importer::DateOrder dates = importer::DateOrder::Unset;
    std::optional<QString> server;
    bool help = false;
    bool version = false;
};

// Reads the arguments after the program name. On a mistake returns nothing and sets `error`.
std::optional<ImportOptions> ParseImportOptions(const QStringList& args, QString& error);
QString ImportUsage();

} // namespace orvane::importcli
