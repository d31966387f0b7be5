#pragma once
// The user row a sign-in looks at.
#include "platform/Database.h"

#include <QString>
#include <optional>

namespace orvane {

// A stored text that may be NULL, kept apart from empty text.
using NullableText = std::optional<QString>;

struct UserRow {
    QString userId;
    NullableText password;
    QString loginSys;
    QString admin;
};

// A NULL stored password matches nothing, not even an empty password box.
bool PasswordMatches(const NullableText& stored, const QString& typed);

// First row of the user table for the trimmed name; nothing when there is none.
std::optional<UserRow> FindUser(const QString& trimmedName);
// The user_password column of the current row.
NullableText StoredPassword(const Recordset& rs);

} // namespace orvane
