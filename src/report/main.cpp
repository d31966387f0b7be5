#include "report/ConsoleDesktop.h"
#include "report/ReportRun.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <memory>

int main(int argc, char* argv[]) {
    // The sheet is laid out by the same widgets as on screen, but no display is ever used:
    // whatever platform the environment names (xcb without DISPLAY aborts), the run is offscreen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Cron sets no XDG_RUNTIME_DIR, and Qt warns about it on standard error, which cron mails.
    // The report keeps no runtime files, so a folder of the user's own for this run (mode 0700,
    // as Qt checks) is enough; every other message still reaches standard error.
    std::unique_ptr<QTemporaryDir> runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        runtime = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/orvane-report-XXXXXX");
        if (runtime->isValid())
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()));
    }
    // Declared after the folder, so the application is gone before the folder is removed.
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
