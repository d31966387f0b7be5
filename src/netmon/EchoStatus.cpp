// Status texts and the ICMP error mapping of the echo module.
#include "netmon/mdlPing.h"

#include <QHash>

namespace orvane {

QString EchoStatusText(int status) {
    static const QHash<int, QString> texts = {
        {kEchoSuccess, QStringLiteral("Success!")},
        {kEchoBufferTooSmall, QStringLiteral("Buffer Too Small")},
        {kEchoDestNetUnreachable, QStringLiteral("Destination Net Unreachable")},
        {kEchoDestHostUnreachable, QStringLiteral("Destination Host Unreachable")},
        {kEchoDestProtocolUnreachable, QStringLiteral("Destination Protocol Unreachable")},
        {kEchoDestPortUnreachable, QStringLiteral("Destination Port Unreachable")},
        {kEchoNoResources, QStringLiteral("No Resources")},
        {kEchoBadOption, QStringLiteral("Bad Option")},
        {kEchoHardwareError, QStringLiteral("Hardware Error")},
        {kEchoPacketTooBig, QStringLiteral("Packet Too Big")},
        {kEchoTimedOut, QStringLiteral("Request Timed Out")},
        {kEchoBadRequest, QStringLiteral("Bad Request")},
        {kEchoBadRoute, QStringLiteral("Bad Route")},
        {kEchoTtlExpiredTransit, QStringLiteral("TimeToLive Expired Transit")},
        {kEchoTtlExpiredReassembly, QStringLiteral("TimeToLive Expired Reassembly")},
        {kEchoParameterProblem, QStringLiteral("Parameter Problem")},
        {kEchoSourceQuench, QStringLiteral("Source Quench")},
        {kEchoOptionTooBig, QStringLiteral("Option Too Big")},
        {kEchoBadDestination, QStringLiteral("Bad Destination")},
        {kEchoNegotiatingIpsec, QStringLiteral("Negotiating IPSEC")},
        {kEchoGeneralFailure, QStringLiteral("General Failure")},
    };
    return texts.value(status, QStringLiteral("Unknown Response"));
}

int EchoStatusForIcmpError(int type, int code) {
    switch (type) {
    case 3: // destination unreachable
        switch (code) {
        case 0:  // network
        case 6:  // network unknown
        case 9:  // network administratively prohibited
        case 11: // network for type of service
            return kEchoDestNetUnreachable;
        case 2:
            return kEchoDestProtocolUnreachable;
        case 3:
            return kEchoDestPortUnreachable;
        case 4: // fragmentation needed but "don't fragment" set
            return kEchoPacketTooBig;
        case 5: // source route failed
            return kEchoBadRoute;
        default: // host, host unknown, isolated, prohibited, ...
            return kEchoDestHostUnreachable;
        }
    case 4:
        return kEchoSourceQuench;
    case 11: // time exceeded: in transit, or while reassembling fragments
        return code == 1 ? kEchoTtlExpiredReassembly : kEchoTtlExpiredTransit;
    case 12:
        return kEchoParameterProblem;
    default:
        return kEchoGeneralFailure;
    }
}

} // namespace orvane
