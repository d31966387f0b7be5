// Takes the README's screenshots from the demo: run it through scripts/screenshots, which
// provides a virtual display with a window manager and the demo database.
#include "antivirus/frmAntivirusMaster.h"
#include "antivirus/frmAvUpdation.h"
#include "app/mdlTarovel.h"
#include "import/frmImportWorkstations.h"
#include "lists/frmAVList.h"
#include "lists/frmrptAVUpdationList.h"
#include "netmon/frmPing.h"
#include "overview/frmExpiryOverview.h"
#include "shell/Main.h"
#include "shell/frmLogin.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QScreen>
#include <QTemporaryDir>
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

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    outDir = argc > 1 ? argv[1] : ".";
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

    main->Show<frmPing>();
    settle(3000);
    shoot(main, "ping-monitor");
    // The monitor's branch history window is taken here once the monitor offers one.
    return 0;
}
