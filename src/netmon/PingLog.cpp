#include "netmon/PingLog.h"

#include "netmon/PingDayClose.h"
#include "netmon/PingLogFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <atomic>

namespace orvane {

namespace pinglog {

QString defaultFolder() {
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/Orvane/ping");
}

QString fileName(const QDate& day) {
    return day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".csv");
}

QString header() {
    return QStringLiteral("date,time,branch,address,status,status_text,round_trip_ms");
}

QString field(const QString& text) {
    static const QString special = QStringLiteral(",\"\r\n");
    bool quote = false;
    for (const QChar c : text)
        quote = quote || special.contains(c);
    if (!quote)
        return text;
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

QString csvLine(const PingLogRecord& r) {
    const QStringList fields = {r.time.toString(QStringLiteral("yyyy-MM-dd")),
                                r.time.toString(QStringLiteral("HH:mm:ss.zzz")),
                                field(r.branch),
                                field(r.address),
                                QString::number(r.status),
                                field(r.statusText),
                                QString::number(r.roundTripTime)};
    return fields.join(QLatin1Char(','));
}

QDate dayOf(const QString& fileName) {
    if (!fileName.endsWith(QLatin1String(".csv")))
        return {};
    return QDate::fromString(fileName.chopped(4), QStringLiteral("yyyy-MM-dd"));
}

int removeOldest(const QString& folder, const QString& keep) {
    // A day counts once, whether it is still raw or closed into its gzip and summary.
    QList<QDate> all = days(folder);
    if (all.size() <= kKeepFiles)
        return 0;
    all.removeAll(dayOf(keep));
    return !all.isEmpty() && removeDay(folder, all.first()) ? 1 : 0;
}

} // namespace pinglog

// Lives on the log's thread; everything it does happens there.
class PingLogWriter : public QObject {
  public:
    PingLogWriter(const QString& folder, const PingLog::Today& today, int closeDelayMs)
        : folder_(folder), today_(today), closeDelayMs_(closeDelayMs) {}

    // On the log's thread: closes the days before today after the delay.
    void scheduleClose() {
        if (closeDue_)
            return;
        closeDue_ = true;
        QTimer::singleShot(closeDelayMs_, this, [this] {
            closeDue_ = false;
            const QDate today = today_();
            pinglog::closeDaysBefore(folder_, today, &stopping);
            pinglog::trimToCap(folder_, pinglog::kFolderCapBytes, today);
        });
    }

    std::atomic<bool> stopping{false};

    void setReport(QObject* context, const std::function<void(const QString&)>& report) {
        context_ = context;
        report_ = report;
    }

    void write(const PingLogRecord& record) {
        const QDate day = record.time.date();
        QByteArray bytes;
        QFile file(folder_ + QLatin1Char('/') + pinglog::fileName(day));
        const bool existed = file.exists();
        if (file.size() == 0) // new, or emptied by hand
            bytes = pinglog::header().toUtf8() + "\r\n";
        bytes += pinglog::csvLine(record).toUtf8() + "\r\n";
        const bool folder = QDir().mkpath(folder_);
        const bool written = folder && file.open(QIODevice::Append) &&
                             file.write(bytes) == bytes.size() && file.flush();
        // A new day's file makes room by one; records stamped with any other day (a clock
        // that jumped, a late answer) never prune.
        if (written && !existed && day == today_()) {
            pinglog::removeOldest(folder_, file.fileName().section(QLatin1Char('/'), -1));
            scheduleClose();
        }
        // Today's file grows all day; the cap is looked at every few minutes of full writing.
        if (written && ++writes_ % 4096 == 0)
            pinglog::trimToCap(folder_, pinglog::kFolderCapBytes, today_());
        if (written == !failing_)
            return;
        failing_ = !written;
        QString problem;
        if (failing_) { // once per spell of failures, not once per echo
            const QString reason =
                folder ? file.errorString() : QStringLiteral("the folder cannot be made");
            problem = QStringLiteral("The history cannot be written to %1 (%2).")
                          .arg(QDir::toNativeSeparators(folder_), reason);
            qWarning("ping log: cannot write %s: %s", qPrintable(file.fileName()),
                     qPrintable(reason));
        }
        if (context_ && report_)
            QMetaObject::invokeMethod(
                context_, [report = report_, problem] { report(problem); }, Qt::QueuedConnection);
    }

  private:
    QString folder_;
    PingLog::Today today_;
    int closeDelayMs_;
    bool closeDue_ = false;
    qint64 writes_ = 0;
    QObject* context_ = nullptr;
    std::function<void(const QString&)> report_;
    bool failing_ = false;
};

PingLog::PingLog(const QString& folder, const Today& today, int closeDelayMs)
    : folder_(folder), writer_(new PingLogWriter(folder, today, closeDelayMs)) {
    thread_.setObjectName(QStringLiteral("ping log"));
    writer_->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, writer_, &QObject::deleteLater);
    thread_.start(QThread::LowPriority);
    QMetaObject::invokeMethod(
        writer_, [w = writer_] { w->scheduleClose(); }, Qt::QueuedConnection);
}

PingLog::~PingLog() {
    writer_->stopping = true;
    // Queued behind the records still waiting, so they are written first.
    QMetaObject::invokeMethod(
        writer_, [t = &thread_] { t->quit(); }, Qt::QueuedConnection);
    thread_.wait();
}

void PingLog::append(const PingLogRecord& record) {
    QMetaObject::invokeMethod(
        writer_, [w = writer_, record] { w->write(record); }, Qt::QueuedConnection);
}

void PingLog::onProblem(QObject* context, const std::function<void(const QString&)>& report) {
    QMetaObject::invokeMethod(
        writer_, [w = writer_, context, report] { w->setReport(context, report); },
        Qt::QueuedConnection);
}

void PingLog::flush() {
    QMetaObject::invokeMethod(
        writer_, [] {}, Qt::BlockingQueuedConnection);
}

} // namespace orvane
