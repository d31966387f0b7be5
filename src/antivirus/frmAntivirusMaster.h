#pragma once
// The register of antivirus products: a grid of every product, New/Save, Edit, Cancel,
// Close. The statements live in AntivirusRegister.
#include "app/EntryScreen.h"
#include "lookup/FlexGrid.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace orvane {

class frmAntivirusMaster : public EntryScreen {
    Q_OBJECT
  public:
    explicit frmAntivirusMaster(QWidget* parent = nullptr);

    QLabel* Label3;
    QLabel* Label1;
    QLineEdit* TxCode;
    QLabel* Label2;
    QLineEdit* TxName;
    QLabel* Label4;
    QLineEdit* TxPurchaseKey;
    QLabel* Label5;
    QLineEdit* TxInstallKey;
    FlexGrid* GrPosition;
    // The name the edit started from; the edit's duplicate check leaves it out.
    QString EditName;

  public slots:
    void Form_Load();
    void CmNew_Click() override;
    void CmEdit_Click() override;
    void CmCancel_Click() override;
    void GrPosition_Click();

  public:
    bool SaveNewAntivirus();
    bool SaveEditedAntivirus();
    void FillGrid();
    void ClearEntry();

  private:
    void loadGridRow(int row);
};

} // namespace orvane
