#include "netmon/PingDayClose.h"

#include "netmon/PingLog.h"
#include "netmon/PingLogFiles.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <zlib.h>

namespace orvane {

void MinuteTally::add(const QString& branch, const LogSample& sample) {
    const qint64 minute = sample.time - ((sample.time % 60000) + 60000) % 60000;
    Minute& m = minutes_[{minute, branch}];
    if (sample.up)
        m.roundTrips.push_back(sample.roundTrip);
    else
        ++m.losses;
}

std::map<std::pair<qint64, QString>, MinuteFigures> MinuteTally::figures() const {
    std::map<std::pair<qint64, QString>, MinuteFigures> out;
    for (const auto& [key, minute] : minutes_) {
        MinuteFigures f;
        f.losses = minute.losses;
        f.answers = qint64(minute.roundTrips.size());
        if (!minute.roundTrips.empty()) {
            std::vector<uint32_t> times = minute.roundTrips;
            std::sort(times.begin(), times.end());
            const size_t n = times.size();
            f.minRoundTrip = times.front();
            f.maxRoundTrip = times.back();
            f.medianRoundTrip = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2] + 1) / 2;
        }
        out.emplace(key, f);
    }
    return out;
}

namespace pinglog {

namespace {

bool stopped(const std::atomic<bool>* stop) {
    return stop && stop->load(std::memory_order_relaxed);
}

bool writeSummary(const QStringList& sources, const QString& target, const std::atomic<bool>* stop,
                  qint64* unreadable) {
    LogLineReader reader({});
    MinuteTally tally;
    LogSample sample;
    qint64 bad = 0;
    std::string_view line;
    QString name;
    QByteArray lastName;
    for (const QString& source : sources) {
        LogLines lines(source);
        if (!lines.isOpen())
            return false;
        for (qint64 n = 0; lines.next(line); ++n) {
            if ((n & 0xffff) == 0 && stopped(stop))
                return false;
            const LogLineReader::Kind kind = reader.readSample(line, sample);
            if (kind == LogLineReader::Kind::Bad) {
                ++bad;
                continue;
            }
            if (kind != LogLineReader::Kind::Sample)
                continue;
            const std::string_view branch = reader.lastBranch();
            if (branch != std::string_view(lastName.constData(), size_t(lastName.size()))) {
                lastName = QByteArray(branch.data(), qsizetype(branch.size()));
                name = QString::fromUtf8(lastName);
            }
            tally.add(name, sample);
        }
    }
    if (unreadable)
        *unreadable = bad;
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QByteArray text = summaryHeader().toUtf8() + "\r\n";
    for (const auto& [key, figures] : tally.figures())
        text += summaryLine(key.first, key.second, figures) + "\r\n";
    return out.write(text) == text.size() && out.commit();
}

// With `append`, the raw lines go behind the closed copy as a further gzip member, which
// zlib reads on as one stream.
bool writeGzip(const QString& raw, const QString& target, const std::atomic<bool>* stop,
               bool append) {
    QFile in(raw);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QString part = target + QStringLiteral(".part");
    QFile::remove(part);
    if (append && !QFile::copy(target, part))
        return false;
    gzFile out = gzopen(QFile::encodeName(part).constData(), append ? "ab6" : "wb6");
    if (!out)
        return false;
    gzbuffer(out, 1 << 18);
    QByteArray block(1 << 20, Qt::Uninitialized);
    bool ok = true;
    for (;;) {
        const qint64 got = in.read(block.data(), block.size());
        if (got <= 0 || stopped(stop)) {
            ok = got == 0 && !stopped(stop);
            break;
        }
        if (gzwrite(out, block.constData(), unsigned(got)) != int(got)) {
            ok = false;
            break;
        }
    }
    ok = gzclose_w(out) == Z_OK && ok;
    QFile::remove(target);
    if (ok && QFile::rename(part, target))
        return true;
    QFile::remove(part);
    return false;
}

} // namespace

bool closeDay(const QString& folder, const QDate& day, const std::atomic<bool>* stop,
              qint64* unreadable) {
    const QString base = folder + QLatin1Char('/');
    const QString raw = base + fileName(day);
    if (!QFile::exists(raw))
        return false;
    // Lines stamped with a day already closed (a clock set back) are added to it, not put in
    // its place.
    const QString gz = base + gzName(day);
    const bool append = QFile::exists(gz);
    const QStringList sources = append ? QStringList{gz, raw} : QStringList{raw};
    // The raw file goes only once both of its replacements are complete.
    if (!writeSummary(sources, base + summaryName(day), stop, unreadable))
        return false;
    if (!writeGzip(raw, gz, stop, append))
        return false;
    return QFile::remove(raw);
}

int closeDaysBefore(const QString& folder, const QDate& today, const std::atomic<bool>* stop) {
    int closed = 0;
    for (const QDate& day : days(folder))
        if (day < today && QFile::exists(folder + QLatin1Char('/') + fileName(day)) &&
            closeDay(folder, day, stop))
            ++closed;
    return closed;
}

} // namespace pinglog
} // namespace orvane
