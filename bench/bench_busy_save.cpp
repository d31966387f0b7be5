// A save of the activation screen that meets the unit's counter row locked by another session:
// the longest stall of the UI thread (the largest gap between the ticks of a 1 ms timer) and the
// time until the designed message, next to the same save with nothing held, in the same run.
// Uses the test fixture of the server on ORVANE_DB_PORT (its data is replaced):
//   ORVANE_DB_PORT=3323 scripts/db start
//   ORVANE_DB_PORT=3323 QT_QPA_PLATFORM=offscreen build/bench/bench_busy_save
#include "StallWatch.h"
#include "antivirus/frmAvUpdation.h"
#include "app/Session.h"
#include "shell/frmMain.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>

using namespace orvane;
using namespace orvane::test;

namespace {

struct SaveRun {
    double totalMs = 0, longestStallMs = 0;
    int messages = 0;
    QString message;
};

SaveRun saveOnce(FakeDesktop& desktop, const QString& ip) {
    frmAvUpdation* s = frmAvUpdation::OpenForNew();
    s->TxIP->setText(ip);
    s->TxOS->setText("XP");
    s->TxUser->setText("bench");
    desktop.clear();
    SaveRun run;
    bench::StallWatch stalls;
    s->CmNew_Click();
    run.totalMs = stalls.ms();
    stalls.stop();
    run.longestStallMs = stalls.longestMs();
    run.messages = int(desktop.shown.size());
    run.message = run.messages ? desktop.shown[0].text : QString();
    s->CmClose_Click();
    QCoreApplication::processEvents();
    return run;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    FakeDesktop desktop;
    TestDb::loadFixture();
    TestDb::installSession();
    Session().CurrentUnitCode = "U1";
    Session().CurrentUnitName = "First Unit";
    Session().CurrentUserId = "5";
    frmMain main;
    main.show();
    QCoreApplication::processEvents();

    saveOnce(desktop, "198.51.0.1"); // warms both connections
    const SaveRun free = saveOnce(desktop, "198.51.0.2");
    auto holder = TestDb::open();
    holder->begin();
    holder->query("Select no_value from numbersetup Where no_id='SYS_U1' For Update");
    const SaveRun held = saveOnce(desktop, "198.51.0.3");
    holder->rollback();

    std::printf("save with nothing held (baseline): %.1f ms, longest UI stall %.1f ms, "
                "messages %d\n",
                free.totalMs, free.longestStallMs, free.messages);
    std::printf("save against the counter row held by another session: message after %.0f ms "
                "(target <= 11000), longest UI stall %.1f ms (target <= 50)\n  message: %s\n",
                held.totalMs, held.longestStallMs, qPrintable(held.message.simplified()));
    return 0;
}
