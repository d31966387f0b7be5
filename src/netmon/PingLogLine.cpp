#include "netmon/PingLogLine.h"

#include "netmon/PingLog.h"
#include "netmon/mdlPing.h"

#include <QDateTime>
#include <charconv>

namespace orvane {

namespace {

constexpr size_t kSampleFields = 7; // date,time,branch,address,status,status_text,round_trip_ms
constexpr size_t kMinuteFields = 8; // date,minute,branch,answers,losses,min,median,max

std::string_view trimmed(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

template <class T> bool number(std::string_view text, T& out) {
    if (text.empty())
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size();
}

// `count` digits from `at`, or -1.
int digits(std::string_view text, size_t at, size_t count) {
    int value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

} // namespace

LogLineReader::LogLineReader(const QStringList& branches) {
    for (const QString& name : branches)
        names_.push_back(name.toUtf8());
    fields_.reserve(kMinuteFields);
    unquoted_.resize(kMinuteFields);
}

bool LogLineReader::split(std::string_view line, size_t expected) {
    fields_.clear();
    size_t at = 0;
    for (;;) {
        if (at < line.size() && line[at] == '"') {
            std::string& text = unquoted_[fields_.size()];
            text.clear();
            size_t i = at + 1;
            for (;; ++i) {
                if (i >= line.size())
                    return false; // unclosed quote
                if (line[i] != '"') {
                    text += line[i];
                } else if (i + 1 < line.size() && line[i + 1] == '"') {
                    text += '"';
                    ++i;
                } else {
                    break;
                }
            }
            fields_.emplace_back(text);
            at = i + 1;
        } else {
            const size_t comma = line.find(',', at);
            const size_t end = comma == std::string_view::npos ? line.size() : comma;
            fields_.push_back(line.substr(at, end - at));
            at = end;
        }
        if (at >= line.size())
            break;
        if (line[at] != ',' || fields_.size() == expected)
            return false; // text after a closing quote, or a field too many
        if (++at == line.size()) {
            fields_.emplace_back(); // a last field left empty
            break;
        }
    }
    return fields_.size() == expected;
}

int LogLineReader::branchOf(std::string_view name) const {
    for (size_t i = 0; i < names_.size(); ++i)
        if (name == std::string_view(names_[i].constData(), size_t(names_[i].size())))
            return int(i);
    return -1;
}

qint64 LogLineReader::stamp(std::string_view date, std::string_view time) {
    if (date.size() != 10 || date[4] != '-' || date[7] != '-')
        return -1;
    const int year = digits(date, 0, 4), month = digits(date, 5, 2), day = digits(date, 8, 2);
    if (time.size() < 5 || time[2] != ':')
        return -1;
    const int hour = digits(time, 0, 2), minute = digits(time, 3, 2);
    int second = 0, milli = 0;
    if (time.size() == 12 && time[5] == ':' && time[8] == '.') {
        second = digits(time, 6, 2);
        milli = digits(time, 9, 3);
    } else if (time.size() != 5) {
        return -1;
    }
    if (year < 0 || month < 1 || day < 1 || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59 || milli < 0)
        return -1;
    // Local time: an hour's start is asked of Qt once, so a change of summer time lands
    // where Qt puts it.
    const qint64 key = ((qint64(year) * 13 + month) * 32 + day) * 24 + hour;
    if (key != hourKey_) {
        const QDate date(year, month, day);
        if (!date.isValid())
            return -1;
        hourStart_ = QDateTime(date, QTime(hour, 0)).toMSecsSinceEpoch();
        hourKey_ = key;
    }
    return hourStart_ + minute * 60000LL + second * 1000LL + milli;
}

LogLineReader::Kind LogLineReader::readSample(std::string_view line, LogSample& out) {
    line = trimmed(line);
    if (line.empty())
        return Kind::Blank;
    if (line.substr(0, 5) == "date,")
        return Kind::Header;
    int status = 0;
    if (!split(line, kSampleFields) || !number(fields_[4], status) ||
        !number(fields_[6], out.roundTrip))
        return Kind::Bad;
    out.time = stamp(fields_[0], fields_[1]);
    if (out.time < 0 || fields_[1].size() != 12)
        return Kind::Bad;
    out.branch = branchOf(fields_[2]);
    out.up = status == kEchoSuccess;
    return Kind::Sample;
}

LogLineReader::Kind LogLineReader::readMinute(std::string_view line, LogMinute& out) {
    line = trimmed(line);
    if (line.empty())
        return Kind::Blank;
    if (line.substr(0, 5) == "date,")
        return Kind::Header;
    MinuteFigures& f = out.figures;
    if (!split(line, kMinuteFields) || !number(fields_[3], f.answers) ||
        !number(fields_[4], f.losses) || !number(fields_[5], f.minRoundTrip) ||
        !number(fields_[6], f.medianRoundTrip) || !number(fields_[7], f.maxRoundTrip))
        return Kind::Bad;
    out.time = stamp(fields_[0], fields_[1]);
    if (out.time < 0 || fields_[1].size() != 5 || f.answers < 0 || f.losses < 0)
        return Kind::Bad;
    out.branch = branchOf(fields_[2]);
    return Kind::Sample;
}

namespace pinglog {

QString summaryHeader() {
    return QStringLiteral("date,minute,branch,answers,losses,min_ms,median_ms,max_ms");
}

QByteArray summaryLine(qint64 minuteStart, const QString& branch, const MinuteFigures& f) {
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(minuteStart);
    QByteArray line = at.toString(QStringLiteral("yyyy-MM-dd,HH:mm,")).toLatin1();
    line += field(branch).toUtf8();
    for (qint64 value : {f.answers, f.losses, qint64(f.minRoundTrip), qint64(f.medianRoundTrip),
                         qint64(f.maxRoundTrip)})
        line += ',' + QByteArray::number(value);
    return line;
}

} // namespace pinglog

} // namespace orvane
