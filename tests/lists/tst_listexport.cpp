// Export as .xlsx from both list screens against the real server: F5, then F11 answered with
// the dialog's second type; the workbook read back by openpyxl.
#include "ListsTestData.h"
#include "lists/ExportSheet.h"
#include "lists/frmAVList.h"
#include "lists/frmrptAVUpdationList.h"
#include "workbook/XlsReadBack.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;
using namespace orvane::test;
using namespace listsdata;

class tst_listexport : public QObject {
    Q_OBJECT

  private slots:
    void xlsxFromEitherScreen_data() {
        QTest::addColumn<bool>("report"); // frmrptAVUpdationList, else frmAVList
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("firstRow");
        QTest::addColumn<int>("recordRow"); // the row of S100001, from 0
        QTest::newRow("frmAVList")
            << false << 3
            << QStringList{"Code", "IP",     "Operating System ", "User", "Dept", "Exp Date",
                           "",     "Remarks"}
            << 1;
        QTest::newRow("frmrptAVUpdationList") << true << 7 << QStringList{"TAROVEL"} << 5;
    }
    void xlsxFromEitherScreen() {
        QFETCH(bool, report);
        QFETCH(int, rows);
        QFETCH(QStringList, firstRow);
        QFETCH(int, recordRow);
        freshSession();
        insert({"U1", "S100002", "198.1.0.2", QDate(2030, 3, 1)});
        insert({"U1", "S100001", "198.1.0.1", QDate(2030, 2, 1)});
        FakeDesktop desktop;
        QTemporaryDir dir;
        OverrideExportPlaces(ExportPlaces{dir.path(), dir.path()});
        frmMain main;
        main.setAttribute(Qt::WA_DeleteOnClose, false);
        main.show();
        ActivationListScreen* screen =
            report ? static_cast<ActivationListScreen*>(main.Show<frmrptAVUpdationList>())
                   : main.Show<frmAVList>();
        QVERIFY(screen);
        QTest::keyClick(screen, Qt::Key_F5);
        const QString named = dir.filePath("Excel Files/Antivirus Updation List - U1");
        desktop.fileNames.enqueue(named);
        desktop.fileTypes.enqueue(1);
        QTest::keyClick(screen, Qt::Key_F11);
        OverrideExportPlaces(std::nullopt);
        closeAllScreens(&main);
        QVERIFY2(desktop.shown.isEmpty(), qPrintable(desktop.texts().join('|')));
        QCOMPARE(desktop.dialogs.size(), 1);
        QVERIFY(!QFileInfo::exists(named));

        const QJsonObject book = readback::openpyxl(
            TestDb::sourceDir() + "/tests/workbook/xlsx_dump.py", {named + ".xlsx"});
        QVERIFY2(!book.contains("error"), qPrintable(book.value("error").toString()));
        const QJsonArray cells = book.value("cells").toArray();
        QCOMPARE(cells.size(), rows);
        for (int c = 0; c < firstRow.size(); ++c)
            QCOMPARE(cells[0].toArray()[c].toObject().value("text").toString(), firstRow[c]);
        const QJsonArray record = cells[recordRow].toArray();
        QCOMPARE(record[1].toObject().value("text").toString(), QString("198.1.0.1"));
        QCOMPARE(record[5].toObject().value("text").toString(), QString("01-Feb-2030"));
        QCOMPARE(record[6].toObject().value("text").toString(), QString("S100001"));
        QVERIFY(book.value("columns").toObject().value("6").toObject().value("hidden").toBool());
        QCOMPARE(book.value("gridLines").toBool(), false);
        QCOMPARE(book.value("headings").toBool(), false);
    }
};

QTEST_MAIN(tst_listexport)
#include "tst_listexport.moc"
