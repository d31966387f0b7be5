// The workstation list of the current unit against the real server: load set-up, unit
// scoping, serial order and numbering, the scroll to the last rows, the search box, opening
// records, and failures during a refill.
#include "ListsTestData.h"
#include "antivirus/frmAvUpdation.h"
#include "app/mdlTarovel.h"
#include "lists/frmAVList.h"

#include "support/ScreenFixture.h"

#include <QtTest>

using namespace orvane;
using namespace orvane::test;
using namespace listsdata;

class tst_avlist : public QObject, ScreenFixture {
    Q_OBJECT
    frmAVList* list = nullptr;

    void open() {
        list = openScreen<frmAVList>();
        QVERIFY(list);
    }
    frmAvUpdation* activation() const { return main->find<frmAvUpdation>(); }

  private slots:
    void init() {
        freshSession();
        startScreens();
    }
    void cleanup() {
        stopScreens();
        TestDb::exec("Rename table if exists hr0910.hr_av_activation_away to "
                     "hr0910.hr_av_activation");
    }

    void loadShowsTheHeadingRowOnly() {
        insertMany("U1", "S1", 3);
        open();
        SheetComponent* s = list->Fbook;
        QCOMPARE(list->windowTitle(), QString("Antivirus Updation List"));
        QCOMPARE(list->Label3->text(), QString("Antivirus Updation List"));
        QCOMPARE(list->LbUnit->text(), QString("First Unit"));
        QCOMPARE(s->maxRow(), 1);
        QCOMPARE(s->maxCol(), 8);
        QCOMPARE(s->fixedRows(), 1);
        QCOMPARE(rowTexts(s, 1), QStringList({"Code", "IP", "Operating System ", "User", "Dept",
                                              "Exp Date", "", "Remarks"}));
        const int widths[] = {1500, 7000, 5800, 5000, 5500, 2500, 0, 5000};
        for (int c = 1; c <= 8; ++c) {
            QCOMPARE(s->colWidth(c), widths[c - 1]);
            const CellStyle& h = styleAt(s, 1, c);
            QCOMPARE(h.fontName, QString("ARIAL"));
            QVERIFY(h.bold);
            QCOMPARE(h.pattern, quint8(1));
            QCOMPARE(h.borderBottom, quint8(1));
        }
        QVERIFY(!s->showGridLines());
        QVERIFY(!s->showRowColHeadings());
        QVERIFY(s->view()->hasFocus());
    }

    void listsTheCurrentUnitInSerialOrder() {
        insert({"U1", "S100003", "198.0.0.3", QDate(2030, 1, 1)});
        insert({"U2", "S200001", "198.0.0.9", QDate(2030, 1, 1)});
        insert({"U1", "S100001", "198.0.0.1", QVariant()});
        insert({"U1", "S100002", "198.0.0.2", QDate(2029, 1, 1)});
        open();
        QTest::keyClick(list, Qt::Key_F5);
        SheetComponent* s = list->Fbook;
        QCOMPARE(columnTexts(s, 7, 2), QStringList({"S100001", "S100002", "S100003"}));
        QCOMPARE(columnTexts(s, 1, 2), QStringList({"1", "2", "3"}));
        QCOMPARE(rowTexts(s, 3), QStringList({"2", "198.0.0.2", "WINDOWS 10", "USER", "ACCOUNTS",
                                              "01-Jan-2029", "S100002", "License : P1  -  I1"}));
        QCOMPARE(s->text(2, 6), QString()); // NULL expiry: empty text
        for (int c = 1; c <= 8; ++c) {
            QCOMPARE(styleAt(s, 4, c).fontName, QString("ARIAL"));
            QVERIFY(!styleAt(s, 4, c).bold);
        }
    }

    void searchStaysInTheUnit_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("matches both units") << "198.0.0" << QStringList{"S100001", "S100002"};
        QTest::newRow("matches the other unit only") << "198.0.0.9" << QStringList{};
        QTest::newRow("wildcard") << "198.0.0._" << QStringList{"S100001", "S100002"};
        QTest::newRow("remarks") << "P1  -" << QStringList{"S100001", "S100002"};
    }
    void searchStaysInTheUnit() {
        QFETCH(QString, typed);
        QFETCH(QStringList, listed);
        insert({"U1", "S100001", "198.0.0.1", QDate(2030, 1, 1)});
        insert({"U2", "S200001", "198.0.0.9", QDate(2030, 1, 1)});
        insert({"U1", "S100002", "198.0.0.2", QDate(2030, 1, 1)});
        open();
        list->TxSearch->setFocus();
        QTest::keyClicks(list->TxSearch, typed);
        QVERIFY(list->WaitForRefill());
        QCOMPARE(columnTexts(list->Fbook, 7, 2), listed);
        QCOMPARE(list->Fbook->topRow(), 1);
    }

    void scrollsToTheLastRows_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("top");
        QTest::newRow("none") << 0 << 1;
        QTest::newRow("10 records") << 10 << 1;
        QTest::newRow("13 records") << 13 << 1;
        QTest::newRow("14 records") << 14 << 1;
        QTest::newRow("20 records") << 20 << 7;
        QTest::newRow("60 records") << 60 << 47;
    }
    void scrollsToTheLastRows() {
        QFETCH(int, records);
        QFETCH(int, top);
        insertMany("U1", "S1", records);
        open();
        list->FillList();
        QCOMPARE(list->Fbook->maxRow(), records + 1);
        QCOMPARE(list->Fbook->topRow(), top);
        QCoreApplication::processEvents();
        QCOMPARE(list->Fbook->view()->rowAt(0) + 1, top);
    }

    void aSearchWithoutHitsScrollsBackToTheTop() {
        insertMany("U1", "S1", 30);
        open();
        list->FillList();
        QVERIFY(list->Fbook->topRow() > 1);
        list->TxSearch->setText("no such text");
        QVERIFY(list->WaitForRefill());
        QCOMPARE(list->Fbook->maxRow(), 1);
        QCOMPARE(list->Fbook->topRow(), 1);
    }

    void enterAndSearchButtonRefill() {
        open();
        insertMany("U1", "S1", 2);
        list->TxSearch->setFocus();
        QTest::keyClick(list->TxSearch, Qt::Key_Return);
        QCOMPARE(list->Fbook->maxRow(), 3);
        insertMany("U1", "S2", 1);
        QTest::mouseClick(list->CmSearch, Qt::LeftButton);
        QCOMPARE(list->Fbook->maxRow(), 4);
    }

    void unitSwitchWhileOpen() {
        insertMany("U1", "S1", 2);
        insertMany("U2", "S2", 3);
        open();
        Session().CurrentUnitCode = "U2";
        Session().CurrentUnitName = "Second Unit";
        list->FillList();
        QCOMPARE(list->LbUnit->text(), QString("First Unit")); // set at load only
        QCOMPARE(columnTexts(list->Fbook, 7, 2), QStringList({"S2001", "S2002", "S2003"}));
    }

    void viewAndDoubleClickOpenTheRecord() {
        insertMany("U1", "S1", 3);
        open();
        list->FillList();
        list->Fbook->setActiveCell(3, 4);
        QTest::keyClick(list, Qt::Key_F3);
        frmAvUpdation* screen = activation();
        QVERIFY(screen);
        QCOMPARE(screen->TxCode->text(), QString("S1002"));
        QCOMPARE(Session().SelectedSystemId, QString("S1002"));
        QTableView* view = list->Fbook->view();
        const QRect cell = view->visualRect(list->Fbook->sheetModel()->index(3, 1));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(activation(), screen);
        QCOMPARE(screen->TxCode->text(), QString("S1003"));
        QCOMPARE(screen->CmNew->text(), QString("New - F2"));
    }

    void newRecordShowsAfterTheNextRefill() {
        open();
        list->FillList();
        QTest::mouseClick(list->CmNew, Qt::LeftButton);
        frmAvUpdation* screen = activation();
        QVERIFY(screen);
        QCOMPARE(screen->TxCode->text(), QString("S100001"));
        screen->TxIP->setText("198.9.9.9");
        screen->TxOS->setText("win");
        screen->TxUser->setText("mira");
        screen->CmNew_Click(); // save
        QVERIFY2(desktop->shown.isEmpty(), qPrintable(desktop->texts().join('|')));
        QCOMPARE(list->Fbook->maxRow(), 1); // nothing outside the list refills it
        QTest::keyClick(list, Qt::Key_F5);
        QCOMPARE(rowTexts(list->Fbook, 2, 4), QStringList({"1", "198.9.9.9", "WIN", "MIRA"}));
    }

    void deleteDoesNothing() {
        insertMany("U1", "S1", 2);
        open();
        list->FillList();
        QTest::keyClick(list, Qt::Key_F6);
        list->Command2_Click();
        QCOMPARE(list->Fbook->maxRow(), 3);
        QCOMPARE(TestDb::count("Select count(*) from hr0910.hr_av_activation"), 2);
        QVERIFY(desktop->shown.isEmpty());
    }

    void databaseErrorIsShownAndTheScreenStaysUsable() {
        insertMany("U1", "S1", 20);
        open();
        list->FillList();
        TestDb::exec("Rename table hr0910.hr_av_activation to hr0910.hr_av_activation_away");
        list->TxSearch->setText("198.");
        QVERIFY(list->WaitForRefill());
        QCOMPARE(desktop->shown.size(), 1);
        QVERIFY2(desktop->shown[0].text.contains("hr_av_activation"),
                 qPrintable(desktop->shown[0].text));
        QCOMPARE(list->Fbook->maxRow(), 1);
        QCOMPARE(list->Fbook->topRow(), 1);
        TestDb::exec("Rename table hr0910.hr_av_activation_away to hr0910.hr_av_activation");
        QTest::keyClick(list, Qt::Key_F5);
        QCOMPARE(list->Fbook->maxRow(), 21);
    }

    void escapeCloses() {
        open();
        QTest::keyClick(list->Fbook->view(), Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!main->find<frmAVList>());
    }
};

QTEST_MAIN(tst_avlist)
#include "tst_avlist.moc"
