// Opening a connection to a slow server: the longest stall of the UI thread (the largest gap
// between the ticks of a 1 ms timer) and the time the open took. The slow server is a relay
// on a loopback port that holds every new link for a while before passing it on to the private
// test server.
//   now:      the session's way (app/OpenWait.h): the open runs on a thread of its own
//   baseline: the same open on the UI thread, in the same run, rounds taking turns
//   ORVANE_DB_PORT=3323 QT_QPA_PLATFORM=offscreen build/bench/bench_connect_stall [rounds] [hold
//   ms]
#include "StallWatch.h"
#include "app/OpenWait.h"
#include "platform/Database.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QThread>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace orvane;
using namespace orvane::test;

namespace {

int loopbackSocket(int port, bool listening) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(quint16(port));
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = listening ? ::bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 &&
                                    ::listen(fd, 8) == 0
                              : ::connect(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0;
    if (!ok) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Holds each link for holdMs, then copies bytes both ways between it and the real server.
class SlowRelay {
  public:
    SlowRelay(int upstreamPort, int holdMs) : upstream_(upstreamPort), hold_(holdMs) {
        listener_ = loopbackSocket(0, true);
        sockaddr_in at{};
        socklen_t size = sizeof at;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&at), &size);
        port_ = ntohs(at.sin_port);
        accepter_ = std::thread([this] { acceptLinks(); });
    }
    ~SlowRelay() {
        stop_ = true;
        accepter_.join();
        std::lock_guard<std::mutex> lock(mutex_);
        for (std::thread& link : links_)
            link.join();
        ::close(listener_);
    }
    int port() const { return port_; }

  private:
    void acceptLinks() {
        while (!stop_) {
            pollfd waiting{listener_, POLLIN, 0};
            if (::poll(&waiting, 1, 50) <= 0)
                continue;
            const int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0)
                continue;
            std::lock_guard<std::mutex> lock(mutex_);
            links_.emplace_back([this, client] { relay(client); });
        }
    }
    void relay(int client) {
        QThread::msleep(ulong(hold_));
        const int server = loopbackSocket(upstream_, false);
        pollfd ends[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
        char buffer[16384];
        while (server >= 0 && !stop_) {
            if (::poll(ends, 2, 50) <= 0)
                continue;
            bool closed = false;
            for (int k = 0; k < 2; ++k) {
                if (!ends[k].revents)
                    continue;
                const ssize_t n = ::read(ends[k].fd, buffer, sizeof buffer);
                closed = closed || n <= 0 || ::write(ends[1 - k].fd, buffer, size_t(n)) != n;
            }
            if (closed)
                break;
        }
        ::close(client);
        if (server >= 0)
            ::close(server);
    }
    int upstream_, hold_, listener_ = -1, port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread accepter_;
    std::mutex mutex_;
    std::vector<std::thread> links_;
};

struct OpenRun {
    double openMs = 0, stallMs = 0;
    bool opened = false;
};

OpenRun openOnce(const QString& text, bool offTheUiThread) {
    Connection connection;
    connection.setTimeout(120);
    if (offTheUiThread)
        connection.setOpenWait(OpenWhileAnswering);
    OpenRun run;
    bench::StallWatch stalls;
    QCoreApplication::processEvents(); // the watch's first tick
    const double start = stalls.ms();
    try {
        connection.open(text);
        run.opened = connection.isOpen();
    } catch (const DbError& error) {
        std::fprintf(stderr, "open failed: %s\n", qPrintable(error.description()));
    }
    run.openMs = stalls.ms() - start;
    QCoreApplication::processEvents(); // the tick after the open
    stalls.stop();
    run.stallMs = stalls.longestMs();
    return run;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const int holdMs = argc > 2 ? std::max(0, atoi(argv[2])) : 1000;
    SlowRelay relay(TestDb::port(), holdMs);
    QString text = TestDb::connectionText();
    text.replace(QString("PORT=%1;").arg(TestDb::port()), QString("PORT=%1;").arg(relay.port()));

    std::vector<double> stallNow, stallOld, openNow, openOld;
    for (int round = 0; round < rounds; ++round)
        for (bool offTheUiThread : {true, false}) {
            const OpenRun run = openOnce(text, offTheUiThread);
            if (!run.opened)
                return 1;
            (offTheUiThread ? stallNow : stallOld).push_back(run.stallMs);
            (offTheUiThread ? openNow : openOld).push_back(run.openMs);
        }
    std::printf("opening a connection through a relay holding each link %d ms, median of %d\n",
                holdMs, rounds);
    std::printf("  open on the UI thread (baseline): open %.1f ms, longest UI stall %.1f ms\n",
                median(openOld), median(stallOld));
    std::printf("  open on its own thread (now):     open %.1f ms, longest UI stall %.1f ms\n",
                median(openNow), median(stallNow));
    std::printf("  longest UI stall, now / baseline: %.3f\n", median(stallNow) / median(stallOld));
    return 0;
}
