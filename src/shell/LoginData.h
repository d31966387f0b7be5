#pragma once
// The user row a sign-in looks at.
#include <QString>
#include <optional>

namespace orvane {

struct UserRow {
    QString userId;
    QString password;
    QString loginSys;
    QString admin;
};

// First row of the user table for the trimmed name; nothing when there is none.
std::optional<UserRow> FindUser(const QString& trimmedName);

} // namespace orvane
