// The .xls writer, checked by reading its files back with freexl (C) and xlrd (Python).
#include "XlsReadBack.h"
#include "sheet/SheetComponent.h"
#include "support/ReportSheet.h"
#include "workbook/XlsWriter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <freexl.h>
#include <sys/resource.h>

using namespace orvane;
using reportsheet::Remarks;
Q_DECLARE_METATYPE(reportsheet::Remarks)

namespace {

// Every cell of `sheet` as freexl reads it from `path`; returns a failure description or "".
QString compareWithFreexl(const QString& path, const SheetModel& sheet) {
    const void* h = nullptr;
    if (freexl_open(QFile::encodeName(path).constData(), &h) != FREEXL_OK)
        return QStringLiteral("freexl cannot open the file");
    auto fail = [&](const QString& why) {
        freexl_close(h);
        return why;
    };
    unsigned int info = 0;
    if (freexl_get_info(h, FREEXL_BIFF_VERSION, &info) != FREEXL_OK || info != FREEXL_BIFF_VER_8)
        return fail(QStringLiteral("not BIFF8"));
    if (freexl_get_info(h, FREEXL_BIFF_SHEET_COUNT, &info) != FREEXL_OK || info != 1)
        return fail(QStringLiteral("sheet count %1").arg(info));
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (freexl_select_active_worksheet(h, 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(h, &rows, &cols) != FREEXL_OK)
        return fail(QStringLiteral("no worksheet"));
    if (int(rows) != sheet.usedRows() || (rows && int(cols) != sheet.columns()))
        return fail(QStringLiteral("dimensions %1 x %2").arg(rows).arg(cols));
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < cols; ++c) {
            FreeXL_CellValue v;
            if (freexl_get_cell_value(h, r, c, &v) != FREEXL_OK)
                return fail(QStringLiteral("cell %1,%2 unreadable").arg(r).arg(c));
            QString got;
            if (v.type == FREEXL_CELL_SST_TEXT || v.type == FREEXL_CELL_TEXT)
                got = QString::fromUtf8(v.value.text_value);
            else if (v.type != FREEXL_CELL_NULL)
                return fail(QStringLiteral("cell %1,%2 has type %3").arg(r).arg(c).arg(v.type));
            if (got != sheet.text(int(r) + 1, c + 1))
                return fail(QStringLiteral("cell %1,%2: '%3'").arg(r).arg(c).arg(got));
        }
    }
    freexl_close(h);
    return {};
}

QString md5(const QByteArray& b) {
    return QString::fromLatin1(QCryptographicHash::hash(b, QCryptographicHash::Md5).toHex());
}

// A bare sheet of `rows` x 8 cells, filled through the model for speed.
void fillPlain(SheetModel& m, int rows) {
    m.setColumns(8);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= 8; ++c)
            m.setText(r, c, QStringLiteral("r%1c%2").arg(r).arg(c));
}

} // namespace

class TestXlsWriter : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString script;

    QString file(const QString& name) const { return dir.filePath(name); }

  private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        script = QFINDTESTDATA("xls_dump.py");
        QVERIFY(!script.isEmpty());
    }

    void everyCellReadsBack_data() {
        QTest::addColumn<int>("units");
        QTest::addColumn<int>("perUnit");
        QTest::addColumn<Remarks>("remarks");
        QTest::newRow("empty report: header rows only") << 0 << 0 << Remarks::Plain;
        QTest::newRow("two units") << 2 << 5 << Remarks::Plain;
        QTest::newRow("unicode texts") << 3 << 4 << Remarks::Unicode;
        QTest::newRow("shared strings over many records") << 4 << 600 << Remarks::Plain;
        QTest::newRow("texts longer than a record") << 2 << 9 << Remarks::Long;
    }
    void everyCellReadsBack() {
        QFETCH(int, units);
        QFETCH(int, perUnit);
        QFETCH(Remarks, remarks);
        SheetComponent s;
        reportsheet::layout(s);
        reportsheet::fill(s, units, perUnit, remarks);
        const QString path = file(QStringLiteral("cells.xls"));
        WriteSheetFile(s, path, SheetComponent::XlsFileType);

        const QString freexl = compareWithFreexl(path, *s.sheetModel());
        QVERIFY2(freexl.isEmpty(), qPrintable(freexl));

        const QJsonObject x = readback::xlrd(script, {QStringLiteral("--texts"), path});
        QVERIFY2(!x.contains("error"), qPrintable(x["error"].toString()));
        QCOMPARE(x["warnings"].toString(), QString());
        QCOMPARE(x["nrows"].toInt(), s.maxRow());
        const QJsonArray texts = x["texts"].toArray();
        for (int r = 0; r < texts.size(); ++r)
            for (int c = 0; c < 8; ++c)
                QCOMPARE(texts[r].toArray()[c].toString(), s.text(r + 1, c + 1));
    }

    // Texts that run over two or more record boundaries; freexl reads at most one, so only
    // xlrd checks these.
    void veryLongTexts_data() {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("length");
        QTest::newRow("one-byte characters, 20,000") << "xyz" << 20000;
        QTest::newRow("two-byte characters, 20,000") << "ab€" << 20000;
        QTest::newRow("two-byte characters, the maximum") << "€" << XlsWriter::MaxTextLength;
    }
    void veryLongTexts() {
        QFETCH(QString, unit);
        QFETCH(int, length);
        SheetModel m;
        m.setColumns(2);
        for (int r = 1; r <= 3; ++r) {
            m.setText(r, 1, QString::number(r));
            m.setText(r, 2, (QString::number(r) + unit.repeated(length)).left(length));
        }
        const QString path = file(QStringLiteral("long.xls"));
        XlsWriter(m).write(path);
        const QJsonObject x = readback::xlrd(script, {QStringLiteral("--texts"), path});
        QVERIFY2(!x.contains("error"), qPrintable(x["error"].toString()));
        QCOMPARE(x["warnings"].toString(), QString());
        const QJsonArray texts = x["texts"].toArray();
        QCOMPARE(texts.size(), 3);
        for (int r = 0; r < 3; ++r) {
            QCOMPARE(texts[r].toArray()[0].toString(), m.text(r + 1, 1));
            QCOMPARE(texts[r].toArray()[1].toString(), m.text(r + 1, 2));
        }
    }

    void textOverCellLimitIsRefused() {
        SheetModel m;
        m.setColumns(1);
        m.setText(1, 1, QString(XlsWriter::MaxTextLength + 1, QLatin1Char('x')));
        const QString path = file(QStringLiteral("toolong.xls"));
        QVERIFY_THROWS_EXCEPTION(XlsWriteError, XlsWriter(m).write(path));
        QVERIFY(!QFile::exists(path));
    }

    void formatsReadBack_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("font");
        QTest::addColumn<int>("height"); // twips
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QList<int>>("colour");
        QTest::addColumn<int>("border"); // style on all four edges
        QTest::addColumn<int>("fill");
        const QList<int> black{0, 0, 0};
        QTest::newRow("title") << 0 << 0 << "Book Antiqua" << 280 << true << QList<int>{0, 0, 128}
                               << 0 << 0;
        QTest::newRow("unit name, default font")
            << 1 << 0 << "Arial" << 200 << false << black << 0 << 0;
        QTest::newRow("heading") << 3 << 1 << "ARIAL" << 160 << true << black << 1 << 1;
        QTest::newRow("heading over hidden column")
            << 3 << 6 << "ARIAL" << 160 << true << black << 1 << 1;
        QTest::newRow("unit heading")
            << 4 << 1 << "Times New Roman" << 200 << true << QList<int>{192, 0, 0} << 0 << 0;
        QTest::newRow("workstation row") << 5 << 7 << "ARIAL" << 160 << false << black << 0 << 0;
    }
    void formatsReadBack() {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, font);
        QFETCH(int, height);
        QFETCH(bool, bold);
        QFETCH(QList<int>, colour);
        QFETCH(int, border);
        QFETCH(int, fill);
        SheetComponent s;
        reportsheet::layout(s);
        reportsheet::fill(s, 2, 3);
        const QString path = file(QStringLiteral("formats.xls"));
        WriteSheetFile(s, path, SheetComponent::XlsFileType);
        const QJsonObject x = readback::xlrd(script, {path});
        QVERIFY2(!x.contains("error"), qPrintable(x["error"].toString()));
        QCOMPARE(x["warnings"].toString(), QString());

        const QJsonObject cell = x["cells"].toArray()[row].toArray()[col].toObject();
        QCOMPARE(cell["font"].toString(), font);
        QCOMPARE(cell["height"].toInt(), height);
        QCOMPARE(cell["bold"].toBool(), bold);
        QList<int> rgb;
        for (const QJsonValue v : cell["colour"].toArray())
            rgb << v.toInt();
        QCOMPARE(rgb, colour);
        QCOMPARE(cell["borders"].toArray(), QJsonArray({border, border, border, border}));
        QCOMPARE(cell["fill"].toInt(), fill);
        if (fill)
            QCOMPARE(cell["fillColour"].toArray(), QJsonArray({192, 192, 192}));
        QCOMPARE(cell["text"].toString(), s.text(row + 1, col + 1));
    }

    void widthsHiddenKeyAndTitleHeight() {
        SheetComponent s;
        reportsheet::layout(s);
        const int last = reportsheet::fill(s, 2, 4);
        const QString path = file(QStringLiteral("layout.xls"));
        WriteSheetFile(s, path, SheetComponent::XlsFileType);
        const QJsonObject x = readback::xlrd(script, {path});
        QVERIFY2(!x.contains("error"), qPrintable(x["error"].toString()));

        const QJsonObject cols = x["columns"].toObject();
        for (int c = 0; c < 8; ++c) {
            const QJsonObject ci = cols[QString::number(c)].toObject();
            QCOMPARE(ci["width"].toInt(), reportsheet::Widths[c]);
            QCOMPARE(ci["hidden"].toInt(), c == 6 ? 1 : 0);
        }
        const QJsonArray cells = x["cells"].toArray();
        QCOMPARE(cells.size(), last);
        for (int r = 5; r < last; ++r) // the hidden key column keeps every value
            QCOMPARE(cells[r].toArray()[6].toObject()["text"].toString(), s.text(r + 1, 7));
        QVERIFY(s.text(6, 7).startsWith("SYS_"));

        const QJsonObject rows = x["rows"].toObject();
        QCOMPARE(rows["0"].toObject()["height"].toInt(), 500);
        QVERIFY(!rows.contains("1"));
    }

    void displaySwitches_data() { readback::switchRows(); }
    void displaySwitches() {
        QFETCH(bool, grid);
        QFETCH(bool, headings);
        const QJsonObject x = readback::switchedSheet(
            grid, headings, file(QStringLiteral("switches.xls")), SheetComponent::XlsFileType,
            [this](const QString& path) { return readback::xlrd(script, {path}); });
        QVERIFY2(!x.contains("error"), qPrintable(x["error"].toString()));
        QCOMPARE(x["gridLines"].toBool(), grid);
        QCOMPARE(x["headings"].toBool(), headings);
    }

    void rowLimit_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("fits");
        QTest::newRow("65,536 rows") << 65536 << true;
        QTest::newRow("65,537 rows") << 65537 << false;
    }
    void rowLimit() {
        QFETCH(int, rows);
        QFETCH(bool, fits);
        SheetModel m;
        fillPlain(m, rows);
        const QString path = file(QStringLiteral("limit.xls"));
        const QString old = file(QStringLiteral("limit-old.xls"));
        QFile::remove(path);
        QFile::remove(old);
        QVERIFY(QFile(old).open(QIODevice::WriteOnly)); // an export made earlier
        XlsWriter writer(m);
        if (!fits) {
            QVERIFY_THROWS_EXCEPTION(XlsWriteError, writer.write(path));
            try {
                writer.write(old);
            } catch (const XlsWriteError& e) {
                QVERIFY(QString::fromStdString(e.what()).contains("65,537 rows"));
                QVERIFY(QString::fromStdString(e.what()).contains("65,536"));
            }
            QVERIFY(!QFile::exists(path));
            QCOMPARE(QFileInfo(old).size(), 0); // untouched
            QCOMPARE(QDir(dir.path()).entryList({"limit*"}, QDir::Files).size(), 1);
            return;
        }
        writer.write(path);
        const QString freexl = compareWithFreexl(path, m);
        QVERIFY2(freexl.isEmpty(), qPrintable(freexl));
        // The container needs DIFAT sectors at this size; xlrd's reader must agree on it too.
        const QJsonObject x = readback::xlrd(script, {QStringLiteral("--stream"), path});
        QVERIFY2(!x.contains("error"), qPrintable(x["error"].toString()));
        QCOMPARE(x["warnings"].toString(), QString());
        QCOMPARE(x["md5"].toString(), md5(writer.workbookStream()));
    }

    void failedWriteKeepsOldFile() {
        SheetComponent small;
        small.setText(1, 1, "old");
        const QString path = file(QStringLiteral("keep.xls"));
        WriteSheetFile(small, path, SheetComponent::XlsFileType);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();

        SheetModel big;
        fillPlain(big, 20000); // several megabytes
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit tight = saved;
        tight.rlim_cur = 256 * 1024; // the disk "fills up" after 256 KB
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
        bool threw = false;
        try {
            XlsWriter(big).write(path);
        } catch (const XlsWriteError& e) {
            threw = QString::fromStdString(e.what()).contains("keep.xls");
        }
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(threw);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        QCOMPARE(QDir(dir.path()).entryList({"keep*"}, QDir::Files), QStringList{"keep.xls"});
    }

    void unsupportedFileTypeWritesNothing() {
        SheetComponent s;
        s.setText(1, 1, "x");
        const QString path = file(QStringLiteral("type3.xls"));
        QVERIFY_THROWS_EXCEPTION(XlsWriteError, WriteSheetFile(s, path, 3));
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_MAIN(TestXlsWriter)
#include "tst_xlswriter.moc"
#include "workbook/SheetFile.h"
