#include "lists/ExportSheet.h"

#include "app/DataWorker.h"
#include "app/Session.h"
#include "platform/Messages.h"
#include "sheet/SheetComponent.h"
#include "workbook/SheetFile.h"
#include "workbook/XlsWriter.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <stdexcept>

namespace orvane {

namespace {

const QString kFolderName = QStringLiteral("Excel Files");
// The dialog's types in the filter's order; the first is the one it starts with.
const QString kFilter =
    QStringLiteral("Excel Files (*.xls) | *.xls | Excel Workbook (*.xlsx) | *.xlsx");
struct ExportType {
    int fileType;
    QString extension; // added to a name without one
};
const ExportType kTypes[] = {{SheetComponent::XlsFileType, QString()},
                             {SheetComponent::XlsxFileType, QStringLiteral(".xlsx")}};

std::optional<ExportPlaces>& overridden() {
    static std::optional<ExportPlaces> places;
    return places;
}

// Creating the folder is not enough: the program's folder may exist read-only.
bool usableFolder(const QString& folder) {
    if (folder.isEmpty() || !QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(folder + QStringLiteral("/.orvane-probe-XXXXXX"));
    return probe.open();
}

// Writes a snapshot of the sheet on the data worker's files lane and waits for it with the
// window answering; a progress dialog shows after half a second, and its Cancel gives the write
// up before it replaces the file. A failure is thrown as the writers throw it.
void WriteOffThread(const SheetComponent& sheet, const QString& path, int fileType) {
    std::shared_ptr<const SheetModel> cells = sheet.sheetModel()->snapshot();
    const SheetOptions options = OptionsOf(sheet);
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    std::optional<QString> failure;
    bool finished = false;
    QObject receiver;
    DataWorker::postTask<QString>(
        &receiver,
        [cells, options, path, fileType, cancelled]() -> QString {
            WriteCancellation gate(*cancelled);
            try {
                WriteSheetFile(*cells, options, path, fileType);
                return QString();
            } catch (const WorkbookWriteCancelled&) {
                return QString(); // nothing to say: the user asked for it
            } catch (const std::exception& error) {
                return QString::fromStdString(error.what());
            }
        },
        [&](QString why) {
            finished = true;
            if (!why.isEmpty())
                failure = why;
        });
    QProgressDialog progress(QStringLiteral("Writing %1 ...").arg(QFileInfo(path).fileName()),
                             QStringLiteral("Cancel"), 0, 0, QApplication::activeWindow());
    progress.setWindowTitle(QStringLiteral("Export"));
    progress.setMinimumDuration(500);
    QObject::connect(&progress, &QProgressDialog::canceled, [cancelled] { *cancelled = true; });
    DataWorker::waitUntil([&finished] { return finished; });
    if (failure)
        throw std::runtime_error(failure->toStdString());
}

} // namespace

bool BusyPointerShown() {
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

BusyPointer::BusyPointer() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}
BusyPointer::~BusyPointer() {
    QApplication::restoreOverrideCursor();
}

ExportPlaces CurrentExportPlaces() {
    if (overridden())
        return *overridden();
    return {QCoreApplication::applicationDirPath(),
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)};
}

void OverrideExportPlaces(const std::optional<ExportPlaces>& places) {
    overridden() = places;
}

QString ExportFolder(const ExportPlaces& places) {
    const QString inProgram = QDir(places.programFolder).filePath(kFolderName);
    if (!places.programFolder.isEmpty() && usableFolder(inProgram))
        return inProgram;
    const QString inDocuments = QDir(places.documentsFolder).filePath(kFolderName);
    if (!places.documentsFolder.isEmpty() && usableFolder(inDocuments))
        return inDocuments;
    throw std::runtime_error(
        QStringLiteral("The folder \"%1\" cannot be created or written to, and neither can \"%2\".")
            .arg(QDir::toNativeSeparators(inProgram), QDir::toNativeSeparators(inDocuments))
            .toStdString());
}

QString ExportFileName(const QString& caption, const QString& unitCode) {
    return caption + QStringLiteral(" - ") + unitCode;
}

void ExportSheet(const SheetComponent& sheet, const QString& caption) {
    if (BusyPointerShown())
        return;
    std::optional<BusyPointer> busy;
    busy.emplace();
    try {
        const QString folder = ExportFolder(CurrentExportPlaces());
        const std::optional<SaveAnswer> chosen = Desktop::current().saveFile(
            folder, kFilter, ExportFileName(caption, Session().CurrentUnitCode));
        if (!chosen || chosen->fileName.isEmpty())
            return; // cancelled: no message, nothing written
        const ExportType& type =
            chosen->type == 1 ? kTypes[1] : kTypes[0]; // anything else: the dialog's first
        // An .xls name is used exactly as the dialog gives it; an .xlsx name without an
        // extension gets one.
        QString path = chosen->fileName;
        if (!type.extension.isEmpty() && QFileInfo(path).suffix().isEmpty())
            path += type.extension;
        const int rows = sheet.maxRow();
        if (type.fileType == SheetComponent::XlsFileType && rows > XlsWriter::MaxRows) {
            busy.reset();
            const QLocale numbers(QLocale::English);
            MsgBox(QStringLiteral("The sheet holds %1 rows, but an .xls workbook holds at most %2. "
                                  "Nothing was written: narrow the list and export again, or "
                                  "export it as an Excel Workbook (.xlsx).")
                       .arg(numbers.toString(rows), numbers.toString(XlsWriter::MaxRows)));
            return;
        }
        // The busy pointer stays through the question, so the guard holds while it is open.
        if (QFileInfo::exists(path) &&
            MsgBox(QStringLiteral("Are you sure you want to overwrite"), MsgIcon::Information,
                   MsgButtons::YesNo) != MsgAnswer::Yes)
            return;
        WriteOffThread(sheet, path, type.fileType);
    } catch (const std::exception& error) {
        busy.reset();
        MsgBox(QString::fromStdString(error.what()));
    }
}

} // namespace orvane
