#include "shell/PasswordStore.h"

#include "app/mdlTarovel.h"
#include "platform/Retry.h"

namespace orvane {

namespace {

// The session keeps the id as text; the statements want it as a number. A text that is
// no number can name no user.
std::optional<qlonglong> idNumber(const QString& userId) {
    bool ok = false;
    const qlonglong id = TrimBlanks(userId).toLongLong(&ok);
    return ok ? std::optional<qlonglong>(id) : std::nullopt;
}

constexpr const char kOwnerCondition[] = " Where   user_id=? and user_name =? And unit_code=?";

} // namespace

std::optional<NullableText> PasswordStore::currentPassword(const PasswordOwner& owner) {
    const std::optional<qlonglong> id = idNumber(owner.userId);
    if (!id)
        return std::nullopt;
    Recordset rs = connection_.query("Select * from tarovel.userdetails where user_name=? And "
                                     "user_id=? And unit_code=?",
                                     {TrimBlanks(owner.userName), *id, owner.unitCode});
    if (rs.eof())
        return std::nullopt;
    NullableText password = StoredPassword(rs);
    rs.close();
    return password;
}

qint64 PasswordStore::savePassword(const PasswordOwner& owner, const QString& newPassword,
                                   const QDateTime& when) {
    const Params key{owner.userId, owner.userName, owner.unitCode};
    return RunWithRetry(connection_, [&]() -> qint64 {
        Transaction transaction(connection_);
        qint64 rows = connection_.execute(
            QStringLiteral("Update tarovel.userdetails Set user_password=?,modified_by=?,"
                           "modified_date=?,modified_time=?") +
                kOwnerCondition,
            Params{newPassword, idNumber(owner.userId).value_or(0), StampDate(when.date()),
                   StampTime(when.time())} +
                key);
        if (rows == 0) {
            // Without the driver's found-rows option an update that leaves every value as it
            // was reports 0; ask whether the row is there at all.
            rows = connection_
                       .query(QStringLiteral("Select count(*) from tarovel.userdetails") +
                                  kOwnerCondition,
                              key)
                       .field(0)
                       .toLongLong();
        }
        if (rows == 0)
            return 0; // the guard rolls back; nothing was changed anyway
        transaction.commit();
        return rows;
    });
}

QString NoUserRowMessage(const PasswordOwner& owner) {
    return QStringLiteral("Your password was not changed: the user record of \"%1\" does not "
                          "belong to the current unit %2. Switch to the unit of your user "
                          "record and try again.")
        .arg(TrimBlanks(owner.userName), owner.unitCode);
}

QString NothingWrittenMessage(const PasswordOwner& owner) {
    return QStringLiteral("Your password was not changed: no user record of \"%1\" in unit %2 "
                          "matched the update, so nothing was written.")
        .arg(owner.userName, owner.unitCode);
}

} // namespace orvane
