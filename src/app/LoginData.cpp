#include "app/LoginData.h"

#include "app/Session.h"

namespace orvane {

bool PasswordMatches(const NullableText& stored, const QString& typed) {
    return stored && *stored == typed;
}

NullableText StoredPassword(const Recordset& rs) {
    return rs.isNull("user_password") ? NullableText() : NullableText(rs.field("user_password"));
}

std::optional<UserRow> FindUser(const QString& trimmedName) {
    Recordset rs = Session().SharedConnection().query(
        "Select * from tarovel.userdetails Where user_name=?", {trimmedName});
    if (rs.eof())
        return std::nullopt;
    UserRow row{rs.field("user_id"), StoredPassword(rs), rs.field("user_login_sys"),
                rs.field("user_admin")};
    rs.close();
    return row;
}

} // namespace orvane
