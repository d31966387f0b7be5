// Windows-1252 is converted by the table below rather than by a codec: Qt's own converters
// know only the Unicode forms and Latin-1, and the code page differs from Latin-1 only in the
// 32 positions 0x80-0x9F.
#include "import/CsvRead.h"

#include <orcus/csv_parser.hpp>

#include <QStringDecoder>

namespace orvane::importer {

namespace {

constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

class Handler {
  public:
    Handler(CellSink& sink, qint64 lastRow) : sink_(sink), lastRow_(lastRow) {}
    void begin_parse() {}
    void end_parse() {}
    void begin_row() { col_ = 0; }
    void end_row() {
        ++row_;
        if (lastRow_ >= 0 && row_ > lastRow_)
            throw Enough();
    }
    void cell(const char* p, size_t n, bool) {
        sink_.put(row_, col_++, QString::fromUtf8(p, int(n)));
    }
    struct Enough {};

  private:
    CellSink& sink_;
    qint64 lastRow_;
    qint64 row_ = 0, col_ = 0;
};

void parse(const QByteArray& text, char separator, SheetCells& cells, const ReadControl& control,
           qint64 lastRow) {
    orcus::csv::parser_config config;
    config.delimiters = std::string(1, separator);
    config.text_qualifier = '"';
    config.trim_cell_value = false;
    CellSink sink(cells, control);
    Handler handler(sink, lastRow);
    orcus::csv_parser<Handler> parser(text.constData(), size_t(text.size()), handler, config);
    try {
        parser.parse();
    } catch (const Handler::Enough&) {
    } catch (const orcus::csv::parse_error&) {
        throw ImportFileError(QStringLiteral(
            "The CSV file cannot be read: a quoted cell is not closed, or text follows its "
            "closing quote. Nothing was imported."));
    }
}

} // namespace

QByteArray CsvAsUtf8(const QByteArray& bytes) {
    QByteArray text = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(text);
    if (!utf8.hasError())
        return text;
    QString wide;
    wide.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        wide.append(byte >= 0x80 && byte < 0xA0 ? QChar(kCp1252High[byte - 0x80]) : QChar(byte));
    }
    return wide.toUtf8();
}

SheetCells ReadCsv(const QByteArray& bytes, const HeadingsTest& isHeadings,
                   const ReadControl& control) {
    // The parser ends lines at line feeds only; spreadsheet programs write CR LF.
    QByteArray text = CsvAsUtf8(bytes);
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    if (text.contains('\0'))
        throw ImportFileError(QStringLiteral(
            "The file is not a CSV text file: it holds binary data. Nothing was imported."));
    // The separator whose split of the first 20 lines finds the headings line soonest.
    char chosen = ',';
    qint64 bestRow = -1;
    for (const char separator : {',', ';', '\t'}) {
        SheetCells head;
        ReadControl quiet;
        quiet.limits = control.limits;
        try {
            parse(text, separator, head, quiet, 19);
        } catch (const ImportFileError&) {
            // Quotes that do not fit this separator: the lines read so far still count.
        }
        for (size_t row = 0; row < head.rows.size(); ++row) {
            if (!isHeadings(head.rows[row]))
                continue;
            if (bestRow < 0 || qint64(row) < bestRow) {
                bestRow = qint64(row);
                chosen = separator;
            }
            break;
        }
    }
    SheetCells cells;
    parse(text, chosen, cells, control, -1);
    return cells;
}

} // namespace orvane::importer
