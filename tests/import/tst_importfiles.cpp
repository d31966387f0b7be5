// The readers on real files: what each file type yields, and every file that must be refused
// with its message.
#include "ImportFiles.h"
#include "import/ImportColumns.h"
#include "import/SpreadsheetFile.h"
#include "sheet/SheetComponent.h"
#include "workbook/SheetFile.h"

#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

using namespace orvane;
using namespace orvane::importer;
using namespace importfiles;

namespace {
const Rows kHead{{"IP", "OS", "Dept"}};
} // namespace

class tst_importfiles : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

  private slots:
    void readsEachKind() {
        struct Case {
            const char* name;
            const char* file;
            std::function<void(const QString&)> make;
            int row, col;
            QString expected;
            bool needsSoffice = false;
        };
        const auto hideFirst = [](lxw_workbook* b, lxw_worksheet* s) {
            lxw_worksheet* visible = workbook_add_worksheet(b, nullptr);
            writeRows(visible, {{"IP", "OS"}, {"RIGHT"}});
            worksheet_activate(visible);
            worksheet_hide(s);
        };
        const Case cases[] = {
            {"formula: its cached value", "formula.xlsx",
             [](const QString& p) {
                 xlsx(p, kHead, [](lxw_workbook*, lxw_worksheet* s) {
                     worksheet_write_formula_str(s, 1, 0, "=\"10.0.0.\"&1", nullptr, "10.0.0.1");
                 });
             },
             1, 0, "10.0.0.1"},
            {"merged cells: the value over the range", "merged.xlsx",
             [](const QString& p) {
                 xlsx(p, kHead, [](lxw_workbook*, lxw_worksheet* s) {
                     worksheet_merge_range(s, 1, 2, 2, 2, "HR", nullptr);
                 });
             },
             2, 2, "HR"},
            {"hidden sheet: the first visible one", "hidden.xlsx",
             [&](const QString& p) {
                 xlsx(p, {{"IP", "OS"}, {"WRONG"}}, hideFirst);
             },
             1, 0, "RIGHT"},
            {"hidden sheet (ods): the first visible one", "hidden2.ods",
             [&](const QString&) {
                 xlsx(path("hidden2.xlsx"), {{"IP", "OS"}, {"WRONG"}}, hideFirst);
                 soffice(path("hidden2.xlsx"), "ods", dir.path());
             },
             1, 0, "RIGHT", true},
            {"cell of 100,000 characters (csv)", "long.csv",
             [](const QString& p) { bytes(p, "IP,OS\n" + QByteArray(100000, 'x') + "\n"); }, 1, 0,
             QString(100000, 'x')},
            {"csv: UTF-8 with BOM, commas", "bom.csv",
             [](const QString& p) { bytes(p, "\xEF\xBB\xBFIP,User\r\n10.0.0.1,J\xC3\xB6rg\r\n"); },
             1, 1, QString::fromUtf8("J\xC3\xB6rg")},
            {"csv: Windows-1252, semicolons", "ansi.csv",
             [](const QString& p) {
                 bytes(p, "Title;;\r\nIP;User\r\n\"10;1\";M\xFCller \x80\r\n");
             },
             2, 1, QString::fromUtf8("M\xC3\xBCller \xE2\x82\xAC")},
            {"csv: tabs", "tabs.csv",
             [](const QString& p) { bytes(p, "IP\tOS\n1.1.1.1\tLINUX\n"); }, 1, 1, "LINUX"},
            {"xls by the program's writer", "own.xls",
             [](const QString& p) {
                 SheetComponent sheet;
                 sheet.setMaxCol(3);
                 sheet.setText(1, 1, "IP");
                 sheet.setText(1, 2, "OS");
                 sheet.setText(2, 2, "WINDOWS 11");
                 WriteSheetFile(sheet, p, SheetComponent::XlsFileType);
             },
             1, 1, "WINDOWS 11"},
        };
        for (const Case& c : cases) {
            if (c.needsSoffice && QStandardPaths::findExecutable("soffice").isEmpty()) {
                // The CI runs as root on a machine set up by scripts/setup: there it must run.
                QVERIFY2(::geteuid() != 0, "LibreOffice (soffice) is not installed");
                qInfo("%s: skipped, LibreOffice (soffice) is not installed", c.name);
                continue;
            }
            c.make(path(c.file));
            SheetCells cells;
            try {
                cells = ReadSpreadsheetFile(path(c.file), {});
            } catch (const ImportFileError& e) {
                QFAIL(qPrintable(QString("%1: %2").arg(c.name, e.message())));
            }
            QVERIFY2(cell(cells, c.row, c.col) == c.expected, c.name);
        }
    }

    void readsOds() {
        xlsx(path("lo.xlsx"), {{"IP", "OS"}, {"10.0.0.7", "LINUX"}});
        if (!soffice(path("lo.xlsx"), "ods", dir.path()))
            QSKIP("LibreOffice (soffice) is not installed: no .ods file to read");
        QCOMPARE(cell(ReadSpreadsheetFile(path("lo.ods"), {}), 1, 0), QString("10.0.0.7"));
    }

    void hiddenColumnIsTheKeyWhenNoHeadingNamesIt() {
        const auto hideC = [](lxw_workbook*, lxw_worksheet* s) {
            lxw_row_col_options hidden{};
            hidden.hidden = LXW_TRUE;
            worksheet_set_column_opt(s, 2, 2, LXW_DEF_COL_WIDTH, nullptr, &hidden);
        };
        const struct {
            const char* file;
            QString third;
            int key;
        } cases[] = {{"key.xlsx", "ID", 2}, {"named.xlsx", "User", -1}, {"key2.ods", "ID", 2}};
        for (const auto& c : cases) {
            const QString made = path(QString(c.file).replace(".ods", ".xlsx"));
            xlsx(made, {{"IP", "OS", c.third}, {"10.0.0.1", "X", "S1001"}}, hideC);
            if (made != path(c.file) && !soffice(made, "ods", dir.path())) {
                QVERIFY2(::geteuid() != 0, "LibreOffice (soffice) is not installed");
                qInfo("%s: skipped, LibreOffice (soffice) is not installed", c.file);
                continue;
            }
            const SheetCells cells = ReadSpreadsheetFile(path(c.file), {});
            QVERIFY2(ColumnOf(FindHeadings(cells).columns, Field::Key) == c.key, c.file);
        }
    }

    void largeSheetReportsProgress() {
        xlsx(path("large.xlsx"), kHead, [](lxw_workbook*, lxw_worksheet* s) {
            for (int r = 1; r <= 100000; ++r)
                worksheet_write_string(s, lxw_row_t(r), 0, "10.1.1.1", nullptr);
        });
        qint64 furthest = 0;
        ReadControl control;
        control.progress = [&](qint64 done, qint64) { furthest = std::max(furthest, done); };
        const SheetCells cells = ReadSpreadsheetFile(path("large.xlsx"), control);
        QCOMPARE(int(cells.rows.size()), 100001);
        QVERIFY(furthest >= 99000);
    }

    void refusesBadFiles() {
        xlsx(path("good.xlsx"), {{"IP", "OS"}, {"10.0.0.1", "X"}});
        const QByteArray good = contents(path("good.xlsx"));
        QByteArray flipped = good;
        for (int i = good.size() / 3; i < good.size() / 3 + 64; ++i)
            flipped[i] = char(flipped[i] ^ 0x5A);
        struct Case {
            const char* file;
            std::function<void(const QString&)> make;
            QString message;
        };
        const QString damaged = "The file is damaged: its zip container is truncated or corrupt.";
        const Case cases[] = {
            {"empty.xlsx", [](const QString& p) { bytes(p, ""); }, "The file is empty."},
            {"text.xlsx", [](const QString& p) { bytes(p, "IP,OS\n"); },
             "The file's name says an Excel workbook (.xlsx), but it holds something else."},
            {"zip.csv", [&](const QString& p) { bytes(p, good); },
             "The file's name says a CSV text file (.csv), but it holds a zip archive"},
            {"truncated.xlsx", [&](const QString& p) { bytes(p, good.left(good.size() / 2)); },
             damaged},
            {"corrupt.xlsx", [&](const QString& p) { bytes(p, flipped); }, damaged},
            {"bomb.xlsx",
             [](const QString& p) {
                 python("import sys,zipfile\n"
                        "z=zipfile.ZipFile(sys.argv[1],'w',zipfile.ZIP_DEFLATED)\n"
                        "z.writestr('xl/workbook.xml','<workbook/>')\n"
                        "with z.open('xl/worksheets/sheet1.xml','w') as f:\n"
                        "  for i in range(201): f.write(bytes(1<<20))\n",
                        {p});
             },
             "The file unpacks to more than 200 MB."},
            {"long.xlsx",
             // Past Excel's own 32,767, which libxlsxwriter keeps to; openpyxl writes it.
             [](const QString& p) {
                 python("import sys,openpyxl\nb=openpyxl.Workbook()\n"
                        "b.active.append(['IP','OS'])\nb.active.append(['x'*100000])\n"
                        "b.save(sys.argv[1])\n",
                        {p});
             },
             "The cell in row 2, column 1 holds more than the 32,767 characters"},
            {"rows.xlsx",
             [](const QString& p) {
                 xlsx(p, kHead, [](lxw_workbook*, lxw_worksheet* s) {
                     worksheet_write_string(s, 1000000, 0, "10.0.0.1", nullptr);
                 });
             },
             "The sheet has more than 1,000,000 rows."},
        };
        for (const Case& c : cases) {
            c.make(path(c.file));
            QString message = "read without complaint";
            try {
                ReadSpreadsheetFile(path(c.file), {});
            } catch (const ImportFileError& e) {
                message = e.message();
            }
            QVERIFY2(message.startsWith(c.message), qPrintable(QString(c.file) + ": " + message));
        }
    }

    void refusesFileLockedByAnotherProgram() {
        xlsx(path("locked.xlsx"), kHead);
        QProcess holder;
        holder.start("/usr/bin/python3",
                     {"-c",
                      "import fcntl,sys,time\nf=open(sys.argv[1],'r+')\n"
                      "fcntl.lockf(f,fcntl.LOCK_EX)\nprint('locked',flush=True)\n"
                      "time.sleep(60)\n",
                      path("locked.xlsx")});
        QVERIFY(holder.waitForReadyRead(10000));
        QString message;
        try {
            ReadSpreadsheetFile(path("locked.xlsx"), {});
        } catch (const ImportFileError& e) {
            message = e.message();
        }
        holder.kill();
        holder.waitForFinished();
        QVERIFY2(message.startsWith("The file is locked by another program"), qPrintable(message));
    }
};

QTEST_MAIN(tst_importfiles)
#include "tst_importfiles.moc"
