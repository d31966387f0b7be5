#pragma once
// The units a user may switch to.
#include "app/Session.h"
#include "platform/Database.h"

#include <QString>
#include <QVector>

namespace orvane {

struct UnitRow {
    QString code;
    QString name;
};

// Units granted to the user in the access table and open to this application
// (unit_app_acc = 0), by unit priority. Throws DbError.
QVector<UnitRow> GrantedUnits(Connection& connection, const QString& userId);
// The same on the session's connection.
inline QVector<UnitRow> GrantedUnits(const QString& userId) {
    return GrantedUnits(Session().SharedConnection(), userId);
}

} // namespace orvane
