#include "antivirus/ActivationRegister.h"

#include "app/Session.h"
#include "app/mdlTarovel.h"
#include "platform/Retry.h"

#include <QTime>

namespace orvane {

namespace {
QVariant dateParam(const QDate& date) {
    return date.isValid() ? QVariant(date) : QVariant();
}
} // namespace

ActivationRegister::ActivationRegister() : db_(&Session().SharedConnection()) {}
ActivationRegister::ActivationRegister(Connection& db) : db_(&db) {}

std::optional<SystemRecord> ActivationRegister::Load(const QString& sysId,
                                                     const QString& preferredUnit) {
    Recordset rs = db_->query(
        "Select * from  hr_av_activation where  sys_id=? order by (unit_code<>?), unit_code",
        {TrimBlanks(sysId), preferredUnit});
    return read(rs);
}

std::optional<SystemRecord> ActivationRegister::LoadOfUnit(const QString& sysId,
                                                           const QString& unitCode) {
    Recordset rs = db_->query("Select * from  hr_av_activation where  sys_id=? and Unit_Code=?",
                              {TrimBlanks(sysId), unitCode});
    return read(rs);
}

std::optional<SystemRecord> ActivationRegister::read(Recordset& rs) {
    if (rs.eof())
        return std::nullopt;
    SystemRecord record = RecordAt(rs);
    rs.close();
    return record;
}

SystemRecord ActivationRegister::RecordAt(Recordset& rs) {
    SystemRecord record;
    record.sysId = rs.field("sys_id");
    record.unitCode = rs.field("Unit_Code");
    record.ip = rs.field("sys_ip");
    record.os = rs.field("sys_os");
    record.user = rs.field("sys_user");
    record.dept = rs.field("sys_dept");
    record.remarks = rs.field("sys_remarks");
    // A NULL or zero date reads as no date.
    if (!rs.isNull("exp_date"))
        record.expiry = QDate::fromString(rs.field("exp_date").left(10), "yyyy-MM-dd");
    return record;
}

SystemRecord ActivationRegister::CleanForInsert(const SystemRecord& typed) {
    SystemRecord clean = typed;
    clean.sysId = TrimBlanks(typed.sysId);
    clean.ip = TrimBlanks(typed.ip.toUpper());
    clean.os = TrimBlanks(typed.os.toUpper());
    clean.user = TrimBlanks(typed.user.toUpper());
    clean.dept = TrimBlanks(typed.dept);
    clean.remarks = TrimBlanks(typed.remarks);
    return clean;
}

SystemRecord ActivationRegister::CleanForUpdate(const SystemRecord& typed) {
    SystemRecord clean = typed;
    clean.sysId = TrimBlanks(typed.sysId);
    clean.ip = TrimBlanks(typed.ip.toUpper());
    clean.os = TrimBlanks(typed.os);
    clean.user = TrimBlanks(typed.user);
    clean.dept = typed.dept.toUpper();
    clean.remarks = TrimBlanks(typed.remarks);
    return clean;
}

NewRecordSave ActivationRegister::InsertNew(const QString& unitCode, const QString& shownCode,
                                            const SystemRecord& typed, const QString& userId) {
    if (TrimBlanks(shownCode).isEmpty())
        return {};
    const QString key = CounterKey(unitCode);
    return RunWithRetry(*db_, [&] {
        Transaction transaction(*db_);
        NewRecordSave save = ChooseCode(shownCode, LockCounter(*db_, "hr0910.numbersetup", key));
        if (!save.saved)
            return save; // the guard rolls back the lock
        SystemRecord clean = CleanForInsert(typed);
        clean.sysId = TrimBlanks(save.code);
        db_->execute(
            "Insert into  hr0910.hr_av_activation(unit_code, sys_id,sys_ip,sys_os,sys_user,"
            "exp_date,sys_dept,sys_remarks, created_by, created_date, created_time) "
            "Values(?,?,?,?,?,?,?,?,?,?,?)",
            {unitCode, clean.sysId, clean.ip, clean.os, clean.user, dateParam(clean.expiry),
             clean.dept, clean.remarks, UserNumber(userId), StampDate(QDate::currentDate()),
             StampTime(QTime::currentTime())});
        AdvanceCounter(*db_, "hr0910.numbersetup", key, save.code);
        transaction.commit();
        return save;
    });
}

qint64 ActivationRegister::UpdateExisting(const QString& unitCode, const QString& sysId,
                                          const SystemRecord& typed, const QString& userId) {
    const SystemRecord clean = CleanForUpdate(typed);
    return RunWithRetry(*db_, [&] {
        Transaction transaction(*db_);
        // Rows matched, not rows changed: the connection's options include "found rows".
        const qint64 rows = db_->execute(
            "Update hr0910.hr_av_activation Set sys_ip=?,sys_os=?,sys_user=?,exp_date=?,"
            "sys_dept=?,sys_remarks=?, modified_by=?,modified_date=?,modified_time=? Where  "
            "sys_id=? and unit_code=?",
            {clean.ip, clean.os, clean.user, dateParam(clean.expiry), clean.dept, clean.remarks,
             UserNumber(userId), StampDate(QDate::currentDate()), StampTime(QTime::currentTime()),
             TrimBlanks(sysId), unitCode});
        transaction.commit();
        return rows;
    });
}

} // namespace orvane
