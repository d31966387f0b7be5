#pragma once
// What both entry screens are made of: a centred title, labelled boxes, a frame of four
// command buttons (New/Save, Edit, Cancel, Close) with their keys, and the entry states.
// A screen places its controls and writes its New, Edit and Cancel.
#include "app/EntryStates.h"
#include "app/NewEntry.h"
#include "app/Screens.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <functional>

namespace orvane {

class KeyMap;

class EntryScreen : public QWidget {
    Q_OBJECT
  public:
    QFrame* Frame1;
    QPushButton* CmNew;
    QPushButton* CmEdit;
    QPushButton* CmCancel;
    QPushButton* CmClose;

    // True while the pending save is an update of the record on show.
    bool EditMode() const { return entry_.state() == EntryState::EditEntry; }
    void SetEntryMode(bool on) { entry_.setEntryOpen(on); }

  public slots:
    virtual void CmNew_Click() = 0;
    virtual void CmEdit_Click() = 0;
    virtual void CmCancel_Click() = 0;
    void CmClose_Click();

  protected:
    // The screen's caption, size and body font (the design's small sans-serif).
    EntryScreen(const QString& caption, int widthTwips, int heightTwips, QWidget* parent);

    // Where a screen puts its labelled boxes and the size of its buttons, in twips.
    struct RowPlaces {
        int labelLeft, labelWidth, boxLeft, buttonWidth, buttonHeight;
    };
    void placeRows(const RowPlaces& places) { places_ = places; }
    // A label and its text box (no length limit of its own) on one row at `top`.
    QLabel* rowLabel(const QString& caption, const char* name, int top, QWidget* parent) const;
    QLineEdit* rowBox(const char* name, int top, int width, QWidget* parent) const;
    void boxRow(QLabel*& label, QLineEdit*& box, const QString& caption, const char* labelName,
                const char* boxName, int top, int width, QWidget* parent) const {
        label = rowLabel(caption, labelName, top, parent);
        box = rowBox(boxName, top, width, parent);
    }
    // A command button (CommandButton) at its place in the row.
    QPushButton* rowButton(const QString& caption, const char* name, int left, int top,
                           QWidget* parent) const;
    // The title across the top: Times bold, navy, centred.
    QLabel* titleLabel(const QString& text, int widthTwips);
    // Wires the four buttons and their keys; the fields open only with an entry. The screen
    // then browses.
    void declareEntry(std::vector<QWidget*> fields);

    // How a screen's messages name its code: "code" in "There is no code for the new
    // entry", "Code" and "code" in "Code 7 was taken ... saved with code 8".
    struct CodeWords {
        QString missing, name, inText;
    };
    // Shows what came of a new record's save: the database's failure, no code to draw, or
    // the code shown taken meanwhile (`moved` runs first, with the stored code). True when
    // the record was stored. A taken name is the screen's own to show.
    static bool ShowNewEntry(const NewEntryOutcome& outcome, const QString& shown,
                             const CodeWords& words,
                             const std::function<void(const QString&)>& moved);
    static void ReportNoCode(const CodeWords& words);
    static void ReportMovedCode(const CodeWords& words, const QString& shown,
                                const QString& stored);

    EntryStates entry_;
    KeyMap* Keys;

  private:
    RowPlaces places_{};
};

} // namespace orvane
