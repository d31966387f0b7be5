// The export of a 70,000-row sheet as .xlsx through the lists' Export: the longest stall of
// the UI thread while it writes, next to the same write made on the UI thread, in the same run.
// Needs no server:  QT_QPA_PLATFORM=offscreen build/bench/bench_export_stall
#include "QuietDesktop.h"
#include "StallWatch.h"
#include "lists/ExportSheet.h"
#include "sheet/SheetComponent.h"
#include "workbook/SheetFile.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace orvane;

namespace {

constexpr int Rows = 70000;

// Answers the save dialog with one file, as an Excel workbook.
class ChoosingDesktop : public bench::QuietDesktop {
  public:
    QString path;
    std::optional<SaveAnswer> saveFile(const QString&, const QString&, const QString&) override {
        return SaveAnswer{path, 1};
    }
};

void fill(SheetComponent& sheet) {
    sheet.setMaxCol(8);
    for (int r = 1; r <= Rows; ++r) {
        sheet.setText(r, 1, QString::number(r));
        sheet.setText(
            r, 2, QStringLiteral("198.%1.%2.%3").arg(r / 65536).arg(r / 256 % 256).arg(r % 256));
        sheet.setText(r, 3, QStringLiteral("WINDOWS 11 PRO"));
        sheet.setText(r, 4, QStringLiteral("USER %1 PERERA").arg(r % 3000));
        sheet.setText(r, 5, QStringLiteral("ACCOUNTS"));
        sheet.setText(r, 6, QStringLiteral("01-Jan-2030"));
        sheet.setText(r, 7, QStringLiteral("S%1").arg(r, 6, 10, QLatin1Char('0')));
        sheet.setText(r, 8, QStringLiteral("License : KAV-%1").arg(r % 97));
    }
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    ChoosingDesktop desktop;
    Desktop::install(&desktop);
    OverrideExportPlaces(ExportPlaces{dir.path(), dir.path()});
    SheetComponent sheet;
    fill(sheet);

    bench::StallWatch direct;
    WriteSheetFile(sheet, dir.filePath("direct.xlsx"), SheetComponent::XlsxFileType);
    const double directMs = direct.ms();
    QCoreApplication::processEvents();
    direct.stop();

    desktop.path = dir.filePath("export.xlsx");
    bench::StallWatch exported;
    ExportSheet(sheet, "Antivirus Updation List");
    const double exportMs = exported.ms();
    exported.stop();

    std::printf("%d rows as .xlsx on the UI thread (baseline): %.0f ms, longest UI stall %.0f ms\n",
                Rows, directMs, direct.longestMs());
    std::printf("the same through Export, written off the UI thread: %.0f ms, longest UI stall "
                "%.1f ms (target <= 50), %lld bytes, messages %d\n",
                exportMs, exported.longestMs(),
                static_cast<long long>(QFileInfo(desktop.path).size()), desktop.messages);
    Desktop::install(nullptr);
    return 0;
}
