// Takes the README's screenshots from the demo: run it through scripts/screenshots, which
// provides a virtual display with a window manager and the demo database.
#include "antivirus/frmAntivirusMaster.h"
#include "antivirus/frmAvUpdation.h"
#include "app/mdlTarovel.h"
#include "import/frmImportWorkstations.h"
#include "lists/frmAVList.h"
#include "lists/frmrptAVUpdationList.h"
#include "netmon/PingLog.h"
#include "netmon/frmPing.h"
#include "netmon/frmPingHistory.h"
#include "overview/frmExpiryOverview.h"
#include "shell/Main.h"
#include "shell/frmLogin.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QMap>
#include <QRandomGenerator>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace orvane;

namespace {

QString outDir;

void settle(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

template <class T> T* waitFor(const char* name) {
    for (int i = 0; i < 200; ++i) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == name && w->isVisible())
                return static_cast<T*>(w);
        settle(25);
    }
    return nullptr;
}

void shoot(QWidget* window, const QString& name) {
    settle(600);
    QRect frame = window->frameGeometry();
    QPixmap shot = QApplication::primaryScreen()->grabWindow(0, frame.x(), frame.y(), frame.width(),
                                                             frame.height());
    shot.save(outDir + "/" + name + ".png");
    std::printf("%s.png %dx%d\n", qPrintable(name), shot.width(), shot.height());
}

QString ImportSample(const QString& serial, const QString& ip) {
    return "IP,Operating System,User,Department,Expiry Date,Serial No\n"
           "10.20.0.11,WINDOWS 11,ANNA BERG,FINANCE,31/03/2027,\n"
           "10.20.0.12,WINDOWS 11,JONAS LIND,FINANCE,31/03/2027,\n" +
           ip + ",WINDOWS 11,MOVED USER,SALES,30/06/2027," + serial +
           "\n"
           ",WINDOWS 11,PETRA NYGARD,SALES,31/03/2027,\n"
           "10.20.0.14,UBUNTU 22.04,MARK OHLSSON,IT,31/13/2027,\n"
           "10.20.0.15,UBUNTU 22.04,LISA HOLM,IT,31/03/2027,\n"
           "10.20.0.15,UBUNTU 22.04,ERIK SANDS,IT,31/03/2027,\n";
}

// The last 24 hours of the demo branches' log (an echo every 2 s), so the history has
// something to show: HARBOUR (branch 2) is down for 20 minutes and answers slowly now and then.
void SeedPingLog() {
    const QString folder = pinglog::defaultFolder();
    QDir().mkpath(folder);
    const QStringList names = {"HEAD-OFFICE", "HARBOUR", "KELVALE",     "SANDRIDGE",  "NORTHGATE",
                               "WAREHOUSE",   "DEPOT",   "OUTLET-EAST", "OUTLET-WEST"};
    const QDateTime now = QDateTime::currentDateTime();
    QMap<QDate, QByteArray> days;
    QRandomGenerator random(13);
    for (QDateTime at = now.addDays(-1); at < now; at = at.addSecs(2)) {
        const qint64 ago = at.secsTo(now);
        QByteArray& text = days[at.date()];
        if (text.isEmpty())
            text = pinglog::header().toUtf8() + "\r\n";
        for (int b = 0; b < names.size(); ++b) {
            const bool down = b == 1 && ago < 5 * 3600 && ago >= 5 * 3600 - 1200;
            const bool lost = down || random.bounded(3000) == 0;
            const int slow = b == 1 && random.bounded(300) == 0 ? 120 + random.bounded(150) : 0;
            const PingLogRecord record{at,
                                       names[b],
                                       QStringLiteral("127.0.0.%1").arg(b + 2),
                                       lost ? 11010 : 0,
                                       lost ? "Request Timed Out" : "Success!",
                                       lost ? 0u : uint32_t(3 + b + random.bounded(12) + slow)};
            text += pinglog::csvLine(record).toUtf8() + "\r\n";
        }
    }
    for (auto day = days.cbegin(); day != days.cend(); ++day) {
        QFile file(folder + "/" + pinglog::fileName(day.key()));
        if (!file.exists() && file.open(QIODevice::WriteOnly))
            file.write(day.value());
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    outDir = argc > 1 ? argv[1] : ".";
    SeedPingLog();
    if (!Main())
        return 1;
    auto* login = waitFor<frmLogin>("frmLogin");
    if (!login)
        return 2;
    shoot(login, "login");
    login->TxtPassword->setText(argc > 2 ? argv[2] : "admin123");
    login->CmOk_Click();
    auto* main = waitFor<frmMain>("frmMain");
    if (!main)
        return 3;
    // Placed once the window manager has framed it, so the title bar is inside the shot.
    settle(500);
    main->resize(1180, 760);
    main->move(10, 10);
    shoot(main, "main-window");

    auto* master = main->Show<frmAntivirusMaster>();
    shoot(main, "antivirus-master");
    master->CmClose_Click();

    auto* list = main->Show<frmAVList>();
    list->FillList();
    shoot(main, "activation-list");
    const QString firstId = list->Fbook->text(2, 7);
    const QString firstIp = list->Fbook->text(2, 2);
    list->CmClose_Click();

    frmAvUpdation::OpenForView(firstId);
    shoot(main, "activation");
    if (auto* screen = main->find<frmAvUpdation>())
        screen->CmClose_Click();

    auto* report = main->Show<frmrptAVUpdationList>();
    report->FillReport();
    shoot(main, "report");
    report->CmClose_Click();

    auto* overview = main->Show<frmExpiryOverview>();
    shoot(main, "expiry-overview");
    overview->CmClose_Click();
    // The import's preview of a supplier's list: new rows, an update of a listed record, errors.
    QTemporaryDir importDir;
    const QString sheet = importDir.filePath("new-laptops.csv");
    QFile csv(sheet);
    if (csv.open(QIODevice::WriteOnly))
        csv.write(ImportSample(firstId, firstIp).toUtf8());
    csv.close();
    auto* import = main->Show<frmImportWorkstations>();
    import->OpenFile(sheet);
    while (import->busy())
        settle(50);
    shoot(main, "import-preview");
    import->CmClose_Click();

    auto* monitor = main->Show<frmPing>();
    settle(3000);
    shoot(main, "ping-monitor");

    monitor->History_Click(1);
    if (auto* history = main->find<frmPingHistory>()) {
        if (auto* frame = history->parentWidget())
            frame->move(40, 30);
        QEventLoop wait;
        QObject::connect(history, &frmPingHistory::loaded, &wait, &QEventLoop::quit);
        QTimer::singleShot(10000, &wait, &QEventLoop::quit);
        history->ShowRange(HistoryRange::Day);
        wait.exec();
        shoot(main, "ping-history");
    }
    return 0;
}
