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
    QString text;
    // Before sign-in (or in a session without a server) there is nothing to count.
    if (!unit.isEmpty() && Session().hasConnection()) {
        try {
            text = ExpiryStatusText(
                unit,
                ExpiryCounts(Session().SharedConnection()).ForUnit(unit, QDate::currentDate()));
        } catch (const DbError&) {
            // Quietly blank: a count is no reason to interrupt the user.
        }
    }
    setText(text);
}

void ExpiryStatus::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && !text().isEmpty())
        OpenScreen<frmExpiryOverview>();
}

} // namespace orvane
