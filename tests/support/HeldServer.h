#pragma once
// A loopback server that takes connections and never answers them: the kernel accepts each
// link into the backlog and the client waits for a greeting that never comes. release() resets
// every waiting link, so the client's open fails at once; after `deadlineMs` it releases itself,
// so a test whose wait never ends still ends.
#include <QString>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace orvane::test {

class HeldServer {
  public:
    HeldServer(const QString& address, int port, int deadlineMs = 30000) : address_(address) {
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_port = htons(quint16(port));
        ::inet_pton(AF_INET, address.toLatin1().constData(), &at.sin_addr);
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        fd_ = fd;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 || ::listen(fd, 8) != 0)
            release();
        watchdog_ = std::thread([this, deadlineMs] {
            for (int waited = 0; fd_ >= 0 && waited < deadlineMs; waited += 20)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            release();
        });
    }
    ~HeldServer() {
        release();
        watchdog_.join();
    }
    bool listening() const { return fd_ >= 0; }
    const QString& address() const { return address_; }
    void release() {
        const int fd = fd_.exchange(-1);
        if (fd >= 0)
            ::close(fd);
    }

  private:
    QString address_;
    std::atomic<int> fd_{-1};
    std::thread watchdog_;
};

} // namespace orvane::test
