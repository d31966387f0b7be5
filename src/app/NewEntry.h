#pragma once
// What came of saving a new record, told without widgets: the entry screens show their
// messages from it, and a caller on another thread (with a connection of its own) reads it.
#include "platform/Database.h"

#include <QString>
#include <optional>

namespace orvane {

struct NewEntryOutcome {
    enum class Result {
        Saved,
        NameTaken, // another record carries the name: nothing was stored
        NoCode,    // no code could be drawn (no counter row, or no code shown): nothing stored
        Failed,    // the database turned the save down, or the link broke: see error
    };
    Result result = Result::NoCode;
    // Saved: the code the record was stored under, and whether that is not the one shown
    // because another entry took the shown code meanwhile.
    QString code;
    bool codeMoved = false;
    // Failed: the server's or the driver's error; its description() is the text a screen shows.
    std::optional<DbError> error;

    bool saved() const { return result == Result::Saved; }
};

} // namespace orvane
