#pragma once
// What the workstation list and the cross-unit report share: the sheet, the search box and
// its button, the five command buttons with their keys, opening a listed record or a new one
// in the activation screen, and the export. Each screen supplies its own refill.
#include "lists/RefillCoalescer.h"
#include "sheet/SheetComponent.h"

#include <QFrame>
#include <QHash>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace orvane {

class KeyMap;

class ActivationListScreen : public QWidget {
    Q_OBJECT
  public:
    static inline const QString Caption = QStringLiteral("Antivirus Updation List");

    SheetComponent* Fbook;
    QLineEdit* TxSearch;
    QPushButton* CmSearch;
    QFrame* Frame1;
    QPushButton* CmNew;
    QPushButton* Command2;
    QPushButton* CmExport;
    QPushButton* CmView;
    QPushButton* CmClose;

    // Refills run since the screen was made, whatever started them.
    int RefillsRun() const { return refills_->Runs(); }
    bool RefillPending() const { return refills_->Pending(); }
    // Runs a refill that typing left pending, so the sheet shows the current filters.
    void RunPendingRefill() { refills_->RunPending(); }
    // Off: every change of the search text refills at once, however many keys wait.
    void SetRefillCoalescing(bool on) { refills_->SetEnabled(on); }

  public slots:
    void CmNew_Click();
    void CmView_Click();
    void Command2_Click();
    void CmClose_Click();
    void CmExport_Click();
    void CmSearch_Click();
    void Fbook_DblClick(int row, int col);
    void TxSearch_Change();
    void TxSearch_KeyPress(int keyAscii);

  protected:
    explicit ActivationListScreen(QWidget* parent = nullptr);
    // Rebuilds the sheet's data area from the filters; reports database errors itself. Each
    // implementation calls RefillStarted() first.
    virtual void Refill() = 0;
    void RefillStarted() { refills_->Started(); }
    void ShowTypedText();
    RefillCoalescer* refills_;
    // A row whose column 2 is empty is ignored; any other opens the serial in column 7.
    void OpenRecordOfRow(int row);
    // Shows a database failure of a refill and leaves the sheet with its header rows only.
    void ReportRefillError(const QString& description, int firstDataRow);
    // The unit of each record row, kept beside the sheet (the workbook carries no unit
    // column) so a record opens in its own unit.
    void RememberRowUnit(int row, const QString& unitCode) { rowUnits_.insert(row, unitCode); }
    void ForgetRowUnits() { rowUnits_.clear(); }
    // The screen's declared keys; a screen adds its own to them.
    KeyMap* Keys;

  private:
    QHash<int, QString> rowUnits_;
};

} // namespace orvane
