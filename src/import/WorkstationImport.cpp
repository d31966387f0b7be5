#include "import/WorkstationImport.h"

#include "antivirus/CodeCounter.h"
#include "app/mdlTarovel.h"
#include "platform/Retry.h"

#include <QTime>

namespace orvane::importer {

namespace {

const QString kCounters = QStringLiteral("hr0910.numbersetup");

QVariant dateParam(const QDate& date) {
    return date.isValid() ? QVariant(date) : QVariant();
}

const char* const kColumns[kFieldCount] = {"sys_ip",   "sys_os",      "sys_user", "sys_dept",
                                           "exp_date", "sys_remarks", "sys_id"};

const QString kInsert = QStringLiteral(
    "Insert into  hr0910.hr_av_activation(unit_code, sys_id,sys_ip,sys_os,sys_user,exp_date,"
    "sys_dept,sys_remarks, created_by, created_date, created_time) "
    "Values(?,?,?,?,?,?,?,?,?,?,?)");

} // namespace

UnitSnapshot WorkstationImport::Snapshot(const QString& unitCode) {
    UnitSnapshot unit;
    unit.unitCode = unitCode;
    Recordset rs = db_.query("Select * from  hr_av_activation where  unit_code=?", {unitCode});
    while (!rs.eof()) {
        SystemRecord record = ActivationRegister::RecordAt(rs);
        unit.serialsByIp[TrimBlanks(record.ip.toUpper())].append(record.sysId);
        unit.bySerial.insert(record.sysId, record);
        rs.moveNext();
    }
    rs.close();
    Recordset units = db_.query("Select unit_code,unit_name from tarovel.unitmaster");
    while (!units.eof()) {
        unit.unitByName.insert(TrimBlanks(units.field("unit_name")).toUpper(),
                               units.field("unit_code"));
        units.moveNext();
    }
    units.close();
    Recordset sizes =
        db_.query("Select column_name,character_maximum_length,character_octet_length from "
                  "information_schema.columns where table_schema='hr0910' and "
                  "table_name='hr_av_activation'");
    while (!sizes.eof()) {
        const QString name = sizes.field(0).toLower();
        for (int f = 0; f < kFieldCount; ++f) {
            if (name != QLatin1String(kColumns[f]))
                continue;
            unit.maxChars[f] = sizes.isNull(1) ? 0 : sizes.field(1).toLongLong();
            unit.maxBytes[f] = sizes.isNull(2) ? 0 : sizes.field(2).toLongLong();
        }
        sizes.moveNext();
    }
    sizes.close();
    // The date column has no text size.
    unit.maxChars[int(Field::Expiry)] = unit.maxBytes[int(Field::Expiry)] = 10;
    return unit;
}

StoreResult WorkstationImport::Store(const QString& unitCode, const CheckResult& checked,
                                     const QString& userId) {
    std::vector<const CheckedRow*> created, updated;
    for (const CheckedRow& row : checked.rows) {
        if (row.status == RowStatus::New)
            created.push_back(&row);
        else if (row.status == RowStatus::Update)
            updated.push_back(&row);
    }
    if (created.empty() && updated.empty())
        return {};
    const QString key = ActivationRegister::CounterKey(unitCode);
    const qlonglong user = UserNumber(userId);
    return RunWithRetry(db_, [&] {
        const QString today = StampDate(QDate::currentDate());
        const QString now = StampTime(QTime::currentTime());
        StoreResult result;
        Transaction transaction(db_);
        if (!created.empty()) {
            // Held until commit: a screen's save of the same unit waits here.
            QString serial = TrimBlanks(LockCounter(db_, kCounters, key));
            if (serial.isEmpty())
                throw DbError(QStringLiteral("The unit %1 has no workstation counter (%2) in the "
                                             "number setup. Nothing was imported.")
                                  .arg(unitCode, key));
            result.firstSerial = serial;
            for (size_t start = 0; start < created.size(); start += kInsertBatch) {
                const size_t end = std::min(created.size(), start + size_t(kInsertBatch));
                std::vector<Params> rows;
                rows.reserve(end - start);
                for (size_t i = start; i < end; ++i) {
                    const SystemRecord& r = created[i]->record;
                    rows.push_back({unitCode, serial, r.ip, r.os, r.user, dateParam(r.expiry),
                                    r.dept, r.remarks, user, today, now});
                    result.lastSerial = serial;
                    serial = NextCode(serial);
                }
                db_.executeMany(kInsert, rows);
            }
            AdvanceCounter(db_, kCounters, key, result.lastSerial);
            result.inserted = int(created.size());
        }
        for (const CheckedRow* row : updated) {
            const SystemRecord& r = row->record;
            db_.execute(
                "Update hr0910.hr_av_activation Set sys_ip=?,sys_os=?,sys_user=?,exp_date=?,"
                "sys_dept=?,sys_remarks=?, modified_by=?,modified_date=?,modified_time=? Where  "
                "sys_id=? and unit_code=?",
                {r.ip, r.os, r.user, dateParam(r.expiry), r.dept, r.remarks, user, today, now,
                 r.sysId, unitCode});
        }
        result.updated = int(updated.size());
        transaction.commit();
        return result;
    });
}

} // namespace orvane::importer
