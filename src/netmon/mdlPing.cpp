#include "netmon/mdlPing.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <linux/errqueue.h>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orvane {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kTimeoutMs = 1000;
constexpr char kPayload[] = {'h', 'e', 'l', 'l', 'o'};
constexpr size_t kHeaderSize = 8;

// ICMP message types this module reads or writes.
constexpr uint8_t kTypeEchoReply = 0;
constexpr uint8_t kTypeDestUnreachable = 3;
constexpr uint8_t kTypeSourceQuench = 4;
constexpr uint8_t kTypeRedirect = 5;
constexpr uint8_t kTypeEchoRequest = 8;
constexpr uint8_t kTypeTimeExceeded = 11;
constexpr uint8_t kTypeParameterProblem = 12;

// Raw-socket receive filter (linux/icmp.h clashes with netinet headers, so spelled here).
constexpr int kSolRaw = 255;
constexpr int kIcmpFilter = 1;

std::atomic<uint16_t> g_sequence{0};
std::atomic<int> g_kinds{static_cast<int>(EchoSocketKinds::Any)};
std::atomic<uint64_t> g_sent{0};
std::atomic<bool> g_refused{false};
thread_local EchoSocketKind t_lastKind = EchoSocketKind::None;

// Raw sockets see every ICMP packet of the host, so their requests carry our own id.
uint16_t rawIdentifier() {
    return static_cast<uint16_t>(::getpid() ^ 0x4f52);
}

uint16_t checksum(const uint8_t* data, size_t size) {
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < size; i += 2)
        sum += static_cast<uint32_t>(data[i] << 8 | data[i + 1]);
    if (size % 2)
        sum += static_cast<uint32_t>(data[size - 1] << 8);
    while (sum >> 16)
        sum = (sum & 0xffff) + (sum >> 16);
    return static_cast<uint16_t>(~sum);
}

uint16_t read16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

bool isRefusal(int error) {
    return error == EACCES || error == EPERM;
}

int statusForErrno(int error) {
    switch (error) {
    case ENETUNREACH:
        return kEchoDestNetUnreachable;
    case EHOSTUNREACH:
        return kEchoDestHostUnreachable;
    case EMSGSIZE:
        return kEchoPacketTooBig;
    case ENOBUFS:
    case ENOMEM:
        return kEchoNoResources;
    default:
        return kEchoGeneralFailure;
    }
}

class EchoSocket {
  public:
    EchoSocket() = default;
    EchoSocket(const EchoSocket&) = delete;
    EchoSocket& operator=(const EchoSocket&) = delete;
    ~EchoSocket() {
        if (fd >= 0)
            ::close(fd);
    }

    // Ping socket first (no privilege needed where the group range allows it), then raw.
    bool open() {
        const auto kinds = static_cast<EchoSocketKinds>(g_kinds.load());
        int datagramError = EACCES;
        int rawError = EPERM;
        if (kinds == EchoSocketKinds::Any || kinds == EchoSocketKinds::DatagramOnly) {
            fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
            if (fd >= 0)
                kind = EchoSocketKind::Datagram;
            else
                datagramError = errno;
        }
        if (fd < 0 && (kinds == EchoSocketKinds::Any || kinds == EchoSocketKinds::RawOnly)) {
            fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
            if (fd >= 0)
                kind = EchoSocketKind::Raw;
            else
                rawError = errno;
        }
        if (fd < 0) {
            const bool noPingSockets = isRefusal(datagramError) ||
                                       datagramError == EPROTONOSUPPORT ||
                                       datagramError == ESOCKTNOSUPPORT;
            g_refused = noPingSockets && isRefusal(rawError);
            return false;
        }
        g_refused = false;
        const int on = 1;
        if (::setsockopt(fd, SOL_IP, IP_RECVERR, &on, sizeof on) != 0 &&
            kind == EchoSocketKind::Datagram) {
            // Without the error queue a ping socket hears no ICMP error at all; every
            // unreachable branch would read as a time-out.
            static std::once_flag told;
            std::call_once(told, [] {
                qWarning("ping socket without IP_RECVERR (%s): ICMP errors show as time-outs",
                         std::strerror(errno));
            });
        }
        if (kind == EchoSocketKind::Raw) {
            // Only replies and errors; not the other echo requests passing through.
            const uint32_t wanted = 1u << kTypeEchoReply | 1u << kTypeDestUnreachable |
                                    1u << kTypeSourceQuench | 1u << kTypeTimeExceeded |
                                    1u << kTypeParameterProblem;
            const uint32_t dropped = ~wanted;
            ::setsockopt(fd, kSolRaw, kIcmpFilter, &dropped, sizeof dropped);
        }
        return true;
    }

    int fd = -1;
    EchoSocketKind kind = EchoSocketKind::None;
};

struct Exchange {
    EchoSocket socket;
    in_addr_t target = 0; // network order
    uint16_t identifier = 0;
    uint16_t sequence = 0;
    Clock::time_point sent;
    IcmpEchoReply* reply = nullptr;

    // The echo header of our request, as quoted back in a reply or an error.
    bool isOurs(const uint8_t* icmp, size_t size, uint8_t type) const {
        if (size < kHeaderSize || icmp[0] != type || read16(icmp + 6) != sequence)
            return false;
        // A ping socket's identifier is chosen by the kernel, which also routes replies
        // to the one socket they belong to.
        return socket.kind != EchoSocketKind::Raw || read16(icmp + 4) == identifier;
    }

    // A reply carries back exactly the data the request sent.
    static bool echoesPayload(const uint8_t* icmp, size_t size) {
        return size == kHeaderSize + sizeof kPayload &&
               std::memcmp(icmp + kHeaderSize, kPayload, sizeof kPayload) == 0;
    }

    uint32_t elapsedMs() const {
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent).count();
        return static_cast<uint32_t>(ms < 0 ? 0 : ms);
    }

    int finish(int status, in_addr_t from, const uint8_t* data = nullptr, size_t size = 0) {
        reply->Status = status;
        reply->Address = from;
        reply->RoundTripTime = elapsedMs();
        reply->DataSize = static_cast<uint16_t>(std::min(size, sizeof reply->Data));
        if (data)
            std::memcpy(reply->Data, data, reply->DataSize);
        return status;
    }

    // An ICMP error quoting our request (raw sockets get it on their normal queue too).
    // Returns the status, or 1 when the packet is not about our request.
    int quotedError(uint8_t type, uint8_t code, const uint8_t* quoted, size_t size,
                    in_addr_t from) {
        if (size < 20 || (quoted[0] >> 4) != 4 || quoted[9] != IPPROTO_ICMP)
            return 1;
        const size_t ihl = static_cast<size_t>(quoted[0] & 0x0f) * 4;
        in_addr_t destination;
        std::memcpy(&destination, quoted + 16, sizeof destination);
        if (size < ihl + kHeaderSize || destination != target ||
            !isOurs(quoted + ihl, size - ihl, kTypeEchoRequest))
            return 1;
        return finish(EchoStatusForIcmpError(type, code), from);
    }

    int readPacket() {
        uint8_t buffer[1500];
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t n = ::recvfrom(socket.fd, buffer, sizeof buffer, MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (n <= 0)
            return 1;
        size_t size = static_cast<size_t>(n);
        const uint8_t* icmp = buffer;
        if (socket.kind == EchoSocketKind::Raw) {
            const size_t ihl = static_cast<size_t>(buffer[0] & 0x0f) * 4;
            if (size < ihl + kHeaderSize)
                return 1;
            icmp += ihl;
            size -= ihl;
        }
        if (icmp[0] == kTypeEchoReply) {
            if (from.sin_addr.s_addr != target || !isOurs(icmp, size, kTypeEchoReply) ||
                !echoesPayload(icmp, size))
                return 1;
            return finish(kEchoSuccess, from.sin_addr.s_addr, icmp + kHeaderSize,
                          size - kHeaderSize);
        }
        if (socket.kind == EchoSocketKind::Raw && size >= kHeaderSize)
            return quotedError(icmp[0], icmp[1], icmp + kHeaderSize, size - kHeaderSize,
                               from.sin_addr.s_addr);
        return 1;
    }

    // Errors reported through IP_RECVERR.
    int readErrorQueue() {
        uint8_t data[576];
        sockaddr_in original{};
        alignas(cmsghdr) char control[512];
        iovec iov{data, sizeof data};
        msghdr msg{};
        msg.msg_name = &original;
        msg.msg_namelen = sizeof original;
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        const ssize_t n = ::recvmsg(socket.fd, &msg, MSG_ERRQUEUE | MSG_DONTWAIT);
        if (n < 0) {
            // Nothing queued: clear the pending error so poll stops reporting it.
            int pending = 0;
            socklen_t length = sizeof pending;
            ::getsockopt(socket.fd, SOL_SOCKET, SO_ERROR, &pending, &length);
            return 1;
        }
        for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
            if (c->cmsg_level != SOL_IP || c->cmsg_type != IP_RECVERR)
                continue;
            const auto* error = reinterpret_cast<const sock_extended_err*>(CMSG_DATA(c));
            if (error->ee_origin == SO_EE_ORIGIN_LOCAL) // only ever about this socket
                return finish(statusForErrno(static_cast<int>(error->ee_errno)), 0);
            // A redirect only tells of a better route; the answer may still come.
            if (error->ee_origin != SO_EE_ORIGIN_ICMP || error->ee_type == kTypeRedirect)
                continue;
            // Every raw socket hears about every error: the quoted header must be ours.
            if (original.sin_addr.s_addr != target ||
                !isOurs(data, static_cast<size_t>(n), kTypeEchoRequest))
                return 1;
            sockaddr_in offender;
            std::memcpy(&offender, SO_EE_OFFENDER(error), sizeof offender);
            return finish(EchoStatusForIcmpError(error->ee_type, error->ee_code),
                          offender.sin_addr.s_addr);
        }
        return 1;
    }

    int send() {
        uint8_t packet[kHeaderSize + sizeof kPayload] = {kTypeEchoRequest, 0};
        packet[4] = static_cast<uint8_t>(identifier >> 8);
        packet[5] = static_cast<uint8_t>(identifier);
        packet[6] = static_cast<uint8_t>(sequence >> 8);
        packet[7] = static_cast<uint8_t>(sequence);
        std::memcpy(packet + kHeaderSize, kPayload, sizeof kPayload);
        const uint16_t sum = checksum(packet, sizeof packet);
        packet[2] = static_cast<uint8_t>(sum >> 8);
        packet[3] = static_cast<uint8_t>(sum);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = target;
        sent = Clock::now();
        if (::sendto(socket.fd, packet, sizeof packet, 0, reinterpret_cast<sockaddr*>(&to),
                     sizeof to) < 0)
            return finish(statusForErrno(errno), 0);
        ++g_sent;
        return 1;
    }

    int run() {
        if (const int status = send(); status != 1)
            return status;
        const auto deadline = sent + std::chrono::milliseconds(kTimeoutMs);
        for (;;) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                finish(kEchoTimedOut, 0);
                reply->RoundTripTime = 0; // no answer: no time to report
                return kEchoTimedOut;
            }
            pollfd p{socket.fd, POLLIN, 0};
            const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
            if (ready < 0 && errno != EINTR)
                return finish(kEchoGeneralFailure, 0);
            if (ready <= 0)
                continue;
            if (p.revents & POLLERR)
                if (const int status = readErrorQueue(); status != 1)
                    return status;
            if (p.revents & POLLIN)
                if (const int status = readPacket(); status != 1)
                    return status;
        }
    }
};

} // namespace

bool EchoStartup() {
    return true;
}

void EchoCleanup() {}

int PingAddress(const QString& address, IcmpEchoReply& reply) {
    reply = IcmpEchoReply{};
    t_lastKind = EchoSocketKind::None;
    const QByteArray text = address.toLatin1();
    const in_addr_t target = ::inet_addr(text.constData());
    // inet_addr's failure value is also the broadcast address; neither is pinged.
    if (target == INADDR_NONE || target == 0)
        return reply.Status = kEchoNotSent;
    Exchange exchange;
    if (!exchange.socket.open())
        return reply.Status = kEchoNotSent;
    t_lastKind = exchange.socket.kind;
    exchange.target = target;
    exchange.identifier = rawIdentifier();
    exchange.sequence = g_sequence.fetch_add(1);
    exchange.reply = &reply;
    return exchange.run();
}

QString IcmpPermissionProblem() {
    if (!g_refused)
        return {};
    QString program = QStringLiteral("/path/to/orvane");
    if (QCoreApplication::instance())
        program = QCoreApplication::applicationFilePath();
    else if (QFileInfo self(QStringLiteral("/proc/self/exe")); self.exists())
        program = self.symLinkTarget();
    return QStringLiteral(
               "This computer does not allow the program to send ICMP echo requests (ping), "
               "so the branch lists show \"Unknown Response\".\n\n"
               "An administrator can grant the right in one of two ways:\n\n"
               "1. Allow ping sockets for a range of group ids that holds the user's group "
               "(%1), for example for all groups:\n"
               "    sysctl -w net.ipv4.ping_group_range=\"0 2147483647\"\n"
               "and keep it after a restart with the line\n"
               "    net.ipv4.ping_group_range = 0 2147483647\n"
               "in a file under /etc/sysctl.d/.\n\n"
               "2. Or give the program the raw-socket capability:\n"
               "    setcap cap_net_raw+ep %2")
        .arg(::getgid())
        .arg(program);
}

void SetEchoSocketKinds(EchoSocketKinds kinds) {
    g_kinds = static_cast<int>(kinds);
}

EchoSocketKinds CurrentEchoSocketKinds() {
    return static_cast<EchoSocketKinds>(g_kinds.load());
}

EchoSocketKind LastEchoSocketKind() {
    return t_lastKind;
}

uint64_t EchoRequestsSent() {
    return g_sent;
}

} // namespace orvane
