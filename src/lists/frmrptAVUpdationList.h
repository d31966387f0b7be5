#pragma once
// The cross-unit activation report: every unit's workstations (or one unit's), narrowed by a
// search text and an expiry condition, grouped under unit headings and ordered by expiry date,
// below a title block. Opens records in the activation screen and exports the sheet.
#include "lists/ActivationListScreen.h"
#include "lists/ActivationQuery.h"

#include <QDateEdit>
#include <QLabel>
#include <QRadioButton>

namespace orvane {

class frmrptAVUpdationList : public ActivationListScreen {
    Q_OBJECT
  public:
    explicit frmrptAVUpdationList(QWidget* parent = nullptr);

    static constexpr int HeaderRows = 4;
    static constexpr int FirstDataRow = 5;

    QLabel* Label1;
    QLineEdit* TxUnitCode;
    QLineEdit* TxUnitName;
    QFrame* Frame2;
    QRadioButton* ChkDate;
    QDateEdit* DtFrom;
    QRadioButton* ChExpired;

  public slots:
    void Form_Load();
    void FillReport();
    // Runs before the key reaches the box, so a refill here sees the text before the key.
    void TxUnitCode_KeyDown(int keyCode);
    void ChExpired_Click();
    void ChkDate_Click();

  protected:
    RowsJob RowsQuery() override;
    bool ShowRows(const std::vector<ActivationGroup>& groups, ActivationSheet::RowCursor& at,
                  int limit) override;
    void RefillFailed(const QString& description) override;

  private:
    void unitLookup();
    ExpiryTexts dates_;
};

} // namespace orvane
