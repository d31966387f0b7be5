#pragma once
// Echo scenarios that need a network of their own (silence, ICMP errors, other socket
// rights): the test program re-executes itself with "--netns ..."; that child moves into
// a fresh network namespace holding only its own loopback interface, sets it up, runs
// the scenario and prints one "RESULT key=value ..." line per echo. Nothing the child
// sends can leave its namespace, and only 127.x addresses are ever used.
#include "netmon/mdlPing.h"

#include <QCoreApplication>
#include <QHash>
#include <QProcess>
#include <QStringList>

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/capability.h>
#include <mutex>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace netns {

constexpr int kSkipExit = 77;
constexpr const char* kFlag = "--netns";

inline bool writeProc(const char* path, const char* value) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const auto size = static_cast<ssize_t>(std::strlen(value));
    const bool ok = ::write(fd, value, static_cast<size_t>(size)) == size;
    ::close(fd);
    return ok;
}

inline bool loopbackUp() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool ok = ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
    ok = ok && ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    ::close(fd);
    return ok;
}

inline bool dropRawCapability() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    data[0].effective &= ~(1u << CAP_NET_RAW);
    data[0].permitted &= ~(1u << CAP_NET_RAW);
    return ::syscall(SYS_capset, &header, data) == 0;
}

inline uint16_t checksum(const uint8_t* data, size_t size) {
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < size; i += 2)
        sum += static_cast<uint32_t>(data[i] << 8 | data[i + 1]);
    if (size % 2)
        sum += static_cast<uint32_t>(data[size - 1] << 8);
    while (sum >> 16)
        sum = (sum & 0xffff) + (sum >> 16);
    return static_cast<uint16_t>(~sum);
}

// Plays the part of the far end: answers the first echo request to `target` with a
// message of the given type and code. Type 0 is an echo reply carrying the request's
// data; any other type is an ICMP error quoting the request, as RFC 792 prescribes.
// The identifier and sequence number are shifted by the deltas, to forge answers that
// belong to somebody else.
class Responder {
  public:
    Responder(uint8_t type, uint8_t code, int idDelta, int seqDelta, in_addr_t target)
        : type_(type), code_(code), idDelta_(idDelta), seqDelta_(seqDelta), target_(target) {
        fd_ = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
        sockaddr_in self{};
        self.sin_family = AF_INET;
        self.sin_addr.s_addr = target;
        if (fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&self), sizeof self) == 0)
            thread_ = std::thread([this] { run(); });
    }
    ~Responder() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool ready() const { return thread_.joinable(); }

  private:
    static void shift(uint8_t* field, int delta) {
        const auto value = static_cast<uint16_t>((field[0] << 8 | field[1]) + delta);
        field[0] = static_cast<uint8_t>(value >> 8);
        field[1] = static_cast<uint8_t>(value);
    }

    void run() {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!stop_ && std::chrono::steady_clock::now() < until) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            uint8_t packet[1500];
            const ssize_t n = ::recv(fd_, packet, sizeof packet, 0);
            const size_t ihl = static_cast<size_t>(packet[0] & 0x0f) * 4;
            in_addr_t destination;
            std::memcpy(&destination, packet + 16, sizeof destination);
            if (n < static_cast<ssize_t>(ihl + 8) || packet[ihl] != 8 || destination != target_)
                continue;
            uint8_t* request = packet + ihl;
            shift(request + 4, idDelta_);
            shift(request + 6, seqDelta_);
            std::vector<uint8_t> answer;
            if (type_ == 0) {
                answer.assign(request, packet + n);
            } else {
                const size_t quoted = std::min(static_cast<size_t>(n), ihl + 8);
                answer.assign(8 + quoted, 0);
                std::memcpy(answer.data() + 8, packet, quoted);
            }
            answer[0] = type_;
            answer[1] = code_;
            answer[2] = answer[3] = 0;
            const uint16_t sum = checksum(answer.data(), answer.size());
            answer[2] = static_cast<uint8_t>(sum >> 8);
            answer[3] = static_cast<uint8_t>(sum);
            sockaddr_in to{};
            to.sin_family = AF_INET;
            std::memcpy(&to.sin_addr.s_addr, packet + 12, 4); // the request's source
            ::sendto(fd_, answer.data(), answer.size(), 0, reinterpret_cast<sockaddr*>(&to),
                     sizeof to);
            return;
        }
    }

    uint8_t type_;
    uint8_t code_;
    int idDelta_;
    int seqDelta_;
    in_addr_t target_;
    int fd_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

inline const char* kindName(orvane::EchoSocketKind kind) {
    switch (kind) {
    case orvane::EchoSocketKind::Datagram:
        return "datagram";
    case orvane::EchoSocketKind::Raw:
        return "raw";
    default:
        return "none";
    }
}

inline void report(const char* target, int status, const orvane::IcmpEchoReply& reply,
                   uint64_t sentBefore) {
    in_addr from{reply.Address};
    std::printf("RESULT target=%s status=%d rtt=%u from=%s kind=%s refused=%d sent=%llu "
                "data=%.*s\n",
                target, status, reply.RoundTripTime, inet_ntoa(from),
                kindName(orvane::LastEchoSocketKind()),
                orvane::IcmpPermissionProblem().isEmpty() ? 0 : 1,
                static_cast<unsigned long long>(orvane::EchoRequestsSent() - sentBefore),
                static_cast<int>(reply.DataSize), reply.Data);
}

// argv: --netns <any|datagram|raw> <open|closed> <answer|ignore> <keep|drop> action...
// actions: ping <address> | respond <type> <code> <id delta> <sequence delta>
//          | concurrent <count> <rounds>
inline int runChild(int argc, char** argv) {
    if (argc < 8)
        return 2;
    if (::unshare(CLONE_NEWNET) != 0) {
        std::printf("no private network namespace: %s\n", std::strerror(errno));
        return kSkipExit;
    }
    const std::string kinds = argv[2];
    const bool groupOpen = std::strcmp(argv[3], "open") == 0;
    const bool ignoreEcho = std::strcmp(argv[4], "ignore") == 0;
    if (!loopbackUp() ||
        !writeProc("/proc/sys/net/ipv4/ping_group_range", groupOpen ? "0 2147483647" : "1 0") ||
        !writeProc("/proc/sys/net/ipv4/icmp_echo_ignore_all", ignoreEcho ? "1" : "0")) {
        std::printf("cannot set up the namespace's network: %s\n", std::strerror(errno));
        return kSkipExit;
    }
    if (std::strcmp(argv[5], "drop") == 0 && !dropRawCapability()) {
        std::printf("cannot drop CAP_NET_RAW: %s\n", std::strerror(errno));
        return kSkipExit;
    }
    orvane::SetEchoSocketKinds(kinds == "raw"        ? orvane::EchoSocketKinds::RawOnly
                               : kinds == "datagram" ? orvane::EchoSocketKinds::DatagramOnly
                                                     : orvane::EchoSocketKinds::Any);
    const std::string action = argv[6];
    if (action == "ping") {
        orvane::IcmpEchoReply reply;
        const uint64_t before = orvane::EchoRequestsSent();
        const int status = orvane::PingAddress(QString::fromLatin1(argv[7]), reply);
        report(argv[7], status, reply, before);
        return 0;
    }
    if (action == "respond" && argc >= 11) {
        const char* target = "127.0.0.9";
        Responder responder(static_cast<uint8_t>(std::atoi(argv[7])),
                            static_cast<uint8_t>(std::atoi(argv[8])), std::atoi(argv[9]),
                            std::atoi(argv[10]), inet_addr(target));
        if (!responder.ready()) {
            std::printf("no raw socket for the responder: %s\n", std::strerror(errno));
            return kSkipExit;
        }
        orvane::IcmpEchoReply reply;
        const uint64_t before = orvane::EchoRequestsSent();
        const int status = orvane::PingAddress(QString::fromLatin1(target), reply);
        report(target, status, reply, before);
        return 0;
    }
    if (action == "concurrent" && argc >= 9) {
        const int count = std::atoi(argv[7]);
        const int rounds = std::atoi(argv[8]);
        for (int round = 0; round < rounds; ++round) {
            std::vector<std::thread> threads;
            for (int i = 0; i < count; ++i)
                threads.emplace_back([i] {
                    char target[32];
                    std::snprintf(target, sizeof target, "127.0.0.%d", i + 1);
                    orvane::IcmpEchoReply reply;
                    const int status = orvane::PingAddress(QString::fromLatin1(target), reply);
                    static std::mutex out;
                    std::lock_guard<std::mutex> lock(out);
                    report(target, status, reply, orvane::EchoRequestsSent());
                });
            for (auto& t : threads)
                t.join();
        }
        return 0;
    }
    return 2;
}

struct Outcome {
    bool skipped = false;
    QString reason;
    QList<QHash<QString, QString>> results;
};

// Parent side: runs one scenario in a child and collects its RESULT lines.
inline Outcome run(const QStringList& scenario) {
    Outcome outcome;
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), QStringList{kFlag} + scenario);
    if (!child.waitForFinished(30000)) {
        child.kill();
        child.waitForFinished();
        outcome.reason = QStringLiteral("the helper did not finish");
        return outcome;
    }
    const QString output = QString::fromLocal8Bit(child.readAllStandardOutput());
    if (child.exitStatus() == QProcess::NormalExit && child.exitCode() == kSkipExit) {
        outcome.skipped = true;
        outcome.reason = output.trimmed();
        return outcome;
    }
    for (const QString& line : output.split(QLatin1Char('\n'))) {
        if (!line.startsWith(QLatin1String("RESULT ")))
            continue;
        QHash<QString, QString> fields;
        for (const QString& pair : line.mid(7).split(QLatin1Char(' '))) {
            const int eq = pair.indexOf(QLatin1Char('='));
            if (eq > 0)
                fields.insert(pair.left(eq), pair.mid(eq + 1));
        }
        outcome.results.push_back(fields);
    }
    if (child.exitCode() != 0)
        outcome.reason =
            QStringLiteral("helper exit code %1: %2").arg(child.exitCode()).arg(output);
    return outcome;
}

} // namespace netns
