#include "app/EntryStates.h"

#include "app/KeyMap.h"

#include <QPushButton>

namespace orvane {

namespace {
// What each state offers: browsing offers New, Edit and Close; an open entry offers its
// fields, Save and Cancel.
struct StateLook {
    EntryState state;
    bool fields, edit, close, cancel;
    bool saveCaption;
};
constexpr StateLook kLooks[] = {
    {EntryState::Browse, false, true, true, false, false},
    {EntryState::NewEntry, true, false, false, true, true},
    {EntryState::EditEntry, true, false, false, true, true},
};
} // namespace

void EntryStates::declare(EntryControls controls, KeyMap& keys) {
    controls_ = std::move(controls);
    for (const EntryButton* b :
         {&controls_.newSave, &controls_.edit, &controls_.cancel, &controls_.close})
        QObject::connect(b->button, &QPushButton::clicked, b->button, b->click);
    keys.screenKey(Qt::Key_F2, controls_.newSave.click)
        .screenKey(Qt::Key_F5, controls_.newSave.click)
        .screenKey(Qt::Key_F3, controls_.edit.click)
        .screenKey(Qt::Key_F8, controls_.cancel.click)
        .screenKey(Qt::Key_F9, controls_.close.click);
    enter(EntryState::Browse);
}

void EntryStates::enter(EntryState state) {
    state_ = state;
    for (const StateLook& look : kLooks) {
        if (look.state != state)
            continue;
        for (QWidget* field : controls_.entryFields)
            field->setEnabled(look.fields);
        controls_.edit.button->setEnabled(look.edit);
        controls_.close.button->setEnabled(look.close);
        controls_.cancel.button->setEnabled(look.cancel);
        controls_.newSave.button->setText(look.saveCaption ? SaveCaption : NewCaption);
    }
}

void EntryStates::setEntryOpen(bool open) {
    if (!open)
        enter(EntryState::Browse);
    else
        enter(browsing() ? EntryState::NewEntry : state_);
}

} // namespace orvane
