#include "netmon/frmPing.h"

#include "app/ScreenGrowth.h"
#include "app/mdlTarovel.h"
#include "netmon/frmPingHistory.h"
#include "platform/Geometry.h"
#include "platform/Messages.h"

#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QShowEvent>
#include <QTimer>

using namespace orvane;

namespace {

// Per list in ping order: the label that names it and its place (twips).
struct ListPlace {
    int label;
    int left;
    int top;
};
constexpr ListPlace kPlaces[PingMonitor::kBranchCount] = {
    {2, 90, 300},   {1, 6960, 3390}, {7, 3600, 6480}, {4, 3510, 3390}, {8, 60, 3420},
    {3, 3510, 300}, {5, 6960, 330},  {6, 7020, 6480}, {9, 60, 6450}};
constexpr int kListWidth = 3375;
constexpr int kListHeight = 2790;
constexpr int kLabelHeight = 195;

// Lists stand in three rows and three columns, whatever their small offsets; labels stand
// in the same rows, above their lists.
int bandOf(int twipsOffset) {
    return twipsOffset < 2000 ? 0 : twipsOffset < 5000 ? 1 : 2;
}
int labelTop(int listTop) {
    constexpr int kLabelTops[] = {60, 3180, 6210};
    return kLabelTops[bandOf(listTop)];
}

const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);

void setTextColour(QListWidget* list, const QColor& colour) {
    QPalette palette = list->palette();
    if (palette.color(QPalette::Text) == colour)
        return; // a palette change repaints and re-polishes the whole list
    palette.setColor(QPalette::Text, colour);
    list->setPalette(palette);
}

} // namespace

frmPing::frmPing(QWidget* parent) : QWidget(parent), log_(pinglog::defaultFolder()) {
    setObjectName(QStringLiteral("frmPing"));
    setWindowTitle(QStringLiteral("VPN CHECK"));
    sizeTwips(this, 10440, 9300);

    QFont labelFont(QStringLiteral("Times New Roman"));
    labelFont.setPointSizeF(8.25);
    labelFont.setBold(true);

    QListWidget** lists[] = {&LstBranch1, &LstBranch2, &LstBranch3, &LstBranch4, &LstBranch5,
                             &LstBranch6, &LstBranch7, &LstBranch8, &LstBranch9};
    QLabel** labels[] = {&Label1, &Label2, &Label3, &Label4, &Label5,
                         &Label6, &Label7, &Label8, &Label9};
    const QVector<Branch>& branches = monitor_.branches();
    std::vector<GridCell> cells;
    for (int i = 0; i < PingMonitor::kBranchCount; ++i) {
        const ListPlace& place = kPlaces[i];
        auto* list = new QListWidget(this);
        list->setObjectName(QStringLiteral("LstBranch%1").arg(i + 1));
        placeTwips(list, place.left, place.top, kListWidth, kListHeight);
        // Lines are alike; without this every new line lays out the whole list again.
        list->setUniformItemSizes(true);
        QPalette palette = list->palette();
        palette.setColor(QPalette::Base, Qt::black);
        list->setPalette(palette);
        setTextColour(list, kGreen);
        *lists[i] = list;
        lists_[static_cast<size_t>(i)] = list;

        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Label%1").arg(place.label));
        label->setFont(labelFont);
        label->setAlignment(Qt::AlignCenter);
        label->setText(i < branches.size() ? branches[i].name.toUpper() : QString());
        placeTwips(label, place.left, labelTop(place.top), kListWidth, kLabelHeight);
        *labels[place.label - 1] = label;
        labels_[static_cast<size_t>(i)] = label;
        showToolTip(i);
        label->installEventFilter(this);
        label->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(label, &QLabel::customContextMenuRequested, this,
                [this, i](const QPoint& at) { labelMenu(i, at); });
        cells.push_back({label, list, bandOf(place.left), bandOf(place.top)});
    }
    GrowAsGrid(this, std::move(cells), 3, 3);

    connect(&monitor_, &PingMonitor::branchAnswered, this, &frmPing::showResult);
    log_.onProblem(this, [this](const QString& problem) {
        logProblem_ = problem;
        for (int i = 0; i < PingMonitor::kBranchCount; ++i)
            showToolTip(i);
    });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &frmPing::Timer1_Timer);
    Timer1->start();
}

frmPing::~frmPing() = default;

void frmPing::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!loaded_)
        Form_Load();
    if (closed_) { // shown again after a close
        closed_ = false;
        Timer1->start();
    }
}

void frmPing::closeEvent(QCloseEvent* event) {
    Form_Unload();
    QWidget::closeEvent(event);
}

void frmPing::Form_Load() {
    loaded_ = true;
    CenterForm(this);
}

void frmPing::Form_Unload() {
    // A closed screen that is kept around must not go on pinging.
    Timer1->stop();
    closed_ = true;
    EchoCleanup();
}

// Pings run on worker threads; a branch still waiting for its answer sits the tick out.
void frmPing::Timer1_Timer() {
    monitor_.tick();
}

void frmPing::showResult(const BranchResult& result) {
    if (result.branch < 0 || result.branch >= PingMonitor::kBranchCount)
        return;
    record(result);
    QListWidget* list = lists_[static_cast<size_t>(result.branch)];
    list->addItem(result.line());
    setTextColour(list, result.success() ? kGreen : kRed);
    // The last line goes to the top as far as the list can scroll.
    list->scrollToItem(list->item(list->count() - 1), QAbstractItemView::PositionAtTop);
    if (list->count() >= kListLimit)
        list->clear();

    if (result.status == kEchoNotSent && !permissionShown_ && monitor_.echo().permissionProblem) {
        const QString problem = monitor_.echo().permissionProblem();
        if (!problem.isEmpty()) {
            permissionShown_ = true;
            MsgBox(problem);
        }
    }
}

void frmPing::record(const BranchResult& result) {
    const QVector<Branch>& table = monitor_.branches();
    const QString name = result.branch < table.size() ? table[result.branch].name : QString();
    log_.append({result.time, name, result.address, result.status, result.statusText(),
                 result.roundTripTime});
    const auto i = static_cast<size_t>(result.branch);
    stats_[i].record(result.success(), result.roundTripTime, result.time);
    showToolTip(result.branch);
}

void frmPing::showToolTip(int branch) {
    const auto i = static_cast<size_t>(branch);
    QString text = stats_[i].toolTip();
    if (!logProblem_.isEmpty())
        text += QStringLiteral("\n\n") + logProblem_;
    labels_[i]->setToolTip(text);
}

bool frmPing::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (int i = 0; i < PingMonitor::kBranchCount; ++i)
            if (watched == labels_[static_cast<size_t>(i)]) {
                History_Click(i);
                return true;
            }
    }
    return QWidget::eventFilter(watched, event);
}

void frmPing::labelMenu(int branch, const QPoint& at) {
    QMenu menu(this);
    menu.addAction(QStringLiteral("History..."), this, [this, branch] { History_Click(branch); });
    menu.exec(labels_[static_cast<size_t>(branch)]->mapToGlobal(at));
}

void frmPing::History_Click(int branch) {
    frmPingHistory::Open(log_.folder(), monitor_.branches(), branch);
}
