// The branch history chart over a synthetic full 30-day log: nine branches answering twice a
// second each (about 18 lines a second, 1.5 million a day), a few losses, a daily down spell
// and spikes, written into a temporary folder and closed day by day as the monitor closes
// them. Today's file is a whole day, the window's clock at its end. Printed: a day's bytes
// before and after it closes, how long a close takes, and per range the load time and the
// longest stall of the user-interface thread, next to the baseline of reading the same files
// line by line without parsing them. No packet is sent: the lines are made up.
// Usage: bench_ping_history [days=30]
#include "StallWatch.h"
#include "netmon/PingDayClose.h"
#include "netmon/PingLog.h"
#include "netmon/PingLogFiles.h"
#include "netmon/frmPingHistory.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <zlib.h>

using namespace orvane;

namespace {

const char* const kNames[] = {"HEAD-OFFICE", "HARBOUR",     "KELVALE",     "SANDRIDGE", "NORTHGATE",
                              "WAREHOUSE",   "OUTLET-EAST", "OUTLET-WEST", "DEPOT"};

QVector<Branch> branches() {
    QVector<Branch> table;
    for (int i = 0; i < 9; ++i)
        table.push_back({kNames[i], QStringLiteral("127.0.0.%1").arg(i + 2)});
    return table;
}

void two(char*& p, int v) {
    *p++ = char('0' + v / 10);
    *p++ = char('0' + v % 10);
}

// One day at 2 echoes a second per branch: HARBOUR is down from 14:00 to 14:20, about one
// echo in 400 is lost and one in 2000 answers slowly.
qint64 writeDay(const QString& path, const QDate& day, std::mt19937& random) {
    FILE* out = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!out)
        return 0;
    std::setvbuf(out, nullptr, _IOFBF, 1 << 20);
    const QByteArray header = pinglog::header().toUtf8() + "\r\n";
    std::fwrite(header.constData(), 1, size_t(header.size()), out);
    const QByteArray date = day.toString(QStringLiteral("yyyy-MM-dd")).toLatin1();
    std::uniform_int_distribution<int> rtt(2, 30), roll(0, 1999);
    char line[160];
    for (int tick = 0; tick < 24 * 60 * 60 * 2; ++tick) {
        const int second = tick / 2;
        for (int b = 0; b < 9; ++b) {
            const int milli = (tick % 2) * 500 + b * 37 + roll(random) % 20;
            const bool down = b == 1 && second >= 14 * 3600 && second < 14 * 3600 + 1200;
            const int r = roll(random);
            const bool lost = down || r < 5;
            int ms = lost ? 0 : r == 7 ? 400 + r % 500 : rtt(random);
            char* p = line;
            std::memcpy(p, date.constData(), 10);
            p += 10;
            *p++ = ',';
            two(p, second / 3600);
            *p++ = ':';
            two(p, second / 60 % 60);
            *p++ = ':';
            two(p, second % 60);
            *p++ = '.';
            *p++ = char('0' + milli / 100);
            two(p, milli % 100);
            p += std::sprintf(p, ",%s,127.0.0.%d,%s,%d\r\n", kNames[b], b + 2,
                              lost ? "11010,Request Timed Out" : "0,Success!", ms);
            std::fwrite(line, 1, size_t(p - line), out);
        }
    }
    std::fclose(out);
    return QFileInfo(path).size();
}

// The baseline: the same files read line by line, nothing parsed.
qint64 readLines(const QStringList& paths) {
    qint64 lines = 0;
    static char buffer[1 << 16];
    for (const QString& path : paths) {
        gzFile file = gzopen(QFile::encodeName(path).constData(), "rb");
        if (!file)
            continue;
        gzbuffer(file, 1 << 18);
        while (gzgets(file, buffer, sizeof buffer))
            ++lines;
        gzclose(file);
    }
    return lines;
}

// The files a range reads, by the history's own rule.
QStringList filesFor(const QString& folder, qint64 from, qint64 to) {
    QStringList files;
    const bool raw = to - from <= 24LL * 3600 * 1000;
    for (QDate d = QDateTime::fromMSecsSinceEpoch(from).date();
         d <= QDateTime::fromMSecsSinceEpoch(to).date(); d = d.addDays(1)) {
        for (const QString& name :
             raw ? QStringList{pinglog::fileName(d), pinglog::gzName(d)}
                 : QStringList{pinglog::summaryName(d), pinglog::fileName(d), pinglog::gzName(d)})
            if (QFileInfo::exists(folder + "/" + name)) {
                files << folder + "/" + name;
                break;
            }
    }
    return files;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int days = argc > 1 ? std::max(2, std::atoi(argv[1])) : 30;
    QTemporaryDir dir;
    const QString folder = dir.path();
    const QDate today = QDate::currentDate();
    std::mt19937 random(24);

    std::printf("writing %d days of log into %s\n", days, qPrintable(folder));
    qint64 rawBytes = 0, closedBytes = 0;
    double closeMs = 0;
    QElapsedTimer clock;
    for (int i = days - 1; i >= 0; --i) {
        const QDate day = today.addDays(-i);
        const qint64 bytes = writeDay(folder + "/" + pinglog::fileName(day), day, random);
        if (i == 0)
            break; // today stays raw
        clock.start();
        if (!pinglog::closeDay(folder, day)) {
            std::printf("closing %s failed\n", qPrintable(day.toString(Qt::ISODate)));
            return 1;
        }
        closeMs = std::max(closeMs, clock.nsecsElapsed() / 1e6);
        rawBytes = bytes;
        closedBytes = pinglog::dayBytes(folder, day);
    }
    std::printf("a day: %.1f MB raw, %.1f MB closed (gzip %.1f MB + summary %.2f MB), "
                "%.1fx smaller; the slowest close took %.0f ms\n",
                rawBytes / 1e6, closedBytes / 1e6,
                QFileInfo(folder + "/" + pinglog::gzName(today.addDays(-1))).size() / 1e6,
                QFileInfo(folder + "/" + pinglog::summaryName(today.addDays(-1))).size() / 1e6,
                double(rawBytes) / std::max<qint64>(closedBytes, 1), closeMs);

    const qint64 end = QDateTime(today, QTime(23, 59, 59, 500)).toMSecsSinceEpoch();
    frmPingHistory window(folder, branches(), 1);
    window.setClock([end] { return end; });
    window.resize(1000, 600);
    window.show();
    QApplication::processEvents();

    std::printf("\n%-8s %10s %12s %14s %8s %8s\n", "range", "load ms", "UI stall ms", "baseline ms",
                "ratio", "lines");
    const std::pair<HistoryRange, const char*> ranges[] = {{HistoryRange::Hour, "1 h"},
                                                           {HistoryRange::Day, "24 h"},
                                                           {HistoryRange::Week, "7 days"},
                                                           {HistoryRange::Month, "30 days"}};
    bool within = true;
    for (const auto& [range, name] : ranges) {
        std::vector<double> loads, stalls, bases;
        qint64 lines = 0;
        for (int round = 0; round < 3; ++round) {
            QEventLoop wait;
            QObject::connect(&window, &frmPingHistory::loaded, &wait, &QEventLoop::quit);
            bench::StallWatch watch;
            clock.start();
            window.ShowRange(range);
            wait.exec();
            loads.push_back(clock.nsecsElapsed() / 1e6);
            watch.stop();
            stalls.push_back(watch.longestMs());
            clock.start();
            lines = readLines(filesFor(folder, end - RangeMs(range), end));
            bases.push_back(clock.nsecsElapsed() / 1e6);
        }
        within = within && median(loads) < 2000;
        std::printf("%-8s %10.0f %12.1f %14.0f %8.2f %8lld\n", name, median(loads), median(stalls),
                    median(bases), median(loads) / median(bases), static_cast<long long>(lines));
    }
    std::printf("\nmedian of 3 rounds; baseline: the same files read line by line (gzgets), "
                "nothing parsed\nevery range within 2 s: %s\n",
                within ? "yes" : "NO");
    return 0;
}
