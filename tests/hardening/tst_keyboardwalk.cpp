// The workstation road from the keyboard alone: the menu bar by Alt, the list's keys, the
// activation screen's Enter chain and F1 pick, save, refill, View and export.
#include "antivirus/frmAvUpdation.h"
#include "app/Session.h"
#include "lists/ExportSheet.h"
#include "lists/frmAVList.h"
#include "lookup/frmListView.h"

#include "shell/frmMain.h"
#include "support/TestSupport.h"
#include <QTimer>

#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;
using namespace orvane::test;

namespace {
QWidget* focused() {
    return QApplication::focusWidget();
}
void press(int key) {
    QTest::keyClick(focused(), Qt::Key(key));
}
void type(const QString& text) {
    QTest::keyClicks(focused(), text);
}
} // namespace

class tst_keyboardwalk : public QObject {
    Q_OBJECT
  private slots:
    void walk() {
        TestDb::startSession("1", "U1", "First Unit");
        TestDb::exec("Insert into hr_av(av_code, av_name, av_pur_key, av_install_key) "
                     "Values('AV1', 'Keyboard Shield', 'KP-1', 'KI-1')");
        FakeDesktop desktop;
        QTemporaryDir dir;
        OverrideExportPlaces(ExportPlaces{dir.path(), dir.path()});
        frmMain main;
        main.setAttribute(Qt::WA_DeleteOnClose, false);
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));

        // Alt alone reaches the menu bar; Enter opens Master, Enter takes its first item.
        QVERIFY(main.menuBar()->style()->styleHint(QStyle::SH_MenuBar_AltKeyNavigation, nullptr,
                                                   main.menuBar()));
        QTest::keyClick(&main, Qt::Key_Alt);
        QTRY_COMPARE(main.menuBar()->activeAction(), main.menuBar()->actions().first());
        QTest::keyClick(main.menuBar(), Qt::Key_Return);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);
        QTRY_VERIFY(main.find<frmAVList>());
        frmAVList* list = main.find<frmAVList>();

        // F2 on the list: a new entry, focus in the IP box.
        press(Qt::Key_F2);
        frmAvUpdation* entry = main.find<frmAvUpdation>();
        QVERIFY(entry);
        QTRY_COMPARE(focused(), entry->TxIP);
        QCOMPARE(entry->TxCode->text(), QString("S100001"));
        type("198.9.8.7");
        press(Qt::Key_Return);
        type("linux");
        press(Qt::Key_Return);
        type("kim");
        press(Qt::Key_Return);
        type("lab");
        press(Qt::Key_Return);
        QCOMPARE(focused(), entry->TxRemarks);
        // F1 opens the licence pick-list; typing narrows it, Enter takes the row.
        auto* picker = new QTimer(this);
        connect(picker, &QTimer::timeout, [picker] {
            frmListView* pick = frmListView::current();
            if (!pick || !pick->isVisible())
                return;
            picker->stop();
            QTest::keyClicks(pick->TxtSearch, "lic");
            QTest::keyClick(pick->TxtSearch, Qt::Key_Return);
        });
        picker->start(10);
        press(Qt::Key_F1);
        QCOMPARE(entry->TxRemarks->text(), QString("License : KP-1  -  KI-1"));
        // The window manager hands the activation back after the modal list.
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTRY_COMPARE(focused(), entry->TxRemarks);
        press(Qt::Key_Return);
        QCOMPARE(focused(), entry->DTExpiry);
        press(Qt::Key_Return);
        QCOMPARE(focused(), entry->CmNew);
        press(Qt::Key_F5);
        QVERIFY2(desktop.shown.isEmpty(), qPrintable(desktop.texts().join('|')));
        QCOMPARE(TestDb::scalar("Select sys_user from hr_av_activation where sys_id='S100001'"),
                 QString("KIM"));

        // F9 closes it; back on the list F5 refills, F3 views the active row.
        press(Qt::Key_F9);
        QTRY_VERIFY(!main.find<frmAvUpdation>());
        list->setFocus();
        press(Qt::Key_F5);
        QCOMPARE(list->Fbook->text(2, 7), QString("S100001"));
        list->Fbook->setFocus();
        press(Qt::Key_Down);
        QCOMPARE(list->Fbook->activeRow(), 2);
        press(Qt::Key_F3);
        entry = main.find<frmAvUpdation>();
        QVERIFY(entry);
        QCOMPARE(entry->TxIP->text(), QString("198.9.8.7"));
        QVERIFY(!entry->TxIP->isEnabled());

        // F11 on the list exports through the save dialog.
        press(Qt::Key_F9);
        QTRY_VERIFY(!main.find<frmAvUpdation>());
        list->setFocus();
        const QString file = dir.path() + "/road.xls";
        desktop.fileNames.enqueue(file);
        press(Qt::Key_F11);
        QVERIFY(QFileInfo(file).size() > 0);
        // Escape closes the list.
        press(Qt::Key_Escape);
        QTRY_VERIFY(!main.find<frmAVList>());
        OverrideExportPlaces(std::nullopt);
    }
};

QTEST_MAIN(tst_keyboardwalk)
#include "tst_keyboardwalk.moc"
