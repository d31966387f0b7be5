#pragma once
// The export both workstation lists share (button "Export - F11" and key F11): asks for a file
// name and type through the desktop's save dialog and writes the sheet as an Excel 97-2003
// workbook (.xls, the type the dialog starts with) or as an Excel workbook (.xlsx).
#include <QString>
#include <optional>

namespace orvane {

class SheetComponent;

// The busy mouse pointer doubles as the guard against a second export or search while one is
// running: a request made while it shows is ignored.
bool BusyPointerShown();

class BusyPointer {
  public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

struct ExportPlaces {
    QString programFolder;   // the program's own folder
    QString documentsFolder; // the user's documents folder
};

// The places of this run; tests point them at temporary folders.
ExportPlaces CurrentExportPlaces();
void OverrideExportPlaces(const std::optional<ExportPlaces>& places);

// "Excel Files" inside the program's folder when that can be written to (created when
// missing), else "Excel Files" in the documents folder. Throws std::runtime_error with a
// text for the user when neither can be made.
QString ExportFolder(const ExportPlaces& places);

// Default file name in the dialog: the caption, " - " and the current unit code.
QString ExportFileName(const QString& caption, const QString& unitCode);

// The whole export. Silent when the dialog is cancelled, when the user declines to overwrite,
// or while the busy pointer shows; every failure is shown with its own text and leaves any
// existing file as it was. A sheet the chosen format cannot hold is refused before the
// overwrite question.
void ExportSheet(const SheetComponent& sheet, const QString& caption);

} // namespace orvane
