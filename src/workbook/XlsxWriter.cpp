#include "workbook/XlsxWriter.h"

#include "sheet/SheetModel.h"
#include "workbook/ZipPatch.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>
#include <xlsxwriter.h>

namespace orvane {

namespace {

QString number(qint64 n) {
    return QLocale(QLocale::English).toString(n);
}

// 0x00BBGGRR to the library's 0xRRGGBB, where 0 would mean "no colour".
lxw_color_t rgb(quint32 c) {
    const lxw_color_t v = (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
    return v ? v : lxw_color_t(LXW_COLOR_BLACK);
}

lxw_format* makeFormat(lxw_workbook* book, const CellStyle& s) {
    lxw_format* f = workbook_add_format(book);
    format_set_font_name(f, s.fontName.toUtf8().constData());
    format_set_font_size(f, std::clamp(s.fontSize, 1, 409));
    if (s.bold)
        format_set_bold(f);
    if (s.italic)
        format_set_italic(f);
    if (s.underline)
        format_set_underline(f, LXW_UNDERLINE_SINGLE);
    if (s.strikeout)
        format_set_font_strikeout(f);
    if (s.outline)
        format_set_font_outline(f);
    if (s.shadow)
        format_set_font_shadow(f);
    if (!isAutoColour(s.fontColour))
        format_set_font_color(f, rgb(s.fontColour));
    // The sheet numbers line styles and fill patterns as both workbook formats do.
    const struct {
        quint8 style;
        quint32 colour;
        void (*setStyle)(lxw_format*, uint8_t);
        void (*setColour)(lxw_format*, lxw_color_t);
    } edges[] = {
        {s.borderLeft, s.borderLeftColour, format_set_left, format_set_left_color},
        {s.borderRight, s.borderRightColour, format_set_right, format_set_right_color},
        {s.borderTop, s.borderTopColour, format_set_top, format_set_top_color},
        {s.borderBottom, s.borderBottomColour, format_set_bottom, format_set_bottom_color}};
    for (const auto& e : edges) {
        if (!e.style)
            continue;
        e.setStyle(f, e.style);
        if (!isAutoColour(e.colour))
            e.setColour(f, rgb(e.colour));
    }
    if (s.pattern) {
        format_set_pattern(f, s.pattern);
        if (!isAutoColour(s.patternFg))
            format_set_fg_color(f, rgb(s.patternFg));
        if (!isAutoColour(s.patternBg))
            format_set_bg_color(f, rgb(s.patternBg));
    }
    return f;
}

int lastRowOf(const SheetModel& sheet) {
    const auto& heights = sheet.customRowHeights();
    return std::max(sheet.usedRows(), heights.empty() ? 0 : heights.rbegin()->first);
}

} // namespace

XlsxWriter::XlsxWriter(const SheetModel& sheet, SheetOptions options)
    : sheet_(sheet), options_(std::move(options)) {}

QString XlsxWriter::check() const {
    const int rows = lastRowOf(sheet_);
    if (rows > MaxRows)
        return QStringLiteral("The sheet has %1 rows, but an .xlsx workbook holds at most %2 rows. "
                              "Nothing was written.")
            .arg(number(rows), number(MaxRows));
    if (sheet_.columns() > MaxColumns)
        return QStringLiteral("The sheet has %1 columns, but an .xlsx workbook holds at most %2 "
                              "columns. Nothing was written.")
            .arg(number(sheet_.columns()), number(MaxColumns));
    for (int r = 1; r <= sheet_.usedRows(); ++r)
        for (int c = 1; c <= sheet_.columns(); ++c)
            if (const qsizetype n = sheet_.text(r, c).size(); n > MaxTextLength)
                return QStringLiteral("Cell %1,%2 holds %3 characters, but an .xlsx cell holds at "
                                      "most %4. Nothing was written.")
                    .arg(r)
                    .arg(c)
                    .arg(number(n), number(MaxTextLength));
    return {};
}

QString XlsxWriter::writeBook(const QString& file) const {
    lxw_workbook_options settings{};
    settings.constant_memory = LXW_TRUE; // each row is flushed once the next one starts
    // The rows wait in a temporary file: on the disk the workbook goes to, not in a /tmp that
    // may live in memory.
    QByteArray folder = QFile::encodeName(QFileInfo(file).absolutePath());
    settings.tmpdir = folder.data();
    lxw_workbook* book = workbook_new_opt(QFile::encodeName(file).constData(), &settings);
    if (!book)
        return QStringLiteral("the workbook could not be started");
    lxw_error error = LXW_NO_ERROR;
    lxw_worksheet* ws =
        workbook_add_worksheet(book, options_.sheetName.left(31).toUtf8().constData());
    if (!ws) {
        workbook_close(book);
        return QStringLiteral("the sheet name \"%1\" is not allowed").arg(options_.sheetName);
    }
    if (!options_.showGridLines)
        worksheet_gridlines(ws, LXW_HIDE_ALL_GRIDLINES);
    worksheet_set_default_row(ws, SheetModel::DefaultRowHeight / 20.0, LXW_FALSE);

    const int cols = sheet_.columns();
    for (int c = 1; c <= cols && !error;) { // one column record per run of equal widths
        const int w = sheet_.columnWidth(c);
        int last = c;
        while (last < cols && sheet_.columnWidth(last + 1) == w)
            ++last;
        lxw_row_col_options hidden{};
        hidden.hidden = LXW_TRUE; // width 0: hidden, its cells are kept
        // Widths count 1/256 of the 7-pixel digit of the default font.
        const auto pixels = uint32_t(std::lround(w * 7 / 256.0));
        error = worksheet_set_column_pixels_opt(ws, lxw_col_t(c - 1), lxw_col_t(last - 1), pixels,
                                                nullptr, w == 0 ? &hidden : nullptr);
        c = last + 1;
    }

    std::vector<lxw_format*> formats(size_t(sheet_.styleCount()), nullptr);
    const auto& heights = sheet_.customRowHeights();
    auto height = heights.begin();
    const int rows = sheet_.usedRows(), lastRow = lastRowOf(sheet_);
    for (int r = 1; r <= lastRow && !error; ++r) {
        if (height != heights.end() && height->first == r) { // before the row's cells
            const int twips = std::clamp(height->second, 0, 409 * 20);
            lxw_row_col_options hidden{};
            hidden.hidden = LXW_TRUE;
            error = twips ? worksheet_set_row(ws, lxw_row_t(r - 1), twips / 20.0, nullptr)
                          : worksheet_set_row_opt(ws, lxw_row_t(r - 1),
                                                  SheetModel::DefaultRowHeight / 20.0, nullptr,
                                                  &hidden);
            ++height;
        }
        for (int c = 1; c <= cols && r <= rows && !error; ++c) {
            const QString text = sheet_.text(r, c);
            const int si = sheet_.styleIndex(r, c);
            if (text.isEmpty() && si == 0)
                continue;
            lxw_format*& f = formats[size_t(si)];
            if (!f)
                f = makeFormat(book, sheet_.style(si));
            error = text.isEmpty()
                        ? worksheet_write_blank(ws, lxw_row_t(r - 1), lxw_col_t(c - 1), f)
                        : worksheet_write_string(ws, lxw_row_t(r - 1), lxw_col_t(c - 1),
                                                 text.toUtf8().constData(), f);
        }
    }
    // The library does not check its writes to the rows' temporary file: a full disk would
    // leave a cut sheet in a workbook it calls complete.
    const bool rowsLost = ws->optimize_tmpfile && (std::fflush(ws->optimize_tmpfile) != 0 ||
                                                   std::ferror(ws->optimize_tmpfile));
    const lxw_error closed = workbook_close(book); // frees the workbook in any case
    if (error == LXW_NO_ERROR)
        error = closed;
    if (error != LXW_NO_ERROR)
        return QString::fromUtf8(lxw_strerror(error));
    return rowsLost ? QStringLiteral("the sheet's rows could not be stored on the disk")
                    : QString();
}

void XlsxWriter::write(const QString& path) const {
    if (const QString refused = check(); !refused.isEmpty())
        throw WorkbookWriteError(refused.toStdString());
    ReplaceFile(path, [&](QFileDevice& out) -> QString {
        // The library writes to a file it opens by name: a private one beside the target,
        // created for its owner only, which the save file then takes in.
        QTemporaryFile book(QFileInfo(path).absolutePath() +
                            QStringLiteral("/.orvane-xlsx-XXXXXX"));
        if (!book.open())
            return book.errorString();
        if (const QString why = writeBook(book.fileName()); !why.isEmpty())
            return why;
        QFile written(book.fileName());
        if (!written.open(QIODevice::ReadOnly))
            return written.errorString();
        if (!options_.showHeadings) // the library has no call for hiding the headings
            return ZipInsertAfter(written, out, "xl/worksheets/sheet1.xml", "<sheetView ",
                                  "showRowColHeaders=\"0\" ");
        QByteArray chunk(1 << 20, Qt::Uninitialized);
        for (qint64 n; (n = written.read(chunk.data(), chunk.size())) != 0;)
            if (n < 0 || out.write(chunk.constData(), n) != n)
                return n < 0 ? written.errorString() : out.errorString();
        return {};
    });
}

} // namespace orvane
