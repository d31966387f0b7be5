#include "app/EntryScreen.h"

#include "app/KeyMap.h"
#include "app/Screens.h"
#include "app/mdlTarovel.h"
#include "platform/Geometry.h"
#include "platform/Messages.h"

namespace orvane {

EntryScreen::EntryScreen(const QString& caption, int widthTwips, int heightTwips, QWidget* parent)
    : QWidget(parent), Keys(new KeyMap(this)) {
    setWindowTitle(caption);
    sizeTwips(this, widthTwips, heightTwips);
    QFont body("Arial");
    body.setPointSizeF(8.25);
    setFont(body);
    Frame1 = new QFrame(this);
    Frame1->setObjectName("Frame1");
    Frame1->setFrameShape(QFrame::Box);
}

QLabel* EntryScreen::titleLabel(const QString& text, int widthTwips) {
    auto* label = new QLabel(text, this);
    label->setObjectName("Label3");
    placeTwips(label, 0, 0, widthTwips, 345);
    QFont title("Times New Roman");
    title.setPointSizeF(14.25);
    title.setBold(true);
    label->setFont(title);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet("color: rgb(0,0,128);");
    return label;
}

QLabel* EntryScreen::rowLabel(const QString& caption, const char* name, int top,
                              QWidget* parent) const {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    placeTwips(label, places_.labelLeft, top + 60, places_.labelWidth, 195);
    return label;
}

QLineEdit* EntryScreen::rowBox(const char* name, int top, int width, QWidget* parent) const {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    LiftLengthLimit(box);
    placeTwips(box, places_.boxLeft, top, width, 315);
    return box;
}

QPushButton* EntryScreen::rowButton(const QString& caption, const char* name, int left, int top,
                                    QWidget* parent) const {
    QPushButton* b = CommandButton(caption, name, parent);
    placeTwips(b, left, top, places_.buttonWidth, places_.buttonHeight);
    return b;
}

void EntryScreen::declareEntry(std::vector<QWidget*> fields) {
    entry_.declare({{CmNew, [this] { CmNew_Click(); }},
                    {CmEdit, [this] { CmEdit_Click(); }},
                    {CmCancel, [this] { CmCancel_Click(); }},
                    {CmClose, [this] { CmClose_Click(); }},
                    std::move(fields)},
                   *Keys);
}

void EntryScreen::CmClose_Click() {
    UnloadScreen(this);
}

bool EntryScreen::ShowNewEntry(const NewEntryOutcome& outcome, const QString& shown,
                               const CodeWords& words,
                               const std::function<void(const QString&)>& moved) {
    switch (outcome.result) {
    case NewEntryOutcome::Result::Failed:
        MsgBox(outcome.error->description());
        return false;
    case NewEntryOutcome::Result::NoCode:
        ReportNoCode(words);
        return false;
    case NewEntryOutcome::Result::NameTaken:
        return false;
    case NewEntryOutcome::Result::Saved:
        break;
    }
    if (outcome.codeMoved) {
        moved(outcome.code);
        ReportMovedCode(words, shown, outcome.code);
    }
    return true;
}

void EntryScreen::ReportNoCode(const CodeWords& words) {
    MsgBox("There is no " + words.missing + " for the new entry, so it was not saved.   \r\n" +
           "Contact System Administrator.   ");
}

void EntryScreen::ReportMovedCode(const CodeWords& words, const QString& shown,
                                  const QString& stored) {
    MsgBox(words.name + " " + TrimBlanks(shown) + " was taken by another entry meanwhile.   \r\n" +
           "This entry was saved with " + words.inText + " " + TrimBlanks(stored) + ".   ");
}

} // namespace orvane
