#include "overview/ExpiryStatus.h"

#include "app/ScreenHost.h"
#include "app/Session.h"
#include "app/SessionNotices.h"
#include "overview/ExpiryCounts.h"
#include "overview/frmExpiryOverview.h"

#include <QMouseEvent>
#include <QTimer>

namespace orvane {

ExpiryStatus::ExpiryStatus(QWidget* parent) : QLabel(parent), timer_(new QTimer(this)) {
    setObjectName("ExpiryCount");
    setCursor(Qt::PointingHandCursor);
    setToolTip("Open the expiry overview");
    timer_->setInterval(RefreshMinutes * 60 * 1000);
    connect(timer_, &QTimer::timeout, this, &ExpiryStatus::Refresh);
    connect(&SessionNotices::instance(), &SessionNotices::unitSwitched, this,
            &ExpiryStatus::Refresh);
    connect(&SessionNotices::instance(), &SessionNotices::workstationsSaved, this,
            &ExpiryStatus::Refresh);
    timer_->start();
    Refresh();
}

void ExpiryStatus::Refresh() {
    const QString unit = Session().CurrentUnitCode;
    const quint64 request = line_.next();
    // Before sign-in (or in a session without a server) there is nothing to count.
    if (unit.isEmpty() || !Session().hasConnection()) {
        setText(QString());
        return;
    }
    const QDate today = QDate::currentDate();
    DataWorker::post<ExpiryTally>(
        this, [unit, today](Connection& c) { return ExpiryCounts(c).ForUnit(unit, today); },
        [this, unit](JobResult<ExpiryTally> result) {
            // A failure blanks quietly: a count is no reason to interrupt the user.
            setText(result.value ? ExpiryStatusText(unit, *result.value) : QString());
        },
        &line_, request);
}

void ExpiryStatus::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && !text().isEmpty())
        OpenScreen<frmExpiryOverview>();
}

} // namespace orvane
