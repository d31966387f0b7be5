// The .xlsx writer, checked by reading its files back with openpyxl (Python), and the edit of
// its sheet, checked with libzip.
#include "XlsReadBack.h"
#include "sheet/SheetComponent.h"
#include "support/ReportSheet.h"
#include "workbook/XlsxWriter.h"
#include "workbook/ZipPatch.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>
#include <zip.h>

using namespace orvane;

namespace {

QJsonObject cellAt(const QJsonObject& book, int row, int col) {
    return book["cells"].toArray()[row].toArray()[col].toObject();
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One entry of the archive `zipped` as libzip reads it (CRC checked), or "unreadable".
QByteArray entryOf(const QByteArray& zipped, const char* name) {
    zip_source_t* src = zip_source_buffer_create(zipped.constData(), zipped.size(), 0, nullptr);
    zip_t* za = zip_open_from_source(src, ZIP_RDONLY, nullptr);
    zip_stat_t st;
    zip_file_t* f = za && zip_stat(za, name, 0, &st) == 0 ? zip_fopen(za, name, 0) : nullptr;
    QByteArray data(f ? qsizetype(st.size) : 0, '\0');
    if (!f || zip_fread(f, data.data(), st.size) != zip_int64_t(st.size) || zip_fclose(f) != 0)
        data = "unreadable";
    za ? zip_discard(za) : zip_source_free(src);
    return data;
}

} // namespace

class TestXlsxWriter : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString script;
    QJsonObject report; // the report's sheet (two units of three), written and read back once

    QString file(const QString& name) const { return dir.filePath(name); }

  private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        script = QFINDTESTDATA("xlsx_dump.py");
        QVERIFY(!script.isEmpty());
        SheetComponent s;
        reportsheet::layout(s);
        reportsheet::fill(s, 2, 3, reportsheet::Remarks::Unicode);
        const QString path = file(QStringLiteral("report.xlsx"));
        WriteSheetFile(s, path, SheetComponent::XlsxFileType);
        report = readback::openpyxl(script, {path});
        QVERIFY2(!report.contains("error"), qPrintable(report["error"].toString()));
        QCOMPARE(report["warnings"].toString(), QString());
        QCOMPARE(report["nrows"].toInt(), 13);
        QCOMPARE(report["ncols"].toInt(), 8);
        QCOMPARE(report["title"].toString(), QString("Sheet1"));
    }

    void texts_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("text");
        QTest::newRow("title") << 0 << 0 << "TAROVEL";
        QTest::newRow("unit name") << 1 << 0 << "Head Office";
        QTest::newRow("heading with its trailing blank") << 3 << 2 << "Operating System ";
        QTest::newRow("unit heading") << 9 << 1 << "Unit 2 Branch";
        QTest::newRow("address") << 10 << 1 << "198.1.0.1";
        QTest::newRow("hidden key") << 12 << 6 << "SYS_U1_000006";
        QTest::newRow("Latin-1 remark") << 5 << 7 << "Café Zürich Nº 1";
        QTest::newRow("wide remark") << 6 << 7 << "Ünïcode ΔΣ 日本語 2 – ok ✓";
    }
    void texts() {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, text);
        QCOMPARE(cellAt(report, row, col)["text"].toString(), text);
    }

    void emptyCellsStayEmpty() {
        QVERIFY(cellAt(report, 2, 0)["text"].isNull()); // the blank row of the title block
        QVERIFY(cellAt(report, 3, 6)["text"].isNull()); // the key column's heading
        QVERIFY(cellAt(report, 8, 1)["text"].isNull()); // the row between two units
    }

    void formats_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("font");
        QTest::addColumn<double>("size");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QJsonArray>("colour");
        QTest::addColumn<QString>("border"); // style on all four edges, "" for none
        QTest::addColumn<QString>("fill");
        const QJsonArray black{0, 0, 0};
        QTest::newRow("title") << 0 << 0 << "Book Antiqua" << 14.0 << true << QJsonArray{0, 0, 128}
                               << ""
                               << "";
        QTest::newRow("unit name, default font")
            << 1 << 0 << "Arial" << 10.0 << false << black << ""
            << "";
        QTest::newRow("heading") << 3 << 1 << "ARIAL" << 8.0 << true << black << "thin"
                                 << "solid";
        QTest::newRow("heading over hidden column")
            << 3 << 6 << "ARIAL" << 8.0 << true << black << "thin"
            << "solid";
        QTest::newRow("unit heading")
            << 4 << 1 << "Times New Roman" << 10.0 << true << QJsonArray{192, 0, 0} << ""
            << "";
        QTest::newRow("workstation row") << 5 << 7 << "ARIAL" << 8.0 << false << black << ""
                                         << "";
    }
    void formats() {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, font);
        QFETCH(double, size);
        QFETCH(bool, bold);
        QFETCH(QJsonArray, colour);
        QFETCH(QString, border);
        QFETCH(QString, fill);
        const QJsonObject cell = cellAt(report, row, col);
        QCOMPARE(cell["font"].toString(), font);
        QCOMPARE(cell["size"].toDouble(), size);
        QCOMPARE(cell["bold"].toBool(), bold);
        QCOMPARE(cell["italic"].toBool(), false);
        QCOMPARE(cell["colour"].toArray(), colour);
        const QJsonValue edge = border.isEmpty() ? QJsonValue() : QJsonValue(border);
        QCOMPARE(cell["borders"].toArray(), QJsonArray({edge, edge, edge, edge}));
        QCOMPARE(cell["fill"].toString(), fill);
        if (!fill.isEmpty()) {
            QCOMPARE(cell["fillColour"].toArray(), QJsonArray({192, 192, 192}));
            QCOMPARE(cell["fillBackground"].toArray(), QJsonArray({192, 192, 192}));
        }
    }

    // Widths to the pixel: 1,500 of 1/256 character is 41 pixels, stored as 5.855 characters.
    void columns_data() {
        QTest::addColumn<int>("col");
        QTest::addColumn<double>("width");
        QTest::addColumn<bool>("hidden");
        const double widths[8] = {5.85546875,  27.28515625, 22.7109375, 19.5703125,
                                  21.42578125, 9.7109375,   0.0,        48.85546875};
        for (int c = 0; c < 8; ++c)
            QTest::addRow("column %d", c + 1) << c << widths[c] << (c == 6);
    }
    void columns() {
        QFETCH(int, col);
        QFETCH(double, width);
        QFETCH(bool, hidden);
        const QJsonObject info = report["columns"].toObject()[QString::number(col)].toObject();
        QCOMPARE(info["width"].toDouble(), width);
        QCOMPARE(info["hidden"].toBool(), hidden);
    }

    void hiddenKeyColumnKeepsItsValues() {
        const QStringList keys{"SYS_U0_000001", "SYS_U0_000002", "SYS_U0_000003"};
        for (int i = 0; i < 3; ++i)
            QCOMPARE(cellAt(report, 5 + i, 6)["text"].toString(), keys[i]);
    }

    void rowHeights() {
        const QJsonObject rows = report["rows"].toObject();
        QCOMPARE(rows["0"].toObject()["height"].toDouble(), 25.0); // 500 twips
        QCOMPARE(rows.size(), 1);
        QCOMPARE(report["defaultRowHeight"].toDouble(), 12.75);
    }

    void displaySwitches_data() {
        readback::switchRows();
        QTest::newRow("headings only") << false << true;
    }
    void displaySwitches() {
        QFETCH(bool, grid);
        QFETCH(bool, headings);
        const QJsonObject x = readback::switchedSheet(
            grid, headings, file(QStringLiteral("switches.xlsx")), SheetComponent::XlsxFileType,
            [this](const QString& path) { return readback::openpyxl(script, {path}); });
        QVERIFY2(!x.contains("error"), qPrintable(x["error"].toString()));
        QCOMPARE(x["gridLines"].toBool(), grid);
        QCOMPARE(x["headings"].toBool(), headings);
        QCOMPARE(cellAt(x, 0, 0)["text"].toString(), QString("x"));
    }

    // "<sheetView " and 65,533 NUL bytes fill zlib's 64 KiB buffer with the last byte; the sizes
    // around it found more ways for a deflate loop to stop early. Numbered rows make a sheet of
    // many deflate blocks, whose later blocks are copied, not compressed again.
    void insertAfterTheMarker_data() {
        QTest::addColumn<bool>("rows"); // numbered rows from n, or n NUL bytes
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to"); // included
        QTest::newRow("65,533 NULs") << false << 65533 << 65533;
        QTest::newRow("65,400 to 65,700 NULs") << false << 65400 << 65700;
        QTest::newRow("20,000 rows, 16 ways") << true << 0 << 15;
    }
    void insertAfterTheMarker() {
        QFETCH(bool, rows);
        QFETCH(int, from);
        QFETCH(int, to);
        QTemporaryDir here;
        const QString path = here.filePath(QStringLiteral("in.zip"));
        const char* sheetXml = "xl/worksheets/sheet1.xml";
        for (int n = from; n <= to; ++n) {
            QByteArray tail(rows ? 0 : n, '\0');
            for (int r = 0; rows && r < 20000; ++r)
                tail += QStringLiteral("<row r=\"%1\"><c><v>%2</v></c></row>")
                            .arg(n + r)
                            .arg((n + r) * 7919 % 10007)
                            .toLatin1();
            const QByteArray sheet = "<sheetView " + tail;
            zip_t* za =
                zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
            QVERIFY(za);
            zip_file_add(za, "[Content_Types].xml", zip_source_buffer(za, "types", 5, 0), 0);
            zip_file_add(za, sheetXml, zip_source_buffer(za, sheet.constData(), sheet.size(), 0),
                         0);
            QCOMPARE(zip_close(za), 0);
            QFile in(path);
            QVERIFY(in.open(QIODevice::ReadOnly));
            QBuffer out;
            QVERIFY(out.open(QIODevice::ReadWrite));
            const QString why = ZipInsertAfter(in, out, sheetXml, "<sheetView ", "x=\"0\" ");
            QVERIFY2(why.isEmpty(), qPrintable(QStringLiteral("%1: %2").arg(n).arg(why)));
            QVERIFY2(entryOf(out.data(), sheetXml) == "<sheetView x=\"0\" " + tail,
                     qPrintable(QString::number(n)));
            QCOMPARE(entryOf(out.data(), "[Content_Types].xml"), QByteArray("types"));
        }
    }

    void moreRowsThanAnXlsHolds() {
        SheetModel m;
        m.setColumns(2);
        for (int r = 1; r <= 70000; ++r) {
            m.setText(r, 1, QString::number(r));
            m.setText(r, 2, QStringLiteral("row %1").arg(r));
        }
        const QString path = file(QStringLiteral("big.xlsx"));
        XlsxWriter(m).write(path);
        const QJsonObject x = readback::openpyxl(script, {"--texts", path});
        QVERIFY2(!x.contains("error"), qPrintable(x["error"].toString()));
        const QJsonArray texts = x["texts"].toArray();
        QCOMPARE(texts.size(), 70000);
        QCOMPARE(texts[65536].toArray(), QJsonArray({"65537", "row 65537"}));
        QCOMPARE(texts[69999].toArray(), QJsonArray({"70000", "row 70000"}));
    }

    void textOverCellLimitIsRefused() {
        SheetModel m;
        m.setColumns(1);
        m.setText(1, 1, QString(XlsxWriter::MaxTextLength + 1, QLatin1Char('x')));
        const QString path = file(QStringLiteral("toolong.xlsx"));
        QVERIFY_THROWS_EXCEPTION(WorkbookWriteError, XlsxWriter(m).write(path));
        QVERIFY(!QFile::exists(path));
    }

    // The disk "fills up" after 256 KB, with the headings shown and hidden (the second way
    // copies the library's file once more).
    void failedWriteKeepsOldFile_data() {
        QTest::addColumn<bool>("headings");
        QTest::newRow("headings shown") << true;
        QTest::newRow("headings hidden") << false;
    }
    void failedWriteKeepsOldFile() {
        QFETCH(bool, headings);
        QTemporaryDir here;
        const QString path = here.filePath(QStringLiteral("keep.xlsx"));
        SheetModel small;
        small.setColumns(1);
        small.setText(1, 1, "old");
        XlsxWriter(small).write(path);
        const QByteArray before = contents(path);
        QVERIFY(!before.isEmpty());

        SheetModel big;
        big.setColumns(8);
        for (int r = 1; r <= 20000; ++r)
            for (int c = 1; c <= 8; ++c)
                big.setText(r, c, QStringLiteral("r%1c%2").arg(r).arg(c));
        SheetOptions options;
        options.showHeadings = headings;
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit tight = saved;
        tight.rlim_cur = 256 * 1024;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
        QString message;
        try {
            XlsxWriter(big, options).write(path);
        } catch (const WorkbookWriteError& e) {
            message = QString::fromStdString(e.what());
        }
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY2(message.startsWith("Cannot write \"" + path + "\": "), qPrintable(message));
        QCOMPARE(contents(path), before);
        QCOMPARE(QDir(here.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.xlsx"});
    }
};

QTEST_MAIN(TestXlsxWriter)
#include "tst_xlsxwriter.moc"
#include "workbook/SheetFile.h"
