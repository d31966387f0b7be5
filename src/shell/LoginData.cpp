#include "shell/LoginData.h"

#include "app/Session.h"

namespace orvane {

std::optional<UserRow> FindUser(const QString& trimmedName) {
    Recordset rs = Session().SharedConnection().query(
        "Select * from tarovel.userdetails Where user_name=?", {trimmedName});
    if (rs.eof())
        return std::nullopt;
    UserRow row{rs.field("user_id"), rs.field("user_password"), rs.field("user_login_sys"),
                rs.field("user_admin")};
    rs.close();
    return row;
}

} // namespace orvane
