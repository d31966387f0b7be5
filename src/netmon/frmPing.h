#pragma once
// "VPN CHECK": nine lists, one per branch network, each gaining a line per ping and
// coloured by the latest answer. Every answer also goes to the monitor's log, and each
// branch's label tells its state and figures on hover, and that the log cannot be written
// while that is so. A double-click on a label, or "History..." in its menu, opens the
// branch's history chart.
#include "netmon/BranchStats.h"
#include "netmon/PingLog.h"
#include "netmon/PingMonitor.h"

#include <QWidget>
#include <array>

class QLabel;
class QListWidget;
class QTimer;

class frmPing : public QWidget {
    Q_OBJECT
  public:
    explicit frmPing(QWidget* parent = nullptr);
    ~frmPing() override;

    // The pinging engine; tests and the bench give it their own echo.
    orvane::PingMonitor& monitor() { return monitor_; }
    orvane::PingLog& log() { return log_; }

    // A list is emptied when it reaches this many lines.
    static constexpr int kListLimit = 1000;

    QListWidget* LstBranch1;
    QListWidget* LstBranch2;
    QListWidget* LstBranch3;
    QListWidget* LstBranch4;
    QListWidget* LstBranch5;
    QListWidget* LstBranch6;
    QListWidget* LstBranch7;
    QListWidget* LstBranch8;
    QListWidget* LstBranch9;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label9;
    QTimer* Timer1;

  public slots:
    void Form_Load();
    void Timer1_Timer();
    // Opens the history window of the branch (index in ping order).
    void History_Click(int branch);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Form_Unload();
    void showResult(const orvane::BranchResult& result);

    void record(const orvane::BranchResult& result);
    void showToolTip(int branch);
    void labelMenu(int branch, const QPoint& at);

    orvane::PingLog log_;
    orvane::PingMonitor monitor_;
    std::array<QListWidget*, orvane::PingMonitor::kBranchCount> lists_{};
    std::array<QLabel*, orvane::PingMonitor::kBranchCount> labels_{};
    std::array<orvane::BranchStats, orvane::PingMonitor::kBranchCount> stats_{};
    bool loaded_ = false;
    bool closed_ = false;
    bool permissionShown_ = false;
    QString logProblem_; // empty while the log is written
};
