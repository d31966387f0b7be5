// The cross-unit report against the real server: load set-up, unit groups and running
// numbers, each filter with its boundary day, the unit box's keys and lookup, opening records
// in the activation screen, the keys, export, and failures during a refill.
#include "ListsTestData.h"
#include "antivirus/frmAvUpdation.h"
#include "app/mdlTarovel.h"
#include "lists/frmrptAVUpdationList.h"
#include "lookup/HelpResults.h"
#include "lookup/frmListView.h"

#include "support/ScreenFixture.h"

#include "support/PickListAnswer.h"

#include <QtTest>

using namespace orvane;
using namespace orvane::test;
using namespace listsdata;

class tst_rptavupdationlist : public QObject, ScreenFixture {
    Q_OBJECT
    frmrptAVUpdationList* report = nullptr;

    void open() {
        report = openScreen<frmrptAVUpdationList>();
        QVERIFY(report);
    }
    frmAvUpdation* activation() const { return main->find<frmAvUpdation>(); }
    void doubleClick(int row, int col) {
        report->Fbook->setTopRow(1);
        QCoreApplication::processEvents();
        QTableView* view = report->Fbook->view();
        const QRect cell = view->visualRect(report->Fbook->sheetModel()->index(row - 1, col - 1));
        QVERIFY2(cell.isValid(), "cell not on screen");
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    }
    // Two units: U1 with two records, U2 with three, inserted out of order.
    void twoUnits() {
        insert({"U2", "S200002", "198.2.0.2", QDate(2030, 6, 1)});
        insert({"U1", "S100002", "198.1.0.2", QDate(2030, 2, 1)});
        insert({"U2", "S200001", "198.2.0.1", QDate(2030, 1, 15)});
        insert({"U1", "S100001", "198.1.0.1", QDate(2030, 3, 1)});
        insert({"U2", "S200003", "198.2.0.3", QVariant()});
    }

  private slots:
    void init() {
        freshSession();
        startScreens();
        ClearHelpResults();
    }
    void cleanup() {
        stopScreens();
        // A test that renamed the table away must not leave it so.
        TestDb::exec("Rename table if exists hr0910.hr_av_activation_away to "
                     "hr0910.hr_av_activation");
    }

    void loadShowsTheHeaderBlockOnly() {
        twoUnits();
        open();
        SheetComponent* s = report->Fbook;
        QCOMPARE(report->windowTitle(), QString("Antivirus Updation List"));
        QCOMPARE(s->maxRow(), 4); // no query ran: nothing below the header block
        QCOMPARE(s->maxCol(), 10);
        QCOMPARE(s->fixedRows(), 4);
        QCOMPARE(s->text(1, 1), QString("TAROVEL"));
        QCOMPARE(s->rowHeight(1), 500);
        const CellStyle& title = styleAt(s, 1, 1);
        QCOMPARE(title.fontName, QString("Book Antiqua"));
        QCOMPARE(title.fontSize, 14);
        QVERIFY(title.bold);
        QCOMPARE(title.fontColour, quint32(8388608));
        QCOMPARE(s->text(2, 1), QString("First Unit"));
        QCOMPARE(rowTexts(s, 4), QStringList({"Sl No", "IP", "Operating System ", "User", "Dept",
                                              "Exp Date", "", "Remarks"}));
        const int widths[] = {1500, 7000, 5800, 5000, 5500, 2500, 0, 12500};
        for (int c = 1; c <= 8; ++c)
            QCOMPARE(s->colWidth(c), widths[c - 1]);
        for (int c = 1; c <= 10; ++c) { // the heading format spans the ten load-time columns
            const CellStyle& h = styleAt(s, 4, c);
            QCOMPARE(h.fontName, QString("ARIAL"));
            QCOMPARE(h.fontSize, 8);
            QVERIFY(h.bold);
            QCOMPARE(h.borderLeft + h.borderRight + h.borderTop + h.borderBottom, 4);
            QCOMPARE(h.pattern, quint8(1));
            QCOMPARE(h.patternFg, quint32(12632256));
        }
        QVERIFY(!s->showGridLines());
        QVERIFY(!s->showRowColHeadings());
        QVERIFY(!report->DtFrom->isEnabled());
        QCOMPARE(report->DtFrom->date(), QDate::currentDate());
        QVERIFY(!report->ChkDate->isChecked() && !report->ChExpired->isChecked());
        QVERIFY(!report->Command2->isEnabled());
        QVERIFY(desktop->shown.isEmpty());
    }

    void unitGroupsAndRunningNumbers() {
        twoUnits();
        open();
        report->FillReport();
        SheetComponent* s = report->Fbook;
        QCOMPARE(s->maxCol(), 8);
        QCOMPARE(s->text(5, 2), QString("First Unit"));
        QCOMPARE(rowTexts(s, 6), QStringList({"1", "198.1.0.2", "WINDOWS 10", "USER", "ACCOUNTS",
                                              "01-Feb-2030", "S100002", "License : P1  -  I1"}));
        QCOMPARE(s->text(7, 7), QString("S100001"));
        QCOMPARE(rowTexts(s, 8), QStringList(8, QString())); // one empty row between groups
        QCOMPARE(s->text(9, 2), QString("Second Unit"));
        // Ordered by expiry date inside the unit; NULL first, shown as empty text.
        QCOMPARE(columnTexts(s, 7, 10), QStringList({"S200003", "S200001", "S200002"}));
        QCOMPARE(columnTexts(s, 1, 5), QStringList({"", "1", "2", "", "", "3", "4", "5"}));
        QCOMPARE(s->text(10, 6), QString());
        QCOMPARE(s->maxRow(), 12);
        const CellStyle& heading = styleAt(s, 9, 2);
        QCOMPARE(heading.fontName, QString("Times New Roman"));
        QCOMPARE(heading.fontSize, 10);
        QVERIFY(heading.bold);
        QCOMPARE(heading.fontColour, quint32(192));
        for (int c = 1; c <= 8; ++c) {
            const CellStyle& cell = styleAt(s, 11, c);
            QCOMPARE(cell.fontName, QString("ARIAL"));
            QCOMPARE(cell.fontSize, 8);
            QVERIFY(!cell.bold);
            QCOMPARE(cell.fontColour, quint32(0));
        }
        QCOMPARE(styleAt(s, 8, 1).fontName, CellStyle().fontName); // the gap keeps no format
        // A refill rebuilds the data area from scratch.
        report->FillReport();
        QCOMPARE(s->maxRow(), 12);
        QCOMPARE(s->text(12, 1), QString("5"));
    }

    void expiryOptions_data() {
        QTest::addColumn<QString>("clicks"); // D = ChkDate, E = ChExpired
        QTest::addColumn<int>("dateDays");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<bool>("pickerEnabled");
        QTest::newRow("none chosen")
            << "" << 0 << QStringList{"N", "Y1", "T0", "P1", "P9"} << false;
        QTest::newRow("expired only lists today") << "E" << 0 << QStringList{"Y1", "T0"} << false;
        QTest::newRow("on or before today") << "D" << 0 << QStringList{"Y1", "T0"} << true;
        QTest::newRow("on or before tomorrow") << "D" << 1 << QStringList{"Y1", "T0", "P1"} << true;
        QTest::newRow("expired after date option") << "DE" << 9 << QStringList{"Y1", "T0"} << false;
    }
    void expiryOptions() {
        QFETCH(QString, clicks);
        QFETCH(int, dateDays);
        QFETCH(QStringList, listed);
        QFETCH(bool, pickerEnabled);
        const QDate today = QDate::currentDate();
        insert({"U1", "Y1", "a", today.addDays(-1)});
        insert({"U1", "T0", "b", today});
        insert({"U1", "P1", "c", today.addDays(1)});
        insert({"U1", "P9", "d", today.addDays(9)});
        insert({"U1", "N", "e", QVariant()});
        open();
        report->DtFrom->setDate(today.addDays(dateDays));
        for (QChar c : clicks)
            QTest::mouseClick(c == 'D' ? report->ChkDate : report->ChExpired, Qt::LeftButton);
        if (clicks.isEmpty())
            report->FillReport();
        QCOMPARE(columnTexts(report->Fbook, 7, 6), listed);
        QCOMPARE(report->DtFrom->isEnabled(), pickerEnabled);
        QCOMPARE(report->DtFrom->date(), today.addDays(dateDays)); // the picker keeps its date
    }

    void unitBox_data() {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("empty: all units")
            << "" << QStringList{"S100002", "S100001", "", "", "S200003", "S200001", "S200002"};
        QTest::newRow("trimmed") << "  U2 " << QStringList{"S200003", "S200001", "S200002"};
        QTest::newRow("blanks only: nothing") << "   " << QStringList{};
        QTest::newRow("case as typed") << "u2" << QStringList{"S200003", "S200001", "S200002"};
    }
    void unitBox() {
        QFETCH(QString, unit);
        QFETCH(QStringList, listed);
        twoUnits();
        open();
        report->TxUnitCode->setText(unit);
        QTest::keyClick(report, Qt::Key_F5);
        QCOMPARE(columnTexts(report->Fbook, 7, 6), listed);
    }

    void keyInUnitBoxRefillsWithThePreviousText() {
        twoUnits();
        open();
        report->TxUnitCode->setFocus();
        QCoreApplication::processEvents(); // the box selects its text on the focus
        QTest::keyClick(report->TxUnitCode, 'U');
        QVERIFY(report->WaitForRefill());
        QCOMPARE(report->Fbook->maxRow(), 12); // the refill saw the empty box: every unit
        QTest::keyClick(report->TxUnitCode, '2');
        QCOMPARE(report->TxUnitCode->text(), QString("U2"));
        QVERIFY(report->WaitForRefill());
        QCOMPARE(report->Fbook->maxRow(), 4); // refilled with "U": no such unit
        QTest::keyClick(report->TxUnitCode, Qt::Key_End);
        QVERIFY(report->WaitForRefill());
        QCOMPARE(columnTexts(report->Fbook, 7, 6), QStringList({"S200003", "S200001", "S200002"}));
    }

    void deleteEmptiesTheUnitAndRefills() {
        twoUnits();
        open();
        report->TxUnitCode->setText("U2");
        report->TxUnitName->setText("Second Unit");
        report->FillReport();
        QCOMPARE(report->Fbook->maxRow(), 8);
        report->TxUnitCode->setFocus();
        QTest::keyClick(report->TxUnitCode, Qt::Key_Delete);
        QCOMPARE(report->TxUnitCode->text(), QString());
        QCOMPARE(report->TxUnitName->text(), QString());
        QCOMPARE(report->Fbook->maxRow(), 12);
    }

    void unitLookupPicksAndRefills() {
        twoUnits();
        open();
        report->TxUnitCode->setFocus();
        QString caption;
        WhenPickListShows answer([&](frmListView* list) {
            caption = list->windowTitle();
            QTest::keyClicks(list->TxtSearch, "sec");
            QTest::keyClick(list->TxtSearch, Qt::Key_Return);
        });
        QTest::keyClick(report->TxUnitCode, Qt::Key_F1);
        QVERIFY(answer.ran());
        QCOMPARE(caption, QString("Unit Help"));
        QCOMPARE(report->TxUnitCode->text(), QString("U2"));
        QCOMPARE(report->TxUnitName->text(), QString("Second Unit"));
        QCOMPARE(HelpResult1, QString());
        QCOMPARE(HelpResult2, QString());
        QCOMPARE(columnTexts(report->Fbook, 7, 6), QStringList({"S200003", "S200001", "S200002"}));
    }

    void unitLookupWithoutRowsEmptiesTheBoxes() {
        twoUnits();
        TestDb::exec("Delete from tarovel.unitaccess where user_id='1'");
        open();
        report->TxUnitCode->setText("U2");
        report->TxUnitName->setText("Second Unit");
        report->TxUnitCode->setFocus();
        QTest::keyClick(report->TxUnitCode, Qt::Key_F1);
        QCOMPARE(report->TxUnitCode->text(), QString());
        QCOMPARE(report->TxUnitName->text(), QString());
        QCOMPARE(report->Fbook->maxRow(), 12);
    }

    void searchBoxRefillsOnEveryChange() {
        twoUnits();
        TestDb::exec(
            "Update hr0910.hr_av_activation set sys_user='O''Neil' where sys_id='S200001'");
        open();
        report->TxSearch->setFocus();
        QCoreApplication::processEvents(); // the box selects its text on the focus
        QTest::keyClicks(report->TxSearch, "o'n");
        QVERIFY(report->WaitForRefill());
        QCOMPARE(columnTexts(report->Fbook, 7, 6), QStringList({"S200001"}));
        QTest::keyClick(report->TxSearch, Qt::Key_Space); // untrimmed: "o'n " matches nothing
        QVERIFY(report->WaitForRefill());
        QCOMPARE(report->Fbook->maxRow(), 4);
        QVERIFY(desktop->shown.isEmpty());
    }

    void doubleClickOpensTheRecord() {
        twoUnits();
        open();
        report->FillReport();
        doubleClick(7, 3);
        frmAvUpdation* screen = activation();
        QVERIFY(screen);
        QCOMPARE(Session().SelectedSystemId, QString("S100001"));
        QCOMPARE(screen->TxCode->text(), QString("S100001"));
        QCOMPARE(screen->CmNew->text(), QString("New - F2"));
        // Viewing another record while the screen is open: the same screen, browse state.
        report->Fbook->setActiveCell(11, 2);
        report->CmView_Click();
        QCOMPARE(activation(), screen);
        QCOMPARE(screen->TxCode->text(), QString("S200001"));
        QCOMPARE(screen->CmNew->text(), QString("New - F2"));
        QVERIFY(!screen->TxIP->isEnabled());
        QCOMPARE(main->area()->activeSubWindow()->widget(), screen);
    }

    // Serials repeat across units: each unit's row opens that unit's own record.
    void viewOpensTheRecordOfTheRowsUnit_data() {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("unitName");
        QTest::newRow("current unit") << "198.1.0.9"
                                      << "First Unit";
        QTest::newRow("other unit") << "198.2.0.9"
                                    << "Second Unit";
    }
    void viewOpensTheRecordOfTheRowsUnit() {
        QFETCH(QString, ip);
        QFETCH(QString, unitName);
        insert({"U2", "S000009", "198.2.0.9", QDate(2030, 1, 1)});
        insert({"U1", "S000009", "198.1.0.9", QDate(2030, 2, 1)});
        open();
        report->FillReport();
        int row = 0;
        for (int r = 1; r <= report->Fbook->maxRow(); ++r)
            if (report->Fbook->text(r, 2) == ip)
                row = r;
        QVERIFY(row > 0);
        report->Fbook->setActiveCell(row, 2);
        report->CmView_Click();
        QVERIFY(activation());
        QCOMPARE(activation()->TxCode->text(), QString("S000009"));
        QCOMPARE(activation()->TxIP->text(), ip);
        QCOMPARE(activation()->LbUnit->text(), unitName);
    }

    void doubleClickOnRowsWithoutARecord_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("opens");
        QTest::newRow("title row") << 1 << false;
        QTest::newRow("unit name row") << 2 << false;
        QTest::newRow("empty row 3") << 3 << false;
        QTest::newRow("gap between groups") << 8 << false;
        QTest::newRow("column headings") << 4 << true;
        QTest::newRow("unit heading") << 9 << true;
    }
    void doubleClickOnRowsWithoutARecord() {
        QFETCH(int, row);
        QFETCH(bool, opens);
        twoUnits();
        open();
        report->FillReport();
        Session().SelectedSystemId = "before";
        doubleClick(row, 2);
        QCOMPARE(activation() != nullptr, opens);
        if (opens) { // opened with an empty key: no record is shown
            QCOMPARE(Session().SelectedSystemId, QString());
            QCOMPARE(activation()->TxCode->text(), QString());
        } else {
            QCOMPARE(Session().SelectedSystemId, QString("before"));
        }
    }

    void newOpensTheActivationScreenForANewRecord() {
        open();
        QTest::keyClick(report, Qt::Key_F2);
        frmAvUpdation* screen = activation();
        QVERIFY(screen);
        QCOMPARE(screen->CmNew->text(), QString("Save - F5"));
        QCOMPARE(screen->TxCode->text(), QString("S100001"));
    }

    void deleteKeyAndButtonDoNothing() {
        twoUnits();
        open();
        report->FillReport();
        QTest::keyClick(report, Qt::Key_F6);
        report->Command2_Click();
        QCOMPARE(report->Fbook->maxRow(), 12);
        QCOMPARE(TestDb::count("Select count(*) from hr0910.hr_av_activation"), 5);
        QVERIFY(!activation());
        QVERIFY(desktop->shown.isEmpty());
    }

    void searchButtonIsIgnoredWhileBusy() {
        open();
        insert({"U1", "S1", "x", QDate(2030, 1, 1)});
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QTest::mouseClick(report->CmSearch, Qt::LeftButton);
        QApplication::restoreOverrideCursor();
        QCOMPARE(report->Fbook->maxRow(), 4);
        QTest::mouseClick(report->CmSearch, Qt::LeftButton);
        QCOMPARE(report->Fbook->text(6, 7), QString("S1"));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void closeKeys_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("F9") << int(Qt::Key_F9);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }
    void closeKeys() {
        QFETCH(int, key);
        open();
        report->TxSearch->setFocus();
        QTest::keyClick(report->TxSearch, Qt::Key(key));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!main->find<frmrptAVUpdationList>());
    }

    void databaseErrorIsShownAndTheScreenStaysUsable() {
        twoUnits();
        open();
        report->FillReport();
        TestDb::exec("Rename table hr0910.hr_av_activation to hr0910.hr_av_activation_away");
        QTest::keyClick(report, Qt::Key_F5);
        QCOMPARE(desktop->shown.size(), 1);
        QVERIFY2(desktop->shown[0].text.contains("hr_av_activation"),
                 qPrintable(desktop->shown[0].text));
        QCOMPARE(report->Fbook->maxRow(), 4); // no stale rows pass for a result
        TestDb::exec("Rename table hr0910.hr_av_activation_away to hr0910.hr_av_activation");
        QTest::keyClick(report, Qt::Key_F5);
        QCOMPARE(report->Fbook->maxRow(), 12);
    }

    void unknownUnitShowsTheUnitMessage() {
        insert({"U9", "S900001", "198.9.0.1", QDate(2030, 1, 1)});
        open();
        report->FillReport();
        QCOMPARE(desktop->texts(),
                 QStringList({"Error in Unit Master!!!.   \r\nContact System Administrator.   "}));
        QCOMPARE(report->Fbook->text(5, 2), QString());
        QCOMPARE(report->Fbook->text(6, 7), QString("S900001"));
    }
};

QTEST_MAIN(tst_rptavupdationlist)
#include "tst_rptavupdationlist.moc"
