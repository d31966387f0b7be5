// The import against the real server: exports of the lists read back, each reason a row is
// refused for, the date order, two imports at once, and a store that fails.
#include "../lists/ListsTestData.h"
#include "ImportFiles.h"
#include "import/ImportJob.h"
#include "import/WorkstationImport.h"
#include "lists/ReportSheet.h"
#include "lists/frmAVList.h"
#include "workbook/SheetFile.h"

#include <QTemporaryDir>
#include <QtTest>
#include <thread>

using namespace orvane;
using namespace orvane::importer;
using namespace orvane::test;
using namespace listsdata;
using namespace importfiles;

class tst_workstationimport : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

    ImportPreview preview(const QString& file, IpConflict conflict = IpConflict::Skip) {
        const UnitSnapshot unit = WorkstationImport(Session().SharedConnection()).Snapshot("U1");
        return PreviewFile(file, unit, conflict, DateOrder::Unset, {});
    }
    static QList<int> counts(const ImportPreview& p) {
        const ImportCounts& c = p.result.counts;
        return {c.created, c.updates, c.unchanged, c.errors, c.otherUnit};
    }

  private slots:
    void init() { freshSession(); }

    void listExportEditedComesBackAsOneUpdate() {
        insertMany("U1", "S1", 3);
        {
            frmMain main;
            auto* list = main.Show<frmAVList>();
            list->FillList();
            WriteSheetFile(*list->Fbook, path("list.xlsx"), SheetComponent::XlsxFileType);
        }
        // Edited as a spreadsheet program would: one user changed, saved again.
        QCOMPARE(python("import sys,openpyxl\nb=openpyxl.load_workbook(sys.argv[1])\n"
                        "b.active['D3']='NEW USER'\nb.save(sys.argv[1])\n",
                        {path("list.xlsx")}),
                 0);
        const ImportPreview p = preview(path("list.xlsx"));
        QCOMPARE(counts(p), (QList<int>{0, 1, 2, 0, 0}));
        QCOMPARE(p.result.rows[1].changed, 1u << int(Field::User));
        const StoreResult stored = WorkstationImport(Session().SharedConnection())
                                       .Store("U1", p.result, Session().CurrentUserId);
        QCOMPARE(stored.updated, 1);
        QCOMPARE(TestDb::scalar("Select concat(sys_user,'/',modified_by) from hr_av_activation "
                                "where sys_id='S1002'"),
                 QString("NEW USER/1"));
        QCOMPARE(records(), 3);
    }

    void reportExportListsOtherUnitsRows() {
        insertMany("U1", "S1", 2);
        insertMany("U2", "S2", 1);
        SheetComponent sheet;
        ExpiryTexts dates;
        ReportSheet::WriteFrame(sheet, "First Unit");
        ReportFilter filter;
        filter.expiry = ExpiryFilter::OnOrBefore;
        filter.onOrBefore = QDate(2099, 1, 1);
        ReportSheet::WriteRows(sheet, ActivationRows().Report(filter), dates);
        WriteSheetFile(sheet, path("report.xlsx"), SheetComponent::XlsxFileType);
        const ImportPreview p = preview(path("report.xlsx"));
        QCOMPARE(counts(p), (QList<int>{0, 0, 2, 0, 1}));
        QCOMPARE(p.result.rows.back().reason,
                 QString("another unit: switch to it to import these rows"));
    }

    void eachReasonOnce() {
        insert({"U1", "S1001", "198.0.0.1", QVariant()});
        bytes(path("reasons.csv"), "IP,OS,User,Exp Date,Serial No\n"
                                   ",WIN,A,,\n"
                                   "10.0.0.3,WIN,A,31/31/2026,\n"
                                   "10.0.0.4,WIN,A,," +
                                       QByteArray(65, 'K') +
                                       "\n"
                                       "10.0.0.5,WIN,A,,\n"
                                       "10.0.0.5,WIN,B,,\n"
                                       "198.0.0.1,WIN,A,,\n");
        const QStringList reasons{"no IP",
                                  "the date '31/31/2026' cannot be read",
                                  "Serial No is longer than its column holds (64 characters)",
                                  "the same IP is also on row 6",
                                  "the same IP is also on row 5",
                                  "the IP belongs to serial S1001 of this unit"};
        const ImportPreview skip = preview(path("reasons.csv"));
        QCOMPARE(int(skip.result.rows.size()), reasons.size());
        for (int i = 0; i < reasons.size(); ++i) {
            QCOMPARE(skip.result.rows[size_t(i)].fileRow, i + 2);
            QCOMPARE(skip.result.rows[size_t(i)].reason, reasons[i]);
        }
        const ImportPreview update = preview(path("reasons.csv"), IpConflict::UpdateThatRecord);
        QCOMPARE(update.result.rows.back().status, RowStatus::Update);
        QCOMPARE(update.result.rows.back().record.sysId, QString("S1001"));
        QCOMPARE(CountLine(update.result.counts),
                 QString("0 new, 1 updates, 0 unchanged, 5 errors"));
    }

    void dateOrderIsTheFirstThatReadsEveryDate() {
        struct Case {
            QByteArray dates;
            DateOrder suggested;
            bool mustChoose;
        };
        const Case cases[] = {
            {"1,03/04/2026\n2,13/04/2026\n", DateOrder::DayFirst, false},
            {"1,03/04/2026\n2,04/13/2026\n", DateOrder::MonthFirst, false},
            {"1,03/04/2026\n", DateOrder::Unset, true},
            {"1,04/13/2026\n2,31/13/2026\n", DateOrder::MonthFirst, false},
            {"1,05/05/2026\n2,2026-04-03\n3,46000\n", DateOrder::DayFirst, false}};
        for (const Case& c : cases) {
            bytes(path("dates.csv"), "IP,Exp Date\n" + c.dates);
            const ImportPreview p = preview(path("dates.csv"));
            QVERIFY2(p.dates.suggested == c.suggested && p.dates.mustChoose == c.mustChoose,
                     c.dates.constData());
        }
        QCOMPARE(ReadDate("46000", DateOrder::Unset, QDate(1899, 12, 30)), QDate(2025, 12, 9));
        QCOMPARE(ReadDate("09-Dec-2025", DateOrder::Unset, QDate(1899, 12, 30)),
                 QDate(2025, 12, 9));
    }

    void twoImportsAtOnceKeepSerialsContinuous() {
        auto make = [](int first) {
            SheetCells sheet;
            sheet.rows.push_back({"IP", "OS"});
            for (int i = 0; i < 300; ++i)
                sheet.rows.push_back({QString("10.%1.%2.1").arg(first).arg(i), "LINUX"});
            CheckSetup setup;
            setup.headingsRow = 0;
            setup.columns = FindHeadings(sheet).columns;
            UnitSnapshot unit;
            unit.unitCode = "U1";
            unit.maxChars.fill(1000);
            unit.maxBytes.fill(1000);
            return CheckRows(sheet, setup, unit);
        };
        const CheckResult first = make(1), second = make(2);
        auto store = [](const CheckResult& rows) {
            auto db = TestDb::open();
            WorkstationImport(*db).Store("U1", rows, "5");
        };
        std::thread a(store, std::cref(first)), b(store, std::cref(second));
        a.join();
        b.join();
        QCOMPARE(records(), 600);
        QCOMPARE(TestDb::scalar("Select concat(min(sys_id),'-',max(sys_id),'-',count(distinct "
                                "sys_id)) from hr_av_activation"),
                 QString("S100001-S100600-600"));
        QCOMPARE(counterOf("U1"), QString("S100601"));
        QCOMPARE(TestDb::scalar("Select concat_ws('/',sys_os,ifnull(exp_date,'none'),created_by) "
                                "from hr_av_activation where sys_ip='10.2.299.1'"),
                 QString("LINUX/none/5"));
    }

    void failedStoreStoresNothing() {
        insert({"U1", "S1001", "198.0.0.1", QVariant()});
        bytes(path("mixed.csv"), "IP,User,Serial No\n198.0.0.1,CHANGED,S1001\n10.0.0.9,NEW,\n");
        const ImportPreview p = preview(path("mixed.csv"));
        QCOMPARE(counts(p), (QList<int>{1, 1, 0, 0, 0}));
        TestDb::exec("Delete from numbersetup where no_id='SYS_U1'");
        QString why;
        try {
            WorkstationImport(Session().SharedConnection()).Store("U1", p.result, "1");
        } catch (const DbError& error) {
            why = error.description();
        }
        QVERIFY2(why.contains("no workstation counter"), qPrintable(why));
        QCOMPARE(TestDb::scalar("Select concat(count(*),sys_user) from hr_av_activation"),
                 QString("1USER"));
    }
};

QTEST_MAIN(tst_workstationimport)
#include "tst_workstationimport.moc"
