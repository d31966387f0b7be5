#pragma once
// The workstation list of the current unit: its activation records in serial order,
// optionally narrowed by a search text. The entry point to the activation screen for new and
// existing workstations; exports its sheet like the report.
#include "lists/ActivationListScreen.h"
#include "lists/ActivationQuery.h"

#include <QLabel>

namespace orvane {

class frmAVList : public ActivationListScreen {
    Q_OBJECT
  public:
    explicit frmAVList(QWidget* parent = nullptr);

    static constexpr int HeaderRows = 1;
    static constexpr int FirstDataRow = 2;
    // After a refill the last this many rows are in view.
    static constexpr int RowsInView = 15;

    QLabel* Label3;
    QLabel* LbUnit;
    QLabel* Label1;

  public slots:
    void Form_Load();
    void FillList();

  protected:
    RowsJob RowsQuery() override;
    bool ShowRows(const std::vector<ActivationGroup>& groups, ActivationSheet::RowCursor& at,
                  int limit) override;
    void RefillFailed(const QString& description) override;

  private:
    void showLastRows(int lastRow);
    ExpiryTexts dates_;
};

} // namespace orvane
