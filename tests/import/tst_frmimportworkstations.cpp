// The import screen from the Master menu: the file dialog, the date combo holding the import
// back until the user chooses, the import and its message, and the error rows saved.
#include "../lists/ListsTestData.h"
#include "ImportFiles.h"
#include "import/frmImportWorkstations.h"
#include "support/ScreenFixture.h"

#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;
using namespace orvane::test;
using namespace importfiles;

class tst_frmimportworkstations : public QObject, ScreenFixture {
    Q_OBJECT
    QTemporaryDir dir;

  private slots:
    void init() {
        listsdata::freshSession();
        startScreens();
    }
    void cleanup() { stopScreens(); }

    void importsFromTheMenuOnceTheDateOrderIsChosen() {
        QStringList master;
        for (QAction* a : main->findChild<QMenu*>("mnuMasters")->actions())
            master << a->text();
        QCOMPARE(master.last(), QString("Import Workstations..."));

        const QString file = dir.filePath("new.csv");
        bytes(file, "IP;OS;User;Exp Date\n10.9.0.1;linux;ann;03/04/2026\n;WIN;BOB;\n");
        main->findChild<QMenu*>("mnuMasters")->actions().last()->trigger();
        auto* screen = FindScreen<frmImportWorkstations>();
        QVERIFY(screen);
        desktop->openNames.enqueue(file);
        screen->CmBrowse->click();
        QTRY_VERIFY(!screen->busy());
        QCOMPARE(desktop->dialogs.last().filter,
                 QString("Spreadsheets (*.xlsx *.ods *.csv *.xls)"));
        QVERIFY2(desktop->shown.isEmpty(), qPrintable(desktop->texts().join("|")));
        QCOMPARE(screen->CbColumns.size(), 4);
        QCOMPARE(screen->CbDates->currentText(), QString("(choose)"));
        QVERIFY(!screen->CmImport->isEnabled());
        QVERIFY(screen->LbCounts->text().startsWith("0 new, 0 updates, 0 unchanged, 2 errors"));

        screen->CbDates->setCurrentIndex(1); // dd/mm/yyyy
        emit screen->CbDates->activated(1);
        QTRY_VERIFY(!screen->busy());
        QCOMPARE(screen->LbCounts->text(), QString("1 new, 0 updates, 0 unchanged, 1 errors"));
        QCOMPARE(screen->GrPreview->model()->index(1, 1).data().toString(),
                 QString("error: no IP"));
        QVERIFY(screen->CmImport->isEnabled());
        screen->CmImport->click();
        QCOMPARE(desktop->texts().last(),
                 QString("Import finished: 1 new, 0 updated, 0 unchanged, 1 errors.\n"
                         "New serials S100001 to S100001."));
        QCOMPARE(TestDb::scalar("Select concat(sys_os,' ',exp_date,' ',created_by) from "
                                "hr_av_activation"),
                 QString("LINUX 2026-04-03 1"));
        QVERIFY(!screen->CmImport->isEnabled());

        desktop->fileNames.enqueue(dir.filePath("errors.csv"));
        screen->CmSaveErrors->click();
        QCOMPARE(contents(dir.filePath("errors.csv")),
                 QByteArray("Row,Reason,IP,Operating System,User,Dept,Exp Date,Remarks,Serial "
                            "No\r\n3,no IP,,WIN,BOB,,,,\r\n"));
    }
};

QTEST_MAIN(tst_frmimportworkstations)
#include "tst_frmimportworkstations.moc"
