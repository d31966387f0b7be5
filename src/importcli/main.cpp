#include "app/ConsoleDesktop.h"
#include "importcli/ImportRun.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Orvane");
    QTextStream out(stdout);
    QTextStream err(stderr);
    orvane::ConsoleDesktop desktop(err);
    orvane::Desktop::install(&desktop);
    const int status = orvane::importcli::RunImport(app.arguments().mid(1), out, err);
    orvane::Desktop::install(nullptr);
    return status;
}
