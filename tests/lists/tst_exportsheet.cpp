// The export both lists share, through the fake desktop's save dialog: the folder, the dialog's
// settings and its two types, cancel, the overwrite question, the row limit, failures that
// leave the old file, the busy guard, and the written workbook read back by xlrd or openpyxl.
#include "app/Session.h"
#include "lists/ActivationSheet.h"
#include "lists/ExportSheet.h"
#include "sheet/SheetComponent.h"
#include "support/TestSupport.h"
#include "workbook/XlsReadBack.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QJsonArray>
#include <QListView>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;
using namespace orvane::test;

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A small report-like sheet: heading row, two records with their hidden keys.
void fillSheet(SheetComponent& sheet) {
    sheet.setFixedRows(1);
    sheet.setMaxCol(ActivationSheet::Columns);
    ActivationSheet::SetColumnWidths(sheet, 5000);
    ActivationSheet::WriteHeadings(sheet, 1, "Code");
    ActivationSheet::FormatHeadingRow(sheet, 1);
    const QStringList rows[] = {
        {"1", "198.0.0.1", "WIN", "MIRA", "IT", "01-Jan-2030", "S100001", "License : A  -  B"},
        {"2", "198.0.0.2", "LINUX", QString::fromUtf8("Zoë Ünïcode ΔΣ 日本語 ✓"), "", "", "S100002",
         ""}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 8; ++c)
            sheet.setText(r + 2, c + 1, rows[r][c]);
    ActivationSheet::SetRecordFont(sheet, 2, 3, 8);
}

} // namespace

class tst_exportsheet : public QObject {
    Q_OBJECT
    QTemporaryDir base;
    QString program, documents, script, xlsxScript;

    QString excelFolder() const { return program + "/Excel Files"; }

  private slots:
    void initTestCase() {
        QVERIFY(base.isValid());
        script = TestDb::sourceDir() + "/tests/workbook/xls_dump.py";
        QVERIFY(QFileInfo::exists(script));
        xlsxScript = TestDb::sourceDir() + "/tests/workbook/xlsx_dump.py";
        QVERIFY(QFileInfo::exists(xlsxScript));
        Session().CurrentUnitCode = "U1";
    }

    void init() {
        program = base.filePath("program");
        documents = base.filePath("documents");
        for (const QString& place : {program, documents}) {
            QFile::remove(place); // a test may leave a file where the folder should be
            QDir(place).removeRecursively();
        }
        QVERIFY(QDir().mkpath(program));
        OverrideExportPlaces(ExportPlaces{program, documents});
    }

    void cleanup() {
        OverrideExportPlaces(std::nullopt);
        // No path of the export may leave the busy pointer behind.
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void folderChoice_data() {
        QTest::addColumn<int>("programKind"); // 0 existing folder, 1 missing, 2 a file
        QTest::addColumn<bool>("documentsBlocked");
        QTest::addColumn<QString>("expected"); // "program", "documents" or "" (error)
        QTest::newRow("program folder") << 0 << false << "program";
        QTest::newRow("program folder made on first export") << 1 << false << "program";
        QTest::newRow("program folder unusable") << 2 << false << "documents";
        QTest::newRow("neither usable") << 2 << true << "";
    }
    void folderChoice() {
        QFETCH(int, programKind);
        QFETCH(bool, documentsBlocked);
        QFETCH(QString, expected);
        const QString root = base.filePath("choice");
        QDir(root).removeRecursively();
        QVERIFY(QDir().mkpath(root));
        ExportPlaces places{root + "/prog", root + "/docs"};
        if (programKind == 0)
            QVERIFY(QDir().mkpath(places.programFolder));
        if (programKind == 2)
            writeFile(places.programFolder, "a file where the folder should be");
        if (documentsBlocked)
            writeFile(places.documentsFolder, "a file too");
        if (expected.isEmpty()) {
            QVERIFY_THROWS_EXCEPTION(std::runtime_error, ExportFolder(places));
            return;
        }
        const QString want =
            (expected == "program" ? places.programFolder : places.documentsFolder) +
            "/Excel Files";
        QCOMPARE(ExportFolder(places), want);
        QVERIFY(QFileInfo(want).isDir());
        QCOMPARE(QDir(want).entryList(QDir::Files | QDir::Hidden).size(), 0); // no probe left
    }

    void writesUnderTheChosenNameAsXls() {
        FakeDesktop desktop;
        SheetComponent sheet;
        fillSheet(sheet);
        const QString target = excelFolder() + "/Antivirus Updation List - U1";
        desktop.fileNames.enqueue(target);
        ExportSheet(sheet, "Antivirus Updation List");

        QCOMPARE(desktop.dialogs.size(), 1);
        QCOMPARE(desktop.dialogs[0].folder, excelFolder());
        QCOMPARE(desktop.dialogs[0].filter,
                 QString("Excel Files (*.xls) | *.xls | Excel Workbook (*.xlsx) | *.xlsx"));
        QCOMPARE(desktop.dialogs[0].fileName, QString("Antivirus Updation List - U1"));
        QVERIFY2(desktop.shown.isEmpty(), qPrintable(desktop.texts().join('|')));
        QVERIFY(QFileInfo::exists(target)); // no extension added
        QVERIFY(!QFileInfo::exists(target + ".xls"));

        const QJsonObject book = readback::xlrd(script, {target});
        QVERIFY2(!book.contains("error"), qPrintable(book.value("error").toString()));
        QCOMPARE(book.value("warnings").toString(), QString());
        const QJsonArray cells = book.value("cells").toArray();
        QCOMPARE(cells.size(), 3);
        auto text = [&](int r, int c) {
            return cells[r].toArray()[c].toObject().value("text").toString();
        };
        QCOMPARE(text(0, 2), QString("Operating System "));
        QCOMPARE(text(1, 6), QString("S100001")); // the hidden key column keeps its values
        QCOMPARE(text(2, 6), QString("S100002"));
        QCOMPARE(text(2, 3), QString::fromUtf8("Zoë Ünïcode ΔΣ 日本語 ✓"));
        const QJsonObject keyColumn = book.value("columns").toObject().value("6").toObject();
        QVERIFY(keyColumn.value("hidden").toBool() || keyColumn.value("width").toInt() == 0);
        QCOMPARE(book.value("columns").toObject().value("7").toObject().value("width").toInt(),
                 5000);
    }

    // The second type writes .xlsx and adds the extension to a name that has none.
    void writesXlsxWithItsExtension_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("written");
        QTest::newRow("default name") << "Antivirus Updation List - U1"
                                      << "Antivirus Updation List - U1.xlsx";
        QTest::newRow("name with .xlsx") << "list.xlsx"
                                         << "list.xlsx";
        QTest::newRow("name with another extension") << "list.book"
                                                     << "list.book";
    }
    void writesXlsxWithItsExtension() {
        QFETCH(QString, given);
        QFETCH(QString, written);
        FakeDesktop desktop;
        SheetComponent sheet;
        fillSheet(sheet);
        desktop.fileNames.enqueue(excelFolder() + "/" + given);
        desktop.fileTypes.enqueue(1);
        ExportSheet(sheet, "Antivirus Updation List");
        QVERIFY2(desktop.shown.isEmpty(), qPrintable(desktop.texts().join('|')));
        QCOMPARE(QDir(excelFolder()).entryList(QDir::Files), QStringList{written});

        const QJsonObject book = readback::openpyxl(xlsxScript, {excelFolder() + "/" + written});
        QVERIFY2(!book.contains("error"), qPrintable(book.value("error").toString()));
        const QJsonArray cells = book.value("cells").toArray();
        QCOMPARE(cells.size(), 3);
        auto text = [&](int r, int c) {
            return cells[r].toArray()[c].toObject().value("text").toString();
        };
        QCOMPARE(text(0, 2), QString("Operating System "));
        QCOMPARE(text(1, 6), QString("S100001")); // the hidden key column keeps its values
        QCOMPARE(text(2, 3), QString::fromUtf8("Zoë Ünïcode ΔΣ 日本語 ✓"));
        const QJsonObject keyColumn = book.value("columns").toObject().value("6").toObject();
        QVERIFY(keyColumn.value("hidden").toBool());
    }

    void cancelWritesNothingAndSaysNothing() {
        FakeDesktop desktop; // empty answer queue: the dialog is cancelled
        SheetComponent sheet;
        fillSheet(sheet);
        ExportSheet(sheet, "Antivirus Updation List");
        QCOMPARE(desktop.dialogs.size(), 1);
        QVERIFY(desktop.shown.isEmpty());
        QCOMPARE(QDir(excelFolder()).entryList(QDir::Files).size(), 0);
    }

    void overwriteQuestion_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("yes replaces") << int(MsgAnswer::Yes) << true;
        QTest::newRow("no keeps the old file") << int(MsgAnswer::No) << false;
    }
    void overwriteQuestion() {
        QFETCH(int, answer);
        QFETCH(bool, replaced);
        FakeDesktop desktop;
        SheetComponent sheet;
        fillSheet(sheet);
        QVERIFY(QDir().mkpath(excelFolder()));
        const QString target = excelFolder() + "/old.xls";
        writeFile(target, "old content");
        desktop.fileNames.enqueue(target);
        desktop.answers.enqueue(MsgAnswer(answer));
        ExportSheet(sheet, "Antivirus Updation List");
        QCOMPARE(desktop.shown.size(), 1);
        QCOMPARE(desktop.shown[0].text, QString("Are you sure you want to overwrite"));
        QCOMPARE(desktop.shown[0].icon, MsgIcon::Information);
        QCOMPARE(desktop.shown[0].buttons, MsgButtons::YesNo);
        QCOMPARE(readFile(target) != "old content", replaced);
        if (replaced)
            QVERIFY(!readback::xlrd(script, {"--texts", target}).contains("error"));
    }

    void rowLimit_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("lastRow");
        QTest::addColumn<bool>("written");
        QTest::newRow("65,536 rows fit") << 0 << 65536 << true;
        QTest::newRow("one more is refused") << 0 << 65537 << false;
        QTest::newRow("one more fits an .xlsx") << 1 << 65537 << true;
    }
    void rowLimit() {
        QFETCH(int, type);
        QFETCH(int, lastRow);
        QFETCH(bool, written);
        FakeDesktop desktop;
        SheetComponent sheet;
        fillSheet(sheet);
        sheet.setText(lastRow, 2, "last");
        const QString target = excelFolder() + (type ? "/big.xlsx" : "/big.xls");
        desktop.fileNames.enqueue(target);
        desktop.fileTypes.enqueue(type);
        ExportSheet(sheet, "Antivirus Updation List");
        QCOMPARE(QFileInfo::exists(target), written);
        if (written) {
            QVERIFY(desktop.shown.isEmpty());
        } else {
            QCOMPARE(desktop.dialogs.size(), 1); // the type is known once the dialog answers
            QCOMPARE(desktop.shown.size(), 1);
            QVERIFY2(desktop.shown[0].text.contains("65,537") &&
                         desktop.shown[0].text.contains("65,536"),
                     qPrintable(desktop.shown[0].text));
            QCOMPARE(desktop.shown[0].icon, MsgIcon::Information);
        }
    }

    void dialogFilters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("filters");
        QTest::newRow("the export's")
            << "Excel Files (*.xls) | *.xls" << QStringList{"Excel Files (*.xls)"};
        QTest::newRow("pattern not in the description")
            << "Text|*.txt" << QStringList{"Text (*.txt)"};
        QTest::newRow("two types") << "A (*.a)|*.a|B|*.b" << QStringList{"A (*.a)", "B (*.b)"};
        QTest::newRow("the export's two types")
            << "Excel Files (*.xls) | *.xls | Excel Workbook (*.xlsx) | *.xlsx"
            << QStringList{"Excel Files (*.xls)", "Excel Workbook (*.xlsx)"};
    }
    void dialogFilters() {
        QFETCH(QString, filter);
        QFETCH(QStringList, filters);
        QCOMPARE(DialogNameFilters(filter), filters);
    }

    // The real save dialog lists only workbooks of the chosen type, not files named like the
    // filter's words; it starts with the .xls type.
    void saveDialogListsOnlyWorkbooks_data() {
        QTest::addColumn<QString>("choose"); // "" keeps the type the dialog starts with
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("first type") << "" << QStringList{"old.xls"};
        QTest::newRow("second type") << "Excel Workbook (*.xlsx)" << QStringList{"new.xlsx"};
    }
    void saveDialogListsOnlyWorkbooks() {
        QFETCH(QString, choose);
        QFETCH(QStringList, listed);
        QTemporaryDir dir;
        for (const char* name : {"Excel", "Files", "|", "old.xls", "new.xlsx", "notes.txt"}) {
            QFile file(dir.path() + "/" + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        ConfigureSaveDialog(dialog, dir.path(),
                            "Excel Files (*.xls) | *.xls | Excel Workbook (*.xlsx) | *.xlsx", "x");
        if (choose.isEmpty())
            QCOMPARE(dialog.selectedNameFilter(), QString("Excel Files (*.xls)"));
        else
            dialog.selectNameFilter(choose);
        dialog.show();
        auto* list = dialog.findChild<QListView*>("listView");
        QVERIFY(list);
        QStringList shown;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                shown.clear();
                const QModelIndex root = list->rootIndex();
                for (int r = 0; r < list->model()->rowCount(root); ++r)
                    shown << list->model()->index(r, 0, root).data().toString();
                return !shown.isEmpty();
            }(),
            5000);
        QCOMPARE(shown, listed);
    }

    void failedWriteShowsItsTextAndKeepsTheOldFile_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::newRow(".xls") << 0 << "kept.xls";
        QTest::newRow(".xlsx") << 1 << "kept.xlsx";
    }
    void failedWriteShowsItsTextAndKeepsTheOldFile() {
        QFETCH(int, type);
        QFETCH(QString, name);
        FakeDesktop desktop;
        SheetComponent sheet;
        fillSheet(sheet);
        sheet.setText(3, 8, QString(40000, QChar('x'))); // longer than a cell of the format
        QVERIFY(QDir().mkpath(excelFolder()));
        const QString target = excelFolder() + "/" + name;
        writeFile(target, "precious");
        desktop.fileNames.enqueue(target);
        desktop.fileTypes.enqueue(type);
        desktop.answers.enqueue(MsgAnswer::Yes);
        ExportSheet(sheet, "Antivirus Updation List");
        QCOMPARE(desktop.shown.size(), 2); // the question, then the failure
        QCOMPARE(desktop.shown[1].icon, MsgIcon::Information);
        QVERIFY(!desktop.shown[1].text.isEmpty());
        QCOMPARE(readFile(target), QByteArray("precious"));
        QCOMPARE(QDir(excelFolder()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void unwritablePlaceShowsItsText() {
        FakeDesktop desktop;
        SheetComponent sheet;
        fillSheet(sheet);
        const QString target = base.filePath("no such folder") + "/x.xls";
        desktop.fileNames.enqueue(target);
        ExportSheet(sheet, "Antivirus Updation List");
        QCOMPARE(desktop.shown.size(), 1);
        QVERIFY2(desktop.shown[0].text.contains("x.xls"), qPrintable(desktop.shown[0].text));
        QVERIFY(!QFileInfo::exists(target));
    }

    void noFolderShowsItsText() {
        FakeDesktop desktop;
        SheetComponent sheet;
        fillSheet(sheet);
        QDir(program).removeRecursively();
        writeFile(program, "file");
        writeFile(documents, "file");
        desktop.fileNames.enqueue(base.filePath("never.xls"));
        ExportSheet(sheet, "Antivirus Updation List");
        QCOMPARE(desktop.dialogs.size(), 0);
        QCOMPARE(desktop.shown.size(), 1);
        QVERIFY(desktop.shown[0].text.contains("Excel Files"));
        QVERIFY(!QFileInfo::exists(base.filePath("never.xls")));
    }

    void ignoredWhileBusy() {
        FakeDesktop desktop;
        SheetComponent sheet;
        fillSheet(sheet);
        desktop.fileNames.enqueue(excelFolder() + "/busy.xls");
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ExportSheet(sheet, "Antivirus Updation List");
        QApplication::restoreOverrideCursor();
        QCOMPARE(desktop.dialogs.size(), 0);
        QVERIFY(!QFileInfo::exists(excelFolder() + "/busy.xls"));
        QVERIFY(!BusyPointerShown());
    }

    void busyPointerShowsWhileTheDialogIsOpen() {
        struct Watching : FakeDesktop {
            bool busy = false;
            std::optional<QString> saveFileName(const QString& f, const QString& l,
                                                const QString& n) override {
                busy = BusyPointerShown();
                return FakeDesktop::saveFileName(f, l, n);
            }
        } desktop;
        SheetComponent sheet;
        fillSheet(sheet);
        ExportSheet(sheet, "Antivirus Updation List");
        QVERIFY(desktop.busy);
        QVERIFY(!BusyPointerShown());
    }

    void defaultNameUsesTheCurrentUnit() {
        QCOMPARE(ExportFileName("Antivirus Updation List", "U2"),
                 QString("Antivirus Updation List - U2"));
        QCOMPARE(ExportFileName("Antivirus Updation List", ""),
                 QString("Antivirus Updation List - "));
    }
};

QTEST_MAIN(tst_exportsheet)
#include "tst_exportsheet.moc"
