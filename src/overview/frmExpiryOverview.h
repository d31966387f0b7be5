#pragma once
// The expiry overview: one stacked bar per unit the user may report on, its segments the
// workstations expired, expiring within 30 and within 90 days, later, and without a date,
// with a total line below. A click on a segment opens the activation report on that unit and
// range; F5 counts again; the chart can be saved as a picture.
#include "overview/ExpiryCounts.h"

#include <QWidget>

class QBarSet;
class QChart;
class QChartView;
class QFrame;
class QLabel;
class QPushButton;

namespace orvane {

class frmExpiryOverview : public QWidget {
    Q_OBJECT
  public:
    explicit frmExpiryOverview(QWidget* parent = nullptr);

    QChartView* ChOverview;
    QLabel* LbTotal;
    QFrame* Frame1;
    QPushButton* CmRefresh;
    QPushButton* CmSavePicture;
    QPushButton* CmClose;

    // The units of the last count, top bar first, and the set drawing one band of the bars
    // (its values run from the bottom bar up).
    const std::vector<UnitExpiry>& Units() const { return units_; }
    QBarSet* BandSet(ExpiryBand band) const;

  public slots:
    void Form_Load();
    void Refresh();
    void CmSavePicture_Click();
    void CmClose_Click();
    // Opens the report filtered to the bar's unit and the segment's range.
    void Segment_Click(int unitIndex, ExpiryBand band);

  private:
    void showUnits();
    void hover(bool entered, int unitIndex, ExpiryBand band);

    QChart* chart_;
    std::vector<UnitExpiry> units_;
    QDate countedOn_;
};

} // namespace orvane
