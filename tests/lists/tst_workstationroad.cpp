// One workstation record's road through the lists on the demo company: the list, New in the
// activation screen, save, the list's refill, the report, View, and the export read back.
#include "ListsTestData.h"
#include "antivirus/frmAvUpdation.h"
#include "lists/ExportSheet.h"
#include "lists/frmAVList.h"
#include "lists/frmrptAVUpdationList.h"
#include "workbook/XlsReadBack.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;
using namespace orvane::test;

namespace {
int rowOf(const SheetComponent* sheet, const QString& sysId) {
    for (int r = 1; r <= sheet->maxRow(); ++r)
        if (sheet->text(r, 7) == sysId)
            return r;
    return -1;
}
} // namespace

class tst_workstationroad : public QObject {
    Q_OBJECT
  private slots:
    void cleanupTestCase() { TestDb::loadFixture(); }

    void walkTheRoad() {
        TestDb::runScript(TestDb::sourceDir() + "/db/demo.sql");
        TestDb::installSession();
        Session().CurrentUnitCode = "NGT";
        Session().CurrentUnitName = "Northgate Textiles";
        Session().CurrentUserId = "1";
        FakeDesktop desktop;
        QTemporaryDir dir;
        OverrideExportPlaces(ExportPlaces{dir.path(), dir.path()});
        auto main = std::make_unique<frmMain>();
        main->setAttribute(Qt::WA_DeleteOnClose, false);
        main->show();
        const int before =
            TestDb::count("Select count(*) from hr0910.hr_av_activation where unit_code='NGT'");

        // 1. The list of the unit, refilled with F5.
        frmAVList* list = main->Show<frmAVList>();
        QTest::keyClick(list, Qt::Key_F5);
        QCOMPARE(list->Fbook->maxRow(), before + 1);

        // 2-4. New, type, save.
        QTest::keyClick(list, Qt::Key_F2);
        frmAvUpdation* entry = main->find<frmAvUpdation>();
        QVERIFY(entry);
        const QString serial = entry->TxCode->text();
        QCOMPARE(serial, QString("NGT00121"));
        entry->TxIP->setText("198.10.99.7");
        entry->TxOS->setText("windows 11");
        entry->TxUser->setText("road tester");
        entry->TxDepartment->setText("IT");
        entry->DTExpiry->setDate(QDate::currentDate());
        QTest::keyClick(entry, Qt::Key_F5);
        QVERIFY2(desktop.shown.isEmpty(), qPrintable(desktop.texts().join('|')));

        // 5. The list shows it after its next refill, the report under its unit.
        QCOMPARE(rowOf(list->Fbook, serial), -1);
        QTest::keyClick(list, Qt::Key_F5);
        const int listRow = rowOf(list->Fbook, serial);
        QVERIFY(listRow > 1);
        QCOMPARE(list->Fbook->text(listRow, 3), QString("WINDOWS 11"));

        frmrptAVUpdationList* report = main->Show<frmrptAVUpdationList>();
        report->TxUnitCode->setText("NGT");
        QTest::mouseClick(report->ChExpired, Qt::LeftButton); // expires today: listed
        const int reportRow = rowOf(report->Fbook, serial);
        QVERIFY(reportRow > 5);
        QCOMPARE(report->Fbook->text(5, 2), QString("Northgate Textiles"));

        // View puts the record back on the activation screen, in browse state.
        entry->TxIP->clear();
        report->Fbook->setActiveCell(reportRow, 2);
        QTest::keyClick(report, Qt::Key_F3);
        QCOMPARE(main->find<frmAvUpdation>(), entry);
        QCOMPARE(entry->TxIP->text(), QString("198.10.99.7"));
        QCOMPARE(entry->CmNew->text(), QString("New - F2"));

        // 6. Export from the report.
        const QString target = dir.filePath("Excel Files/Antivirus Updation List - NGT");
        desktop.fileNames.enqueue(target);
        QTest::keyClick(report, Qt::Key_F11);
        OverrideExportPlaces(std::nullopt);
        QCOMPARE(desktop.dialogs.size(), 1);
        QCOMPARE(desktop.dialogs[0].folder, dir.filePath("Excel Files"));
        QCOMPARE(desktop.dialogs[0].fileName, QString("Antivirus Updation List - NGT"));
        const QJsonObject book = readback::xlrd(TestDb::sourceDir() + "/tests/workbook/xls_dump.py",
                                                {"--texts", target});
        QVERIFY2(!book.contains("error"), qPrintable(book.value("error").toString()));
        const QJsonArray rows = book.value("texts").toArray();
        QCOMPARE(rows.size(), report->Fbook->maxRow());
        QCOMPARE(rows[0].toArray()[0].toString(), QString("TAROVEL"));
        QCOMPARE(rows[reportRow - 1].toArray()[6].toString(), serial);
        QCOMPARE(rows[reportRow - 1].toArray()[1].toString(), QString("198.10.99.7"));
        listsdata::closeAllScreens(main.get());
    }
};

QTEST_MAIN(tst_workstationroad)
#include "tst_workstationroad.moc"
