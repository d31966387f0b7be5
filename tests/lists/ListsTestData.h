#pragma once
// Workstation records and session set-up shared by the list and report tests.
#include "app/Session.h"
#include "sheet/SheetComponent.h"
#include "shell/frmMain.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDate>
#include <QMdiSubWindow>
#include <QStringList>
#include <QVariant>

namespace listsdata {

struct Record {
    QString unit;
    QString id;
    QString ip;
    QVariant expiry; // a QDate, or QVariant() for NULL
    QString os = "WINDOWS 10";
    QString user = "USER";
    QString dept = "ACCOUNTS";
    QString remarks = "License : P1  -  I1";
};

inline void insert(const Record& r) {
    orvane::test::TestDb::exec(
        "Insert into hr0910.hr_av_activation(unit_code, sys_id, sys_ip, sys_os, sys_user, "
        "sys_dept, exp_date, sys_remarks) Values(?, ?, ?, ?, ?, ?, ?, ?)",
        {r.unit, r.id, r.ip, r.os, r.user, r.dept, r.expiry, r.remarks});
}

// n records of a unit with serials <prefix>001.. and addresses 198.0.0.1..
inline void insertMany(const QString& unit, const QString& prefix, int n) {
    for (int i = 1; i <= n; ++i)
        insert({unit, QString("%1%2").arg(prefix).arg(i, 3, 10, QLatin1Char('0')),
                QString("198.0.0.%1").arg(i), QDate(2030, 1, 1).addDays(i)});
}

// The fixture, a fresh connection, and user chief working in U1.
inline void freshSession() {
    orvane::test::TestDb::startSession("1", "U1", "First Unit");
    orvane::Session().CurrentUserName = "chief";
}

inline QStringList rowTexts(const orvane::SheetComponent* sheet, int row, int lastCol = 8) {
    QStringList texts;
    for (int c = 1; c <= lastCol; ++c)
        texts << sheet->text(row, c);
    return texts;
}

// Texts of column `col` from row `first` to the last used row.
inline QStringList columnTexts(const orvane::SheetComponent* sheet, int col, int first) {
    QStringList texts;
    for (int r = first; r <= sheet->maxRow(); ++r)
        texts << sheet->text(r, col);
    return texts;
}

inline const orvane::CellStyle& styleAt(const orvane::SheetComponent* sheet, int row, int col) {
    const orvane::SheetModel* m = sheet->sheetModel();
    return m->style(m->styleIndex(row, col));
}

inline void closeAllScreens(orvane::frmMain* main) {
    for (QMdiSubWindow* frame : main->area()->subWindowList()) {
        frame->setAttribute(Qt::WA_DeleteOnClose);
        frame->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace listsdata
