#include "antivirus/AntivirusRegister.h"

#include "app/Session.h"
#include "app/mdlTarovel.h"
#include "platform/Retry.h"

#include <QDate>
#include <QTime>

namespace orvane {

AntivirusRegister::AntivirusRegister() : db_(&Session().SharedConnection()) {}
AntivirusRegister::AntivirusRegister(Connection& db) : db_(&db) {}

QVector<AntivirusRow> AntivirusRegister::Rows() {
    QVector<AntivirusRow> rows;
    Recordset rs = db_->query("Select * From hr_av order by av_code");
    while (!rs.eof()) {
        rows.append({rs.field("av_code"), rs.field("av_name"), rs.field("av_pur_key"),
                     rs.field("av_install_key")});
        rs.moveNext();
    }
    rs.close();
    return rows;
}

bool AntivirusRegister::NameExists(const QString& typedName) {
    Recordset rs = db_->query("Select * from hr_av Where Trim(av_name)=?", {TrimBlanks(typedName)});
    const bool found = !rs.eof();
    rs.close();
    return found;
}

bool AntivirusRegister::NameTakenByOther(const QString& editName, const QString& typedName) {
    Recordset rs = db_->query("Select * from hr_av Where Trim(av_name)<>? And  Trim(av_name)= ?",
                              {TrimBlanks(editName), TrimBlanks(typedName)});
    const bool found = !rs.eof();
    rs.close();
    return found;
}

NewRecordSave AntivirusRegister::InsertNew(const QString& shownCode, const QString& name,
                                           const QString& purchaseKey, const QString& installKey,
                                           const QString& userId) {
    if (TrimBlanks(shownCode).isEmpty())
        return {};
    return RunWithRetry(*db_, [&] {
        Transaction transaction(*db_);
        NewRecordSave save = ChooseCode(shownCode, LockCounter(*db_, "numbersetup", CounterKey));
        if (!save.saved)
            return save; // the guard rolls back the lock
        db_->execute("Insert into hr_av(av_code, av_name, av_pur_key, av_install_key, created_by, "
                     "created_date, created_time) Values(?, ?,?,?,?,?,? )",
                     {save.code, TrimBlanks(name), TrimBlanks(purchaseKey), TrimBlanks(installKey),
                      UserNumber(userId), StampDate(QDate::currentDate()),
                      StampTime(QTime::currentTime())});
        AdvanceCounter(*db_, "numbersetup", CounterKey, save.code);
        transaction.commit();
        return save;
    });
}

qint64 AntivirusRegister::UpdateExisting(const QString& code, const QString& name,
                                         const QString& purchaseKey, const QString& installKey,
                                         const QString& userId) {
    return RunWithRetry(*db_, [&] {
        Transaction transaction(*db_);
        // The connection reports rows matched (its options include "found rows"), so an
        // update that leaves the values as they were still counts its row.
        const qint64 rows = db_->execute(
            "Update hr_av Set av_name=?,av_pur_key=?,av_install_key=?, modified_by=?,"
            "modified_date=?,modified_time=? Where  av_code=?",
            {name, TrimBlanks(purchaseKey), TrimBlanks(installKey), UserNumber(userId),
             StampDate(QDate::currentDate()), StampTime(QTime::currentTime()), TrimBlanks(code)});
        transaction.commit();
        return rows;
    });
}

} // namespace orvane
