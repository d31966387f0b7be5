#pragma once
// One ICMP echo request per call, answered with the status codes and texts of the
// Windows ICMP interface that the monitor was designed around.
#include <QString>
#include <cstdint>

namespace orvane {

// The echo reply record: address of the answering host (network order), status,
// round-trip time in milliseconds and the echoed data.
struct IcmpEchoReply {
    uint32_t Address = 0;
    int32_t Status = 0;
    uint32_t RoundTripTime = 0;
    uint16_t DataSize = 0;
    char Data[250] = {};
};

// Status codes (IP status values of the Windows ICMP interface).
enum : int {
    kEchoNotSent = -1,
    kEchoSuccess = 0,
    kEchoBufferTooSmall = 11001,
    kEchoDestNetUnreachable = 11002,
    kEchoDestHostUnreachable = 11003,
    kEchoDestProtocolUnreachable = 11004,
    kEchoDestPortUnreachable = 11005,
    kEchoNoResources = 11006,
    kEchoBadOption = 11007,
    kEchoHardwareError = 11008,
    kEchoPacketTooBig = 11009,
    kEchoTimedOut = 11010,
    kEchoBadRequest = 11011,
    kEchoBadRoute = 11012,
    kEchoTtlExpiredTransit = 11013,
    kEchoTtlExpiredReassembly = 11014,
    kEchoParameterProblem = 11015,
    kEchoSourceQuench = 11016,
    kEchoOptionTooBig = 11017,
    kEchoBadDestination = 11018,
    kEchoNegotiatingIpsec = 11032,
    kEchoGeneralFailure = 11050,
};

// Nothing to start on this platform; kept so callers bracket each ping as designed.
bool EchoStartup();
void EchoCleanup();

// Sends one echo request ("hello", 5 bytes) to a dotted IPv4 address and waits at most
// 1000 ms. Returns the status; the reply record is zeroed first and then filled in.
// -1 when nothing was sent: an address inet_addr rejects, 0.0.0.0, 255.255.255.255,
// or no ICMP socket could be opened. Safe to call from several threads at once.
int PingAddress(const QString& address, IcmpEchoReply& reply);

QString EchoStatusText(int status);

// Maps an ICMP error (type, code) to its status code; 11050 for types that are no error.
int EchoStatusForIcmpError(int type, int code);

// Non-empty while the system refuses both ICMP socket kinds to this process (the last
// attempt failed for lack of rights): says why and how an administrator grants the right.
QString IcmpPermissionProblem();

// Which socket kinds PingAddress may try. A kind that is not allowed behaves as if the
// system refused it, so the fallback and the no-rights path can be exercised.
enum class EchoSocketKinds { Any, DatagramOnly, RawOnly, None };
void SetEchoSocketKinds(EchoSocketKinds kinds);
EchoSocketKinds CurrentEchoSocketKinds();

// The socket kind the calling thread's last PingAddress used (None: no socket opened).
enum class EchoSocketKind { None, Datagram, Raw };
EchoSocketKind LastEchoSocketKind();

// How many echo requests this process has handed to the system.
uint64_t EchoRequestsSent();

} // namespace orvane
