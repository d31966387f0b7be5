#include "workbook/XlsWriter.h"

#include "sheet/SheetModel.h"
#include "workbook/CompoundFile.h"
#include "workbook/XlsRecords.h"

#include <QFile>
#include <QLocale>
#include <algorithm>

namespace orvane {

namespace {

using xls::Palette;
using xls::RecordBuffer;

// Record numbers, BIFF8.
enum : quint16 {
    Bof = 0x0809,
    Eof = 0x000A,
    CodePage = 0x0042,
    Window1 = 0x003D,
    DateMode = 0x0022,
    Font = 0x0031,
    Xf = 0x00E0,
    Style = 0x0293,
    PaletteRec = 0x0092,
    BoundSheet = 0x0085,
    DefaultRowHeight = 0x0225,
    DefColWidth = 0x0055,
    ColInfo = 0x007D,
    Dimensions = 0x0200,
    Row = 0x0208,
    LabelSst = 0x00FD,
    Blank = 0x0201,
    Window2 = 0x023E,
};

constexpr int BuiltInXfs = 16;  // 15 style XFs and the default cell XF must come first
constexpr int FirstOwnFont = 5; // fonts 0-3 are the defaults; index 4 does not exist in BIFF
constexpr quint32 NoString = 0xFFFFFFFFu;

QString number(qint64 n) {
    return QLocale(QLocale::English).toString(n);
}

void bof(RecordBuffer& b, quint16 type) {
    b.header(Bof, 16);
    b.u16(0x0600); // BIFF8
    b.u16(type);
    b.u16(0x0DBB); // build and year of the Excel 97 file format
    b.u16(0x07CC);
    b.u32(0x00000009); // saved on, and ever edited on, Windows
    b.u32(0x00000006); // lowest version that can read the file: BIFF8
}

void font(RecordBuffer& b, const CellStyle& s, quint16 colour) {
    const qsizetype at = b.begin(Font);
    b.u16(quint16(std::clamp(s.fontSize, 1, 409) * 20));
    b.u16(quint16((s.bold ? 0x01 : 0) | (s.italic ? 0x02 : 0) | (s.strikeout ? 0x08 : 0) |
                  (s.outline ? 0x10 : 0) | (s.shadow ? 0x20 : 0)));
    b.u16(colour);
    b.u16(s.bold ? 700 : 400);
    b.u16(0);                  // no super/subscript
    b.u8(s.underline ? 1 : 0); // single underline
    b.u8(0);                   // family: don't care
    b.u8(0);                   // ANSI character set
    b.u8(0);
    b.shortString(s.fontName);
    b.end(at);
}

void xf(RecordBuffer& b, quint16 fontIndex, bool styleXf, quint8 usedAttributes, quint32 border1,
        quint32 border2, quint16 fill) {
    b.header(Xf, 20);
    b.u16(fontIndex);
    b.u16(0);                         // number format "General"
    b.u16(styleXf ? 0xFFF5 : 0x0001); // locked; style XFs have no parent
    b.u8(0x20);                       // general horizontally, bottom vertically
    b.u8(0);                          // no rotation
    b.u8(0);                          // no indent
    b.u8(usedAttributes);
    b.u32(border1);
    b.u32(border2);
    b.u16(fill);
}

// Everything the workbook globals describe about the sheet's styles.
struct Formats {
    Palette palette;
    std::vector<int> xfOf;        // style index -> XF index, -1 when unused
    std::vector<int> usedStyles;  // in XF order
    std::vector<int> fontOfStyle; // style index -> FONT index
    std::vector<int> fontStyles;  // one style per distinct font, in FONT order
};

bool sameFont(const CellStyle& a, const CellStyle& b) {
    return a.fontName == b.fontName && a.fontSize == b.fontSize && a.bold == b.bold &&
           a.italic == b.italic && a.underline == b.underline && a.strikeout == b.strikeout &&
           a.outline == b.outline && a.shadow == b.shadow && a.fontColour == b.fontColour;
}

void collectFormats(const SheetModel& sheet, Formats& f) {
    for (const int si : f.usedStyles) {
        const CellStyle& s = sheet.style(si);
        for (const quint32 c : {s.fontColour, s.borderLeftColour, s.borderRightColour,
                                s.borderTopColour, s.borderBottomColour, s.patternFg, s.patternBg})
            if (!isAutoColour(c))
                f.palette.use(c);
        int fi = 0;
        while (fi < int(f.fontStyles.size()) && !sameFont(sheet.style(f.fontStyles[size_t(fi)]), s))
            ++fi;
        if (fi == int(f.fontStyles.size()))
            f.fontStyles.push_back(si);
        f.fontOfStyle[size_t(si)] = FirstOwnFont + fi;
    }
    f.palette.resolve();
}

quint16 lineColour(const Palette& p, quint8 style, quint32 colour) {
    if (!style)
        return 0;
    return isAutoColour(colour) ? Palette::SystemText : p.index(colour);
}

void writeGlobals(RecordBuffer& b, const SheetModel& sheet, const Formats& f,
                  const XlsSheetOptions& options, qsizetype& sheetOffsetAt) {
    bof(b, 0x0005);
    b.header(CodePage, 2);
    b.u16(1200); // UTF-16
    b.header(Window1, 18);
    for (const quint16 v : {0, 0, 0x4000, 0x2000, 0x0038, 0, 0, 1, 600})
        b.u16(v);
    b.header(DateMode, 2);
    b.u16(0);

    const CellStyle defaultFont;
    for (int i = 0; i < 4; ++i)
        font(b, defaultFont, Palette::FontAuto);
    for (const int si : f.fontStyles) {
        const CellStyle& s = sheet.style(si);
        font(b, s, isAutoColour(s.fontColour) ? Palette::FontAuto : f.palette.index(s.fontColour));
    }

    xf(b, 0, true, 0x00, 0, 0, Palette::SystemText | Palette::SystemBackground << 7);
    for (int i = 1; i < 15; ++i)
        xf(b, 0, true, 0xF4, 0, 0, Palette::SystemText | Palette::SystemBackground << 7);
    xf(b, 0, false, 0x00, 0, 0, Palette::SystemText | Palette::SystemBackground << 7);
    for (const int si : f.usedStyles) {
        const CellStyle& s = sheet.style(si);
        const Palette& p = f.palette;
        const quint32 border1 = quint32(s.borderLeft & 0xF) | quint32(s.borderRight & 0xF) << 4 |
                                quint32(s.borderTop & 0xF) << 8 |
                                quint32(s.borderBottom & 0xF) << 12 |
                                quint32(lineColour(p, s.borderLeft, s.borderLeftColour)) << 16 |
                                quint32(lineColour(p, s.borderRight, s.borderRightColour)) << 23;
        const quint32 border2 = quint32(lineColour(p, s.borderTop, s.borderTopColour)) |
                                quint32(lineColour(p, s.borderBottom, s.borderBottomColour)) << 7 |
                                quint32(std::min<int>(s.pattern, 18)) << 26;
        quint16 fill = Palette::SystemText | Palette::SystemBackground << 7;
        if (s.pattern) {
            const quint16 fg =
                isAutoColour(s.patternFg) ? Palette::SystemText : p.index(s.patternFg);
            const quint16 bg =
                isAutoColour(s.patternBg) ? Palette::SystemBackground : p.index(s.patternBg);
            fill = quint16(fg | bg << 7);
        }
        xf(b, quint16(f.fontOfStyle[size_t(si)]), false, 0xF8, border1, border2, fill);
    }

    b.header(Style, 4);
    b.u16(0x8000); // built-in style "Normal" on XF 0
    b.u8(0);
    b.u8(0xFF);

    b.header(PaletteRec, quint16(2 + 4 * Palette::Size));
    b.u16(Palette::Size);
    for (const quint32 rgb : f.palette.entries())
        b.u32(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16); // bytes R, G, B, 0

    const qsizetype at = b.begin(BoundSheet);
    sheetOffsetAt = b.size();
    b.u32(0); // stream position of the sheet's BOF, filled in later
    b.u8(0);  // visible
    b.u8(0);  // worksheet
    b.shortString(options.sheetName.left(31));
    b.end(at);
}

} // namespace

XlsWriter::XlsWriter(const SheetModel& sheet, XlsSheetOptions options)
    : sheet_(sheet), options_(std::move(options)) {}

QByteArray XlsWriter::workbookStream() const {
    const SheetModel& sheet = sheet_;
    const auto& heights = sheet.customRowHeights();
    const int rows = sheet.usedRows();
    const int cols = sheet.columns();
    const int lastRow = std::max(rows, heights.empty() ? 0 : heights.rbegin()->first);
    if (lastRow > MaxRows)
        throw XlsWriteError(QStringLiteral("The sheet has %1 rows, but an .xls workbook holds at "
                                           "most %2 rows. Nothing was written.")
                                .arg(number(lastRow), number(MaxRows))
                                .toStdString());
    if (cols > MaxColumns)
        throw XlsWriteError(QStringLiteral("The sheet has %1 columns, but an .xls workbook holds "
                                           "at most %2 columns. Nothing was written.")
                                .arg(number(cols), number(MaxColumns))
                                .toStdString());

    // One pass over the cells: shared strings, the styles in use, the used rectangle.
    const size_t cellCount = size_t(rows) * size_t(cols);
    std::vector<quint32> sstOf(cellCount, NoString);
    std::vector<int> styleOf(cellCount, 0);
    xls::StringTable sst(cellCount);
    quint32 labels = 0;
    Formats f;
    f.xfOf.assign(size_t(sheet.styleCount()), -1);
    f.fontOfStyle.assign(size_t(sheet.styleCount()), 0);
    int minRow = rows, maxRow = -1, minCol = cols, maxCol = -1;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const size_t i = size_t(r) * cols + c;
            const QString text = sheet.text(r + 1, c + 1);
            const int si = sheet.styleIndex(r + 1, c + 1);
            if (text.isEmpty() && si == 0)
                continue;
            if (text.size() > MaxTextLength)
                throw XlsWriteError(QStringLiteral("Cell %1,%2 holds %3 characters, but an .xls "
                                                   "cell holds at most %4. Nothing was written.")
                                        .arg(r + 1)
                                        .arg(c + 1)
                                        .arg(number(text.size()), number(MaxTextLength))
                                        .toStdString());
            if (!text.isEmpty()) {
                sstOf[i] = sst.idOf(text);
                ++labels;
            }
            styleOf[i] = si;
            if (f.xfOf[size_t(si)] < 0) {
                f.xfOf[size_t(si)] = BuiltInXfs + int(f.usedStyles.size());
                f.usedStyles.push_back(si);
            }
            minRow = std::min(minRow, r), maxRow = std::max(maxRow, r);
            minCol = std::min(minCol, c), maxCol = std::max(maxCol, c);
        }
    }
    collectFormats(sheet, f);

    const qsizetype sstBytes = 2 * sst.characters() + 3 * qsizetype(sst.strings().size());
    RecordBuffer b(8192 + sstBytes + sstBytes / 8000 * 5 + qsizetype(cellCount) * 14 +
                   qsizetype(heights.size()) * 20 + cols * 16);
    qsizetype sheetOffsetAt = 0;
    writeGlobals(b, sheet, f, options_, sheetOffsetAt);
    xls::writeSst(b, sst.strings(), labels);
    b.header(Eof, 0);

    b.patch32(sheetOffsetAt, quint32(b.size()));
    bof(b, 0x0010);
    b.header(DefaultRowHeight, 4);
    b.u16(0);
    b.u16(SheetModel::DefaultRowHeight);
    b.header(DefColWidth, 2);
    b.u16(8);
    for (int c = 1; c <= cols;) { // one COLINFO per run of equal widths
        const int w = sheet.columnWidth(c);
        int last = c;
        while (last < cols && sheet.columnWidth(last + 1) == w)
            ++last;
        b.header(ColInfo, 12);
        b.u16(quint16(c - 1));
        b.u16(quint16(last - 1));
        b.u16(quint16(std::min(w, 0xFFFF)));
        b.u16(BuiltInXfs - 1);
        b.u16(w == 0 ? 0x0001 : 0x0000); // width 0: hidden, its cells are kept
        b.u16(0);
        c = last + 1;
    }
    b.header(Dimensions, 14);
    const bool any = maxRow >= 0;
    b.u32(any ? quint32(minRow) : 0);
    b.u32(any ? quint32(maxRow + 1) : 0);
    b.u16(any ? quint16(minCol) : 0);
    b.u16(any ? quint16(maxCol + 1) : 0);
    b.u16(0);

    // Row blocks of 32, each with its ROW records ahead of its cells, as Excel lays them out.
    auto height = heights.begin();
    for (int block = 0; block < lastRow; block += 32) {
        const int blockEnd = std::min(block + 32, lastRow);
        for (; height != heights.end() && height->first <= blockEnd; ++height) {
            const int twips = std::clamp(height->second, 0, 0x7FFF);
            b.header(Row, 16);
            b.u16(quint16(height->first - 1));
            b.u16(0);
            b.u16(quint16(std::max(cols, 1)));
            b.u16(quint16(twips == 0 ? SheetModel::DefaultRowHeight : twips));
            b.u16(0);
            b.u16(0);
            // Custom height; height 0 hides the row. Default cell XF.
            b.u32(0x0100 | 0x0040 | (twips == 0 ? 0x0020 : 0) | quint32(BuiltInXfs - 1) << 16);
        }
        for (int r = block; r < std::min(blockEnd, rows); ++r) {
            for (int c = 0; c < cols; ++c) {
                const size_t i = size_t(r) * cols + c;
                const quint32 sst = sstOf[i];
                const int si = styleOf[i];
                if (sst == NoString && si == 0)
                    continue;
                const quint16 xfIndex = quint16(f.xfOf[size_t(si)]);
                char* p = b.grab(sst == NoString ? 10 : 14);
                qToLittleEndian(quint16(sst == NoString ? Blank : LabelSst), p);
                qToLittleEndian(quint16(sst == NoString ? 6 : 10), p + 2);
                qToLittleEndian(quint16(r), p + 4);
                qToLittleEndian(quint16(c), p + 6);
                qToLittleEndian(xfIndex, p + 8);
                if (sst != NoString)
                    qToLittleEndian(sst, p + 10);
            }
        }
    }

    b.header(Window2, 18);
    b.u16(quint16((options_.showGridLines ? 0x0002 : 0) | (options_.showHeadings ? 0x0004 : 0) |
                  0x0010 | 0x0020 | 0x0080 | 0x0200 | 0x0400));
    b.u16(0); // top row
    b.u16(0); // left column
    b.u16(Palette::SystemText);
    b.zeros(10);
    b.header(Eof, 0);
    return b.take();
}

void XlsWriter::write(const QString& path) const {
    const QByteArray stream = workbookStream(); // refuses before any file is touched
    ReplaceFile(path, [&](QFileDevice& file) {
        return CompoundFile::write(file, QStringLiteral("Workbook"), stream) ? QString()
                                                                             : file.errorString();
    });
}

} // namespace orvane
