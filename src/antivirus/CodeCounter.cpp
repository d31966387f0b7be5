#include "antivirus/CodeCounter.h"

#include "app/mdlTarovel.h"

namespace orvane {

qlonglong UserNumber(const QString& userId) {
    const QString t = TrimBlanks(userId);
    int end = 0;
    if (end < t.length() && (t[end] == '-' || t[end] == '+'))
        ++end;
    while (end < t.length() && t[end].isDigit() && t[end].unicode() < 128)
        ++end;
    bool ok = false;
    const qlonglong value = t.left(end).toLongLong(&ok);
    return ok ? value : 0;
}

QString LockCounter(Connection& db, const QString& table, const QString& key) {
    // The row lock makes a second workstation's save wait here until the first has
    // stored its record and advanced the counter, so both cannot take one code.
    Recordset rs = db.query("Select no_value from " + table + " Where no_id=? For Update", {key});
    if (rs.eof())
        return QString();
    const QString value = rs.field("no_value");
    rs.close();
    return value;
}

qint64 AdvanceCounter(Connection& db, const QString& table, const QString& key,
                      const QString& usedCode) {
    return db.execute("Update " + table + " set no_value=? Where no_id=?",
                      {NextCode(TrimBlanks(usedCode)), key});
}

NewRecordSave ChooseCode(const QString& shownCode, const QString& counterValue) {
    NewRecordSave result;
    if (TrimBlanks(shownCode).isEmpty() || TrimBlanks(counterValue).isEmpty())
        return result;
    result.saved = true;
    result.code = shownCode;
    if (TrimBlanks(counterValue) != TrimBlanks(shownCode)) {
        result.code = counterValue;
        result.codeMoved = true;
    }
    return result;
}

} // namespace orvane
