#pragma once
// One workstation's antivirus record: serial number from the unit's counter, address,
// system, user, department, licence text and expiry date with the days remaining.
// The statements live in ActivationRegister.
#include "app/EntryScreen.h"

#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace orvane {

class frmAvUpdation : public EntryScreen {
    Q_OBJECT
  public:
    explicit frmAvUpdation(QWidget* parent = nullptr);

    // The two ways the workstation lists open this screen, through the main window.
    // New: open (or bring forward) and run New, which saves instead when an entry is open.
    static frmAvUpdation* OpenForNew();
    // View: SelectedSystemId = systemId, open (or bring forward) showing that record, in
    // browse state, focused. nullptr without a main window.
    // With a unit code, exactly that unit's record is shown (SelectedSystemUnit).
    static frmAvUpdation* OpenForView(const QString& systemId, const QString& unitCode = QString());
    // Shows the record named by SelectedSystemId (and SelectedSystemUnit), when it names one.
    void ShowSelectedSystem();

    QLabel* Label3;
    QFrame* Frame2;
    QLabel* Label8;
    QLineEdit* TxCode;
    QLabel* LbUnit;
    QLabel* Label2;
    QLineEdit* TxIP;
    QLabel* Label6;
    QLineEdit* TxOS;
    QLabel* Label5;
    QLineEdit* TxUser;
    QLabel* Label4;
    QLineEdit* TxDepartment;
    QLabel* Label7;
    QLineEdit* TxRemarks;
    QLabel* Label1;
    QDateEdit* DTExpiry;
    QLabel* LbExpiry;

  public slots:
    void Form_Load();
    void CmNew_Click() override;
    void CmEdit_Click() override;
    void CmCancel_Click() override;
    void DTExpiry_Change();
    void DTExpiry_Click();
    // F1 (key code 112) opens the licence pick.
    void TxRemarks_KeyDown(int keyCode);

  public:
    void LoadSystem(const QString& id);
    bool SaveNewSystem();
    bool SaveEditedSystem();
    void ClearEntry();

  protected:
    void focusInEvent(QFocusEvent* event) override;

  private:
    void showDaysRemaining();
    // The unit of the record on show: an update only reaches records of the current unit.
    QString shownUnit_;
};

} // namespace orvane
