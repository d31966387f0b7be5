#include "antivirus/frmAvUpdation.h"

#include "antivirus/ActivationRegister.h"
#include "antivirus/SaveJobs.h"
#include "app/ScreenBusy.h"
#include "app/ScreenHost.h"
#include "app/Screens.h"
#include "app/SessionNotices.h"
#include "app/mdlTarovel.h"
#include "lookup/HelpResults.h"
#include "lookup/frmListView.h"
#include "platform/Messages.h"

#include <QFocusEvent>

namespace orvane {

frmAvUpdation* frmAvUpdation::OpenForNew() {
    frmAvUpdation* screen = OpenScreen<frmAvUpdation>();
    if (!screen)
        return nullptr;
    screen->CmNew_Click();
    return screen;
}

frmAvUpdation* frmAvUpdation::OpenForView(const QString& systemId, const QString& unitCode) {
    if (!CurrentScreenHost())
        return nullptr;
    Session().SelectedSystemId = systemId;
    Session().SelectedSystemUnit = unitCode;
    // A screen opened now loads the record in Form_Load; one already open must be told.
    const bool wasOpen = FindScreen<frmAvUpdation>() != nullptr;
    frmAvUpdation* screen = OpenScreen<frmAvUpdation>();
    if (wasOpen)
        screen->ShowSelectedSystem();
    screen->CmCancel_Click();
    screen->setFocus();
    return screen;
}

void frmAvUpdation::ShowSelectedSystem() {
    if (!Session().SelectedSystemId.isEmpty())
        LoadSystem(Session().SelectedSystemId);
}

void frmAvUpdation::Form_Load() {
    CenterForm(this);
    LbUnit->setText(Session().CurrentUnitName);
    LbUnit->adjustSize();
    shownUnit_ = Session().CurrentUnitCode;
    ShowSelectedSystem();
}

void frmAvUpdation::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    // The focus given to the screen goes on to its first enabled control in tab order.
    for (QWidget* control : std::initializer_list<QWidget*>{TxIP, TxOS, TxUser, TxDepartment,
                                                            TxRemarks, DTExpiry, CmNew})
        if (control->isEnabled()) {
            control->setFocus(event->reason());
            return;
        }
}

void frmAvUpdation::TxRemarks_KeyDown(int keyCode) {
    if (keyCode != 112)
        return;
    QString query = "Select av_code,concat('License : ', av_pur_key,'  -  ',av_install_key) "
                    "from hr_av Order by av_name ";
    qint16 displayFields = 2;
    QString caption = "Antivirus";
    qint32 formWidth = 6000;
    qint32 codeWidth = 0;
    QString codeHeading = "Code";
    qint32 nameWidth = 6000;
    QString nameHeading = "Antivirus";
    qint32 w[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    QString h[8];
    try {
        frmListView::ShowForm(query, displayFields, caption, formWidth, codeWidth, codeHeading,
                              nameWidth, nameHeading, w[0], h[0], w[1], h[1], w[2], h[2], w[3],
                              h[3], w[4], h[4], w[5], h[5], w[6], h[6], w[7], h[7]);
    } catch (const DbError& error) {
        MsgBox(error.description());
        return;
    }
    TxRemarks->setText(HelpResult2);
    HelpResult1.clear();
    HelpResult2.clear();
}

void frmAvUpdation::showDaysRemaining() {
    const qint64 days = QDate::currentDate().daysTo(DTExpiry->date());
    LbExpiry->setText(QString::number(days) + " Days Remaining");
}

void frmAvUpdation::DTExpiry_Change() {
    showDaysRemaining();
}
void frmAvUpdation::DTExpiry_Click() {
    showDaysRemaining();
}

void frmAvUpdation::LoadSystem(const QString& id) {
    std::optional<SystemRecord> record;
    try {
        const QString& unit = Session().SelectedSystemUnit;
        record = unit.isEmpty() ? ActivationRegister().Load(id, Session().CurrentUnitCode)
                                : ActivationRegister().LoadOfUnit(id, unit);
    } catch (const DbError& error) {
        MsgBox(error.description());
        return;
    }
    if (!record)
        return;
    TxCode->setText(record->sysId);
    shownUnit_ = record->unitCode;
    QString unitName;
    try {
        unitName = GetUnitName(record->unitCode);
    } catch (const DbError& error) {
        MsgBox(error.description());
    }
    LbUnit->setText(unitName);
    LbUnit->adjustSize();
    TxIP->setText(record->ip);
    TxOS->setText(record->os);
    TxUser->setText(record->user);
    TxDepartment->setText(record->dept);
    TxRemarks->setText(record->remarks);
    if (record->expiry.isValid()) {
        DTExpiry->setDate(record->expiry);
        showDaysRemaining();
    } else {
        // No expiry on record: the picker rests on today and no count is shown.
        const QSignalBlocker quiet(DTExpiry);
        DTExpiry->setDate(QDate::currentDate());
        LbExpiry->clear();
    }
}

void frmAvUpdation::ClearEntry() {
    for (QLineEdit* box : {TxCode, TxIP, TxOS, TxUser, TxDepartment, TxRemarks})
        box->clear();
    DTExpiry->setDate(QDate::currentDate());
    LbExpiry->clear();
}

void frmAvUpdation::CmNew_Click() {
    if (entry_.browsing()) {
        entry_.enter(EntryState::NewEntry);
        ClearEntry();
        try {
            TxCode->setText(
                ReadNumberSetup(ActivationRegister::CounterKey(Session().CurrentUnitCode)));
        } catch (const DbError& error) {
            MsgBox(error.description());
        }
        shownUnit_ = Session().CurrentUnitCode;
        TxIP->setFocus();
        return;
    }
    if (TrimBlanks(TxIP->text()).isEmpty()) {
        MsgBox("Please Enter the IP .   ", MsgIcon::Critical);
        TxIP->setFocus();
        return;
    }
    if (TrimBlanks(TxOS->text()).isEmpty()) {
        MsgBox("Please Enter the Operating System.   ", MsgIcon::Critical);
        TxOS->setFocus();
        return;
    }
    if (TrimBlanks(TxUser->text()).isEmpty()) {
        MsgBox("Please Enter the User Name .  ");
        TxUser->setFocus();
        return;
    }
    if (EditMode() ? SaveEditedSystem() : SaveNewSystem()) {
        SetEntryMode(false);
        AnnounceWorkstationsSaved();
    }
}

namespace {
SystemRecord typedRecord(const frmAvUpdation& screen) {
    SystemRecord typed;
    typed.sysId = screen.TxCode->text();
    typed.ip = screen.TxIP->text();
    typed.os = screen.TxOS->text();
    typed.user = screen.TxUser->text();
    typed.dept = screen.TxDepartment->text();
    typed.remarks = screen.TxRemarks->text();
    typed.expiry = screen.DTExpiry->date();
    return typed;
}
} // namespace

bool frmAvUpdation::SaveNewSystem() {
    const QString unit = Session().CurrentUnitCode;
    const QString shown = TxCode->text();
    const QString user = Session().CurrentUserId;
    const SystemRecord typed = typedRecord(*this);
    NewEntryOutcome outcome;
    try {
        outcome = AwaitBusy(this, NewWorkstationJob(unit, shown, typed, user));
    } catch (const DbError& error) { // the save's connection could not be opened
        outcome.result = NewEntryOutcome::Result::Failed;
        outcome.error = error;
    }
    const bool saved =
        ShowNewEntry(outcome, shown, {"serial number", "Serial No", "Serial No"},
                     [this](const QString& stored) { TxCode->setText(TrimBlanks(stored)); });
    if (saved)
        shownUnit_ = unit;
    return saved;
}

bool frmAvUpdation::SaveEditedSystem() {
    const QString unit = Session().CurrentUnitCode;
    const QString code = TxCode->text();
    const QString user = Session().CurrentUserId;
    const SystemRecord typed = typedRecord(*this);
    qint64 rows = 0;
    try {
        rows = AwaitBusy(this, EditedWorkstationJob(unit, code, typed, user));
    } catch (const DbError& error) {
        MsgBox(error.description());
        return false;
    }
    if (rows > 0)
        return true;
    if (!shownUnit_.isEmpty() && shownUnit_ != unit)
        MsgBox("This record belongs to another unit, so nothing was saved.   \r\n"
               "Switch to that unit to change it.   ");
    else
        MsgBox("Nothing was saved: this unit has no record with Serial No " +
               TrimBlanks(TxCode->text()) + ".   ");
    return false;
}

void frmAvUpdation::CmEdit_Click() {
    entry_.enter(EntryState::EditEntry);
}

void frmAvUpdation::CmCancel_Click() {
    SetEntryMode(false);
}

} // namespace orvane
