#include "netmon/PingLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

int removeExpired(const QString& folder, const QDate& today) {
    int removed = 0;
    QDir dir(folder);
    const QStringList names = dir.entryList({QStringLiteral("*.csv")}, QDir::Files);
    for (const QString& name : names) {
        const QDate day = QDate::fromString(name.chopped(4), QStringLiteral("yyyy-MM-dd"));
        if (day.isValid() && day.daysTo(today) > kKeepDays && dir.remove(name))
            ++removed;
    }
    return removed;
}

} // namespace pinglog

// Lives on the log's thread; everything it does happens there.
class PingLogWriter : public QObject {
  public:
    explicit PingLogWriter(const QString& folder) : folder_(folder) {}

    void expire(const QDate& today) {
        pinglog::removeExpired(folder_, today);
        checked_ = today;
    }

    void write(const PingLogRecord& record) {
        const QDate day = record.time.date();
        if (day != checked_)
            expire(day);
        QByteArray bytes;
        QFile file(folder_ + QLatin1Char('/') + pinglog::fileName(day));
        if (file.size() == 0) // new, or emptied by hand
            bytes = pinglog::header().toUtf8() + "\r\n";
        bytes += pinglog::csvLine(record).toUtf8() + "\r\n";
        const bool written = QDir().mkpath(folder_) && file.open(QIODevice::Append) &&
                             file.write(bytes) == bytes.size() && file.flush();
        // One warning per spell of failures, not one per echo.
        if (!written && !failing_)
            qWarning("ping log: cannot write %s: %s", qPrintable(file.fileName()),
                     qPrintable(file.errorString()));
        failing_ = !written;
    }

  private:
    QString folder_;
    QDate checked_;
    bool failing_ = false;
};

PingLog::PingLog(const QString& folder, const QDate& today)
    : folder_(folder), writer_(new PingLogWriter(folder)) {
    thread_.setObjectName(QStringLiteral("ping log"));
    writer_->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, writer_, &QObject::deleteLater);
    thread_.start(QThread::LowPriority);
    QMetaObject::invokeMethod(
        writer_, [w = writer_, today] { w->expire(today); }, Qt::QueuedConnection);
}

PingLog::~PingLog() {
    // Queued behind the records still waiting, so they are written first.
    QMetaObject::invokeMethod(
        writer_, [t = &thread_] { t->quit(); }, Qt::QueuedConnection);
    thread_.wait();
}

void PingLog::append(const PingLogRecord& record) {
    QMetaObject::invokeMethod(
        writer_, [w = writer_, record] { w->write(record); }, Qt::QueuedConnection);
}

void PingLog::flush() {
    QMetaObject::invokeMethod(
        writer_, [] {}, Qt::BlockingQueuedConnection);
}

} // namespace orvane
