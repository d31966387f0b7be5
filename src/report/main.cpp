#include "report/ConsoleDesktop.h"
#include "report/ReportRun.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    // The sheet is laid out by the same widgets as on screen, but no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName("Orvane");
    QTextStream out(stdout);
    QTextStream err(stderr);
    orvane::report::ConsoleDesktop desktop(err);
    orvane::Desktop::install(&desktop);
    const int status = orvane::report::RunReport(app.arguments().mid(1), out, err);
    orvane::Desktop::install(nullptr);
    return status;
}
