#pragma once
// A branch's history from the monitor's log: its round trip as a line, its losses as marks,
// its down periods shaded, over the last hour, 24 hours, 7 or 30 days; and a second tab
// comparing every branch's loss over the same range. The log is read on a worker thread,
// so the window answers while a month of it loads.
#include "netmon/HistoryView.h"
#include "netmon/PingMonitor.h"

#include <QFutureWatcher>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>

class QAreaSeries;
class QBarSet;
class QButtonGroup;
class QChart;
class QChartView;
class QFrame;
class QLabel;
class QLineSeries;
class QPushButton;
class QScatterSeries;
class QTabWidget;

namespace orvane {

class frmPingHistory : public QWidget {
    Q_OBJECT
  public:
    frmPingHistory(const QString& folder, const QVector<Branch>& branches, int branch,
                   QWidget* parent = nullptr);
    ~frmPingHistory() override;

    // Opens the branch's window through the screen host (one per branch; an open one comes
    // forward), or as a window of its own when there is none.
    static frmPingHistory* Open(const QString& folder, const QVector<Branch>& branches, int branch);

    QPushButton* CmHour;
    QPushButton* CmDay;
    QPushButton* CmWeek;
    QPushButton* CmMonth;
    QTabWidget* TabViews;
    QChartView* ChHistory;
    QChartView* ChBranches;
    QLabel* LbNote; // lines that could not be read
    QFrame* Frame1;
    QPushButton* CmClose;

    int branch() const { return branch_; }
    QString folder() const { return folder_; }
    HistoryRange range() const { return range_; }
    bool loading() const { return loading_; }
    // The end of every range; tests and the bench put their own in (ms since the epoch).
    void setClock(const std::function<qint64()>& now) { now_ = now; }

    QLineSeries* RoundTripSeries() const;
    QScatterSeries* LossSeries() const;
    QAreaSeries* DownSeries() const;
    QBarSet* LossBars() const;

  signals:
    // The latest range has been read and drawn.
    void loaded();

  public slots:
    void Form_Load();
    void ShowRange(orvane::HistoryRange range);
    void CmClose_Click();

  private:
    void draw(const HistoryView& view);

    QString folder_;
    QVector<Branch> branches_;
    int branch_;
    HistoryRange range_ = HistoryRange::Day;
    std::function<qint64()> now_;
    QButtonGroup* ranges_;
    QChart* history_;
    QChart* compare_;
    bool loading_ = false;
    int request_ = 0; // results of older requests are dropped
    std::shared_ptr<std::atomic<bool>> cancel_;
};

} // namespace orvane
