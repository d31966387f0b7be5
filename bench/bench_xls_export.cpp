// Times the activation report's sheet at 30,000 workstations: filling the sheet as a refill
// does, writing it as .xls and as .xlsx (XlsxWriter), and - as the baseline - libxlsxwriter
// called directly with the same cells and formats. Prints medians over several repetitions and
// the ratios .xls / baseline and .xlsx / baseline (the report hides its headings, so the .xlsx
// write includes the edit of the sheet; the same write with the headings shown is printed too).
#include "sheet/SheetComponent.h"
#include "workbook/XlsWriter.h"
#include "workbook/XlsxWriter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

#include <xlsxwriter.h>

using namespace orvane;

namespace {

constexpr int Units = 20;
constexpr int Workstations = 30000;
constexpr int Repetitions = 7;
constexpr int XlsxRounds = 9;
constexpr int Navy = 8388608, DarkRed = 192, LightGrey = 12632256;
constexpr int Widths[8] = {1500, 7000, 5800, 5000, 5500, 2500, 0, 12500};
const char* const Headings[8] = {"Sl No", "IP",     "Operating System ", "User", "Dept", "Exp Date",
                                 "",      "Remarks"};
const char* const Systems[] = {"Windows 10 Pro", "Windows 11 Pro", "Windows 7 Professional",
                               "Ubuntu 22.04 LTS"};
const char* const Depts[] = {"Accounts", "Stores", "Human Resources", "Production", "Sales"};
const char* const Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

struct Record {
    QString cols[8];
    int unit;
};

std::vector<Record> makeRecords() {
    std::vector<Record> rows;
    rows.reserve(Workstations);
    for (int i = 0; i < Workstations; ++i) {
        const int unit = i / (Workstations / Units);
        const int k = i % (Workstations / Units);
        Record r;
        r.unit = unit;
        r.cols[1] = QStringLiteral("198.%1.%2.%3").arg(unit + 1).arg(k / 250).arg(k % 250 + 1);
        r.cols[2] = QString::fromLatin1(Systems[i % 4]);
        r.cols[3] = QStringLiteral("User %1 Perera").arg(i + 1);
        r.cols[4] = QString::fromLatin1(Depts[i % 5]);
        r.cols[5] = QStringLiteral("%1-%2-%3")
                        .arg(k % 28 + 1, 2, 10, QLatin1Char('0'))
                        .arg(QLatin1String(Months[k % 12]))
                        .arg(2023 + k % 3);
        r.cols[6] = QStringLiteral("SYS_U%1_%2").arg(unit + 1, 2, 10, QLatin1Char('0')).arg(k + 1);
        r.cols[7] =
            i % 3 ? QStringLiteral("Licence renewed, scanned on %1").arg(k % 28 + 1) : QString();
        rows.push_back(r);
    }
    return rows;
}

void layout(SheetComponent& s) {
    s.setFixedRows(4);
    s.setMaxCol(8);
    s.clearRange(1, 1, s.maxRow(), s.maxCol(), 1);
    s.setMaxCol(10);
    s.setRowHeight(1, 500);
    s.setText(1, 1, QStringLiteral("TAROVEL"));
    s.setSelection(1, 1, 1, 1);
    s.setFont(QStringLiteral("Book Antiqua"), 14, true, false, false, false, Navy, false, false);
    s.setText(2, 1, QStringLiteral("Head Office"));
    for (int c = 1; c <= 8; ++c) {
        s.setColWidth(c, Widths[c - 1]);
        s.setText(4, c, QString::fromLatin1(Headings[c - 1]));
    }
    s.setSelection(4, 1, 4, s.maxCol());
    s.setBorder(1, 1, 1, 1, 1, 1, 1, 1, 1, -1, -1);
    s.setFont(QStringLiteral("ARIAL"), 8, true, false, false, false, 0, false, false);
    s.setPattern(1, LightGrey, LightGrey);
    s.setShowGridLines(false);
    s.setShowRowColHeadings(false);
}

// What a refill does to the sheet once the query has delivered its rows.
void fill(SheetComponent& s, const std::vector<Record>& records) {
    s.clearRange(5, 1, s.maxRow(), s.maxCol(), 1);
    s.setMaxCol(8);
    int row = 4, n = 0, prev = -1;
    for (const Record& r : records) {
        if (r.unit != prev) {
            row = row == 4 ? 5 : row + 2;
            prev = r.unit;
            s.setText(row, 2, QStringLiteral("Unit %1 - Branch Office").arg(r.unit + 1));
            s.setSelection(row, 2, row, 2);
            s.setFont(QStringLiteral("Times New Roman"), 10, true, false, false, false, DarkRed,
                      false, false);
        }
        ++row;
        s.setText(row, 1, QString::number(++n));
        for (int c = 2; c <= 8; ++c)
            s.setText(row, c, r.cols[c - 1]);
        s.setSelection(row, 1, row, 8);
        s.setFont(QStringLiteral("ARIAL"), 8, false, false, false, false, 0, false, false);
    }
    s.sheetModel()->flushChanges(); // the model is ready to paint
}

// The same cells and formats through libxlsxwriter. Texts are converted to UTF-8 beforehand so
// only the library's own work is timed.
struct XlsxInput {
    std::vector<QByteArray> utf8; // row-major, rows x 8
    std::vector<int> style;
    int rows = 0;
};

XlsxInput xlsxInput(const SheetModel& m) {
    XlsxInput in;
    in.rows = m.usedRows();
    for (int r = 1; r <= in.rows; ++r)
        for (int c = 1; c <= 8; ++c) {
            in.utf8.push_back(m.text(r, c).toUtf8());
            in.style.push_back(m.styleIndex(r, c));
        }
    return in;
}

void writeXlsx(const SheetModel& m, const XlsxInput& in, const QByteArray& path) {
    lxw_workbook* wb = workbook_new(path.constData());
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    std::vector<lxw_format*> formats(size_t(m.styleCount()), nullptr);
    for (int i = 0; i < m.styleCount(); ++i) {
        const CellStyle& s = m.style(i);
        lxw_format* f = workbook_add_format(wb);
        format_set_font_name(f, s.fontName.toUtf8().constData());
        format_set_font_size(f, s.fontSize);
        if (s.bold)
            format_set_bold(f);
        const quint32 c = s.fontColour;
        format_set_font_color(f, (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF));
        if (s.borderLeft)
            format_set_border(f, LXW_BORDER_THIN);
        if (s.pattern) {
            format_set_pattern(f, LXW_PATTERN_SOLID);
            format_set_bg_color(f, 0xC0C0C0);
            format_set_fg_color(f, 0xC0C0C0);
        }
        formats[size_t(i)] = f;
    }
    for (int c = 0; c < 8; ++c) {
        lxw_row_col_options hidden = {1, 0, 0};
        worksheet_set_column_opt(ws, lxw_col_t(c), lxw_col_t(c), Widths[c] / 256.0, nullptr,
                                 Widths[c] ? nullptr : &hidden);
    }
    worksheet_set_row(ws, 0, 25.0, nullptr); // 500 twips
    worksheet_gridlines(ws, LXW_HIDE_ALL_GRIDLINES);
    for (int r = 0; r < in.rows; ++r)
        for (int c = 0; c < 8; ++c) {
            const size_t i = size_t(r) * 8 + size_t(c);
            lxw_format* f = in.style[i] ? formats[size_t(in.style[i])] : nullptr;
            if (!in.utf8[i].isEmpty())
                worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c), in.utf8[i].constData(), f);
            else if (f)
                worksheet_write_blank(ws, lxw_row_t(r), lxw_col_t(c), f);
        }
    if (workbook_close(wb) != LXW_NO_ERROR)
        std::fprintf(stderr, "libxlsxwriter failed to write %s\n", path.constData());
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <typename F> double timeMs(F&& run) {
    QElapsedTimer t;
    t.start();
    run();
    return double(t.nsecsElapsed()) / 1e6;
}

template <typename F> double medianMs(F&& run) {
    std::vector<double> ms;
    for (int i = 0; i < Repetitions; ++i)
        ms.push_back(timeMs(run));
    return median(ms);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const std::vector<Record> records = makeRecords();

    SheetComponent sheet;
    layout(sheet);
    const double fillMs = medianMs([&] { fill(sheet, records); });
    // The same refill with the sheet on screen: the view takes the changes and repaints.
    SheetComponent shown;
    shown.resize(767, 303);
    layout(shown);
    shown.show();
    QCoreApplication::processEvents();
    const double shownMs = medianMs([&] {
        fill(shown, records);
        shown.view()->viewport()->repaint();
    });
    const SheetModel& model = *sheet.sheetModel();
    std::printf("sheet: %d rows x %d columns, %d distinct formats\n", sheet.maxRow(),
                sheet.maxCol(), model.styleCount());
    std::printf("fill (clear + %d workstation rows + formats), median of %d: %8.1f ms\n",
                Workstations, Repetitions, fillMs);

    std::printf("fill with the sheet on screen, incl. repaint, median: %5.1f ms\n", shownMs);

    const QString xls = dir.filePath(QStringLiteral("report.xls"));
    XlsSheetOptions options;
    options.showGridLines = false;
    options.showHeadings = false;
    const double streamMs = medianMs([&] { XlsWriter(model, options).workbookStream(); });
    const double xlsMs = medianMs([&] { XlsWriter(model, options).write(xls); });
    std::printf("XlsWriter: BIFF8 stream in memory, median:       %8.1f ms\n", streamMs);
    std::printf("XlsWriter: .xls written to disk, median:          %8.1f ms  (%lld bytes)\n", xlsMs,
                static_cast<long long>(QFileInfo(xls).size()));
    // The three .xlsx writes take turns, round by round, so a machine busy with other work
    // slows them alike and the ratio is taken within each round.
    const QString ours = dir.filePath(QStringLiteral("report-ours.xlsx"));
    const QString oursShown = dir.filePath(QStringLiteral("report-shown.xlsx"));
    SheetOptions shownHeadings = options;
    shownHeadings.showHeadings = true;
    const XlsxInput in = xlsxInput(model);
    const QByteArray xlsx = QFile::encodeName(dir.filePath(QStringLiteral("report.xlsx")));
    std::vector<double> xlsxRuns, plainRuns, lxwRuns, ratios;
    for (int i = 0; i < XlsxRounds; ++i) {
        xlsxRuns.push_back(timeMs([&] { XlsxWriter(model, options).write(ours); }));
        plainRuns.push_back(timeMs([&] { XlsxWriter(model, shownHeadings).write(oursShown); }));
        lxwRuns.push_back(timeMs([&] { writeXlsx(model, in, xlsx); }));
        ratios.push_back(xlsxRuns.back() / lxwRuns.back());
    }
    const double xlsxMs = median(xlsxRuns), lxwMs = median(lxwRuns);
    std::printf("XlsxWriter: .xlsx written to disk, median of %d:  %8.1f ms  (%lld bytes)\n",
                XlsxRounds, xlsxMs, static_cast<long long>(QFileInfo(ours).size()));
    std::printf("XlsxWriter: the same with the headings shown:     %8.1f ms  (no edit of the "
                "sheet)\n",
                median(plainRuns));
    std::printf("libxlsxwriter: same cells as .xlsx, median:       %8.1f ms  (%lld bytes)\n", lxwMs,
                static_cast<long long>(QFileInfo(QFile::decodeName(xlsx)).size()));
    std::printf("ratio XlsWriter / libxlsxwriter:                  %8.3f  (target <= 0.5)\n",
                xlsMs / lxwMs);
    std::printf("ratio XlsxWriter / libxlsxwriter, median of rounds: %6.3f  (target <= 1.05)\n",
                median(ratios));
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    std::printf("peak resident memory of this run:                 %8.1f MB\n",
                double(ru.ru_maxrss) / 1024.0);
    return 0;
}
