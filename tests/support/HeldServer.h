#pragma once
// A server that takes connections and never answers them: the kernel accepts the TCP link into
// the backlog, and the client waits for a greeting that never comes. Releasing it resets every
// waiting link, so the client's open fails at once. It lets itself go after `deadlineMs` in any
// case, so a test whose waiting never ends still ends. Listens on loopback only.
#include <QString>

#include <arpa/inet.h>
#include <condition_variable>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace orvane::test {

class HeldServer {
  public:
    HeldServer(const QString& address, int port, int deadlineMs = 30000) : address_(address) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_port = htons(quint16(port));
        ::inet_pton(AF_INET, address.toLatin1().constData(), &at.sin_addr);
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 ||
            ::listen(fd_, 8) != 0)
            release();
        watchdog_ = std::thread([this, deadlineMs] {
            std::unique_lock<std::mutex> lock(mutex_);
            if (!released_.wait_for(lock, std::chrono::milliseconds(deadlineMs),
                                    [this] { return fd_ < 0; }))
                closeLocked();
        });
    }
    ~HeldServer() {
        release();
        watchdog_.join();
    }
    bool listening() {
        std::lock_guard<std::mutex> lock(mutex_);
        return fd_ >= 0;
    }
    const QString& address() const { return address_; }
    void release() {
        std::lock_guard<std::mutex> lock(mutex_);
        closeLocked();
        released_.notify_all();
    }

  private:
    void closeLocked() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    QString address_;
    int fd_ = -1;
    std::mutex mutex_;
    std::condition_variable released_;
    std::thread watchdog_;
};

} // namespace orvane::test
