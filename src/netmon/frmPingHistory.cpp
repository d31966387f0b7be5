#include "netmon/frmPingHistory.h"

#include "app/KeyMap.h"
#include "app/ScreenGrowth.h"
#include "app/ScreenHost.h"
#include "app/Screens.h"
#include "app/mdlTarovel.h"
#include "netmon/HistoryCharts.h"
#include "netmon/HistoryLoad.h"
#include "platform/Geometry.h"

#include <QButtonGroup>
#include <QChartView>
#include <QDateTime>
#include <QFrame>
#include <QLabel>
#include <QLegend>
#include <QPushButton>
#include <QTabWidget>
#include <QtConcurrent>
#include <algorithm>

namespace orvane {

namespace {

struct RangeButton {
    HistoryRange range;
    const char* caption;
    const char* name;
    const char* title;
};
constexpr RangeButton kRanges[] = {
    {HistoryRange::Hour, "Last Hour", "CmHour", "last hour"},
    {HistoryRange::Day, "24 Hours", "CmDay", "last 24 hours"},
    {HistoryRange::Week, "7 Days", "CmWeek", "last 7 days"},
    {HistoryRange::Month, "30 Days", "CmMonth", "last 30 days"},
};

QStringList namesOf(const QVector<Branch>& branches) {
    QStringList names;
    for (const Branch& b : branches)
        names << b.name;
    return names;
}

} // namespace

frmPingHistory::frmPingHistory(const QString& folder, const QVector<Branch>& branches, int branch,
                               QWidget* parent)
    : QWidget(parent), folder_(folder), branches_(branches), branch_(branch),
      now_([] { return QDateTime::currentMSecsSinceEpoch(); }), ranges_(new QButtonGroup(this)),
      history_(new QChart), compare_(new QChart) {
    setObjectName(QStringLiteral("frmPingHistory"));
    const QString name = branch >= 0 && branch < branches.size() ? branches[branch].name : "";
    setWindowTitle(QStringLiteral("History - %1").arg(name.toUpper()));
    sizeTwips(this, 11535, 7200);

    QPushButton** buttons[] = {&CmHour, &CmDay, &CmWeek, &CmMonth};
    for (int i = 0; i < 4; ++i) {
        auto* button = CommandButton(kRanges[i].caption, kRanges[i].name, this);
        button->setCheckable(true);
        placeTwips(button, 60 + i * 1320, 60, 1260, 375);
        ranges_->addButton(button, i);
        *buttons[i] = button;
    }
    connect(ranges_, &QButtonGroup::idClicked, this,
            [this](int id) { ShowRange(kRanges[id].range); });

    history_->legend()->setAlignment(Qt::AlignBottom);
    compare_->legend()->hide();
    TabViews = new QTabWidget(this);
    TabViews->setObjectName(QStringLiteral("TabViews"));
    ChHistory = new QChartView(history_);
    ChHistory->setObjectName(QStringLiteral("ChHistory"));
    ChBranches = new QChartView(compare_);
    ChBranches->setObjectName(QStringLiteral("ChBranches"));
    TabViews->addTab(ChHistory, QStringLiteral("Round Trip"));
    TabViews->addTab(ChBranches, QStringLiteral("All Branches"));
    placeTwips(TabViews, 30, 495, 11475, 5640);
    LbNote = new QLabel(this);
    LbNote->setObjectName(QStringLiteral("LbNote"));
    placeTwips(LbNote, 90, 6165, 11355, 255);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);
    placeTwips(Frame1, 0, 6450, 11535, 750);
    CmClose = CommandButton(QStringLiteral("Close - F9"), "CmClose", Frame1);
    placeTwips(CmClose, 5175, 195, 1185, 375);
    connect(CmClose, &QPushButton::clicked, this, &frmPingHistory::CmClose_Click);
    (new KeyMap(this))
        ->screenKey(Qt::Key_F9, [this] { CmClose_Click(); })
        .screenKey(Qt::Key_Escape, [this] { CmClose_Click(); });
    GrowWithWindow(this, TabViews, {LbNote, Frame1}, {LbNote});
}

frmPingHistory::~frmPingHistory() {
    if (cancel_)
        *cancel_ = true; // a load still running stops soon; its result goes nowhere
}

frmPingHistory* frmPingHistory::Open(const QString& folder, const QVector<Branch>& branches,
                                     int branch) {
    ScreenHost* host = CurrentScreenHost();
    if (host) {
        for (QWidget* screen : host->screens()) {
            auto* open = qobject_cast<frmPingHistory*>(screen);
            if (open && open->branch() == branch && open->folder() == folder) {
                host->present(open);
                return open;
            }
        }
    }
    auto* screen = new frmPingHistory(folder, branches, branch);
    if (host)
        host->adopt(screen);
    else
        screen->setAttribute(Qt::WA_DeleteOnClose);
    screen->Form_Load();
    if (host)
        host->present(screen);
    else
        screen->show();
    return screen;
}

void frmPingHistory::Form_Load() {
    if (parentWidget())
        CenterForm(this);
    ShowRange(range_);
}

void frmPingHistory::ShowRange(HistoryRange range) {
    range_ = range;
    const int index = int(range);
    ranges_->button(index)->setChecked(true);
    if (cancel_)
        *cancel_ = true;
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    HistoryRequest request;
    request.folder = folder_;
    request.branches = namesOf(branches_);
    request.branch = branch_;
    request.to = now_();
    request.from = request.to - RangeMs(range);
    // A pixel column each; before the chart has been laid out, the view's width less the
    // axes' room.
    const int plot = int(history_->plotArea().width());
    request.columns = std::clamp(plot > 50 ? plot : ChHistory->width() - 100, 100, 4000);
    loading_ = true;
    history_->setTitle(QStringLiteral("%1, %2: reading the log...")
                           .arg(windowTitle().section(QStringLiteral(" - "), 1),
                                QLatin1String(kRanges[index].title)));
    const int id = ++request_;
    auto* watcher = new QFutureWatcher<HistoryView>(this);
    connect(watcher, &QFutureWatcher<HistoryView>::finished, this, [this, watcher, id] {
        watcher->deleteLater();
        if (id == request_)
            draw(watcher->result());
    });
    watcher->setFuture(QtConcurrent::run(
        [request, cancel = cancel_] { return LoadHistory(request, cancel.get()); }));
}

void frmPingHistory::draw(const HistoryView& view) {
    loading_ = false;
    const QString branchName = windowTitle().section(QStringLiteral(" - "), 1);
    history_->setTitle(
        QStringLiteral("%1, %2").arg(branchName, QLatin1String(kRanges[int(range_)].title)));
    compare_->setTitle(
        QStringLiteral("Loss by branch, %1").arg(QLatin1String(kRanges[int(range_)].title)));
    historychart::showRoundTrip(history_, view, range_);
    QStringList captions;
    for (const QString& name : namesOf(branches_))
        captions << name.toUpper();
    historychart::showBranchLoss(compare_, view, captions);
    LbNote->setText(UnreadableNote(view.unreadable));
    emit loaded();
}

QLineSeries* frmPingHistory::RoundTripSeries() const {
    return historychart::roundTrip(history_);
}
QScatterSeries* frmPingHistory::LossSeries() const {
    return historychart::losses(history_);
}
QAreaSeries* frmPingHistory::DownSeries() const {
    return historychart::down(history_);
}
QBarSet* frmPingHistory::LossBars() const {
    return historychart::lossBars(compare_);
}

void frmPingHistory::CmClose_Click() {
    UnloadScreen(this);
}

} // namespace orvane
