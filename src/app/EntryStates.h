#pragma once
// The states an entry screen goes through (browsing, a new entry open, an edit open), what
// each state enables and how the New/Save button reads, and the function keys of the four
// command buttons. A screen declares its controls; its designed handlers sit on top.
#include <QString>
#include <functional>
#include <vector>

class QPushButton;
class QWidget;

namespace orvane {

class KeyMap;

enum class EntryState { Browse, NewEntry, EditEntry };

struct EntryButton {
    QPushButton* button;
    std::function<void()> click;
};

struct EntryControls {
    EntryButton newSave; // F2 and F5
    EntryButton edit;    // F3
    EntryButton cancel;  // F8
    EntryButton close;   // F9
    // Enabled only while an entry is open.
    std::vector<QWidget*> entryFields;
};

class EntryStates {
  public:
    static inline const QString NewCaption = QStringLiteral("New - F2");
    static inline const QString SaveCaption = QStringLiteral("Save - F5");

    // Connects the buttons and declares their keys; each key runs its button's action,
    // enabled or not. The screen starts browsing.
    void declare(EntryControls controls, KeyMap& keys);

    EntryState state() const { return state_; }
    bool browsing() const { return state_ == EntryState::Browse; }
    void enter(EntryState state);
    // Opening keeps an edit an edit; closing returns to browsing.
    void setEntryOpen(bool open);

  private:
    EntryControls controls_;
    EntryState state_ = EntryState::Browse;
};

} // namespace orvane
