#pragma once
// The register of antivirus products: a grid of every product, New/Save, Edit, Cancel,
// Close. The statements live in AntivirusRegister.
#include "lookup/FlexGrid.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace orvane {

class frmAntivirusMaster : public QWidget {
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
    QFrame* Frame1;
    QPushButton* CmNew;
    QPushButton* CmEdit;
    QPushButton* CmCancel;
    QPushButton* CmClose;

    // True while the pending save is an update of an existing product.
    bool EditMode = false;
    // The name the edit started from; the edit's duplicate check leaves it out.
    QString EditName;

  public slots:
    void Form_Load();
    // Screen-level keys; true for the keys it acts on.
    bool Form_KeyDown(int keyCode);
    void CmNew_Click();
    void CmEdit_Click();
    void CmCancel_Click();
    void CmClose_Click();
    void GrPosition_Click();
    void TxName_KeyPress(int keyAscii);
    void TxPurchaseKey_KeyPress(int keyAscii);
    void TxInstallKey_KeyPress(int keyAscii);

  public:
    bool SaveNewAntivirus();
    bool SaveEditedAntivirus();
    void SetEntryMode(bool on);
    void FillGrid();
    void ClearEntry();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void loadGridRow(int row);
};

} // namespace orvane
