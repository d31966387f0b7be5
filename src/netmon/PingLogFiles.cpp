#include "netmon/PingLogFiles.h"

#include "netmon/PingLog.h"

#include <QDir>
#include <QFileInfo>
#include <cstring>
#include <zlib.h>

namespace orvane {
namespace pinglog {

namespace {
const QString kGzSuffix = QStringLiteral(".csv.gz");
const QString kSummarySuffix = QStringLiteral(".summary.csv");

QStringList filesOf(const QDate& day) {
    return {fileName(day), gzName(day), summaryName(day)};
}
} // namespace

QString gzName(const QDate& day) {
    return day.toString(QStringLiteral("yyyy-MM-dd")) + kGzSuffix;
}

QString summaryName(const QDate& day) {
    return day.toString(QStringLiteral("yyyy-MM-dd")) + kSummarySuffix;
}

QDate dayOfAny(const QString& name) {
    for (const QString& suffix : {kGzSuffix, kSummarySuffix})
        if (name.endsWith(suffix))
            return QDate::fromString(name.chopped(suffix.size()), QStringLiteral("yyyy-MM-dd"));
    return dayOf(name);
}

QList<QDate> days(const QString& folder) {
    QList<QDate> found;
    for (const QString& name : QDir(folder).entryList({QStringLiteral("*.csv*")}, QDir::Files)) {
        const QDate day = dayOfAny(name);
        if (day.isValid() && !found.contains(day))
            found << day;
    }
    std::sort(found.begin(), found.end());
    return found;
}

qint64 dayBytes(const QString& folder, const QDate& day) {
    qint64 bytes = 0;
    for (const QString& name : filesOf(day))
        bytes += QFileInfo(folder + QLatin1Char('/') + name).size(); // 0 when absent
    return bytes;
}

bool removeDay(const QString& folder, const QDate& day) {
    bool all = true;
    for (const QString& name : filesOf(day)) {
        const QString path = folder + QLatin1Char('/') + name;
        if (QFileInfo::exists(path))
            all = QFile::remove(path) && all;
    }
    return all;
}

int trimToCap(const QString& folder, qint64 capBytes, const QDate& keep) {
    const QList<QDate> all = days(folder);
    qint64 total = 0;
    for (const QDate& day : all)
        total += dayBytes(folder, day);
    int removed = 0;
    for (const QDate& day : all) {
        if (total <= capBytes)
            break;
        if (day == keep)
            continue;
        const qint64 bytes = dayBytes(folder, day);
        if (removeDay(folder, day)) {
            total -= bytes;
            ++removed;
        }
    }
    return removed;
}

} // namespace pinglog

LogLines::LogLines(const QString& path) : buffer_(1 << 20) {
    gzFile file = gzopen(QFile::encodeName(path).constData(), "rb");
    if (file)
        gzbuffer(file, 1 << 18);
    file_ = file;
}

LogLines::~LogLines() {
    if (file_)
        gzclose_r(static_cast<gzFile>(file_));
}

bool LogLines::fill() {
    if (eof_)
        return false;
    // Keep the unfinished line, move it to the front, and read behind it.
    std::memmove(buffer_.data(), buffer_.data() + start_, end_ - start_);
    end_ -= start_;
    start_ = 0;
    if (end_ == buffer_.size())
        buffer_.resize(buffer_.size() * 2); // one line longer than the buffer
    const int got =
        gzread(static_cast<gzFile>(file_), buffer_.data() + end_, unsigned(buffer_.size() - end_));
    if (got <= 0) {
        eof_ = true;
        int error = Z_OK;
        gzerror(static_cast<gzFile>(file_), &error);
        damaged_ = got < 0 || (error != Z_OK && error != Z_STREAM_END);
        return false;
    }
    end_ += size_t(got);
    return true;
}

bool LogLines::next(std::string_view& line) {
    if (!file_)
        return false;
    for (;;) {
        const char* begin = buffer_.data() + start_;
        const void* found = std::memchr(begin, '\n', end_ - start_);
        if (found) {
            const size_t length = size_t(static_cast<const char*>(found) - begin);
            line = std::string_view(begin, length);
            start_ += length + 1;
            return true;
        }
        if (!fill()) {
            if (start_ == end_)
                return false;
            line = std::string_view(buffer_.data() + start_, end_ - start_);
            start_ = end_;
            return true;
        }
    }
}

} // namespace orvane
