#pragma once
// The one way to show a message box, a save-file dialog or open a web address.
// Tests install their own Desktop to answer and record without blocking.
#include <QString>
#include <QStringList>
#include <optional>

class QFileDialog;

namespace orvane {

enum class MsgIcon { Information, Critical, Exclamation, Question };
enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgAnswer { Ok, Cancel, Yes, No };

// What the save dialog returns: the file name, and which of the filter's types is chosen
// (0 for the first, the one the dialog starts with).
struct SaveAnswer {
    QString fileName;
    int type = 0;
};

class Desktop {
  public:
    virtual ~Desktop() = default;
    virtual MsgAnswer message(const QString& text, MsgIcon icon, MsgButtons buttons) = 0;
    // Empty optional when the user cancels.
    virtual std::optional<QString> saveFileName(const QString& folder, const QString& filter,
                                                const QString& fileName) = 0;
    // The same dialog with the chosen type too; a desktop that cannot tell answers type 0.
    virtual std::optional<SaveAnswer> saveFile(const QString& folder, const QString& filter,
                                               const QString& fileName);
    // The open-file dialog; empty optional when the user cancels. A desktop that cannot ask
    // answers as cancelled.
    virtual std::optional<QString> openFileName(const QString& folder, const QString& filter);
    virtual void openUrl(const QString& address) = 0;
    // Closes every window and leaves the event loop.
    virtual void endProgram() = 0;

    static Desktop& current();
    // Replaces the desktop; nullptr restores the real one. Not owned.
    static void install(Desktop* desktop);
};

// A dialog filter in the program's "description|pattern|description|pattern" form, as the
// name filters Qt reads: "Excel Files (*.xls) | *.xls" is the one filter
// "Excel Files (*.xls)", never the patterns "Excel", "Files", "|".
QStringList DialogNameFilters(const QString& filter);
// Sets up the save dialog the real desktop shows.
void ConfigureSaveDialog(QFileDialog& dialog, const QString& folder, const QString& filter,
                         const QString& fileName);

// Caption "Orvane"; information icon and one OK button unless told otherwise.
inline MsgAnswer MsgBox(const QString& text, MsgIcon icon = MsgIcon::Information,
                        MsgButtons buttons = MsgButtons::Ok) {
    return Desktop::current().message(text, icon, buttons);
}

} // namespace orvane
