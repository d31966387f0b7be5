#pragma once
// Reads and replaces the signed-in user's password in the company user table.
#include "app/Session.h"
#include "platform/Database.h"
#include "shell/LoginData.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace orvane {

// Which row of tarovel.userdetails holds the password of the signed-in user.
struct PasswordOwner {
    QString userName; // the remembered sign-in name, as remembered
    QString userId;   // the session's user id text
    QString unitCode; // the current unit
};

class PasswordStore {
  public:
    explicit PasswordStore(Connection& connection = Session().SharedConnection())
        : connection_(connection) {}

    // The stored password of the owner's row (found by the trimmed name, the id as a
    // number and the unit), NULL kept apart; nothing when no row matches. Throws DbError.
    std::optional<NullableText> currentPassword(const PasswordOwner& owner);

    // Writes the new password with the modification stamps in one transaction and returns
    // how many rows matched; 0 means nothing was written. A failure rolls back and
    // throws DbError.
    qint64 savePassword(const PasswordOwner& owner, const QString& newPassword,
                        const QDateTime& when);

  private:
    Connection& connection_;
};

// Refusals when the owner's row cannot be found or changed; the user keeps the old password.
QString NoUserRowMessage(const PasswordOwner& owner);
QString NothingWrittenMessage(const PasswordOwner& owner);

} // namespace orvane
