// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/echo_status.h"

using namespace Qt::StringLiterals;

namespace ondalink {

QString echoStatusText(EchoStatus status) {
    // No default: a status added to the enum without its text does not compile.
    switch (status) {
    case EchoStatus::Success:
        return u"Success!"_s;
    case EchoStatus::BufferTooSmall:
        return u"Buffer Too Small"_s;
    case EchoStatus::DestinationNetUnreachable:
        return u"Destination Net Unreachable"_s;
    case EchoStatus::DestinationHostUnreachable:
        return u"Destination Host Unreachable"_s;
    case EchoStatus::DestinationProtocolUnreachable:
        return u"Destination Protocol Unreachable"_s;
    case EchoStatus::DestinationPortUnreachable:
        return u"Destination Port Unreachable"_s;
    case EchoStatus::NoResources:
        return u"No Resources"_s;
    case EchoStatus::BadOption:
        return u"Bad Option"_s;
    case EchoStatus::HardwareError:
        return u"Hardware Error"_s;
    case EchoStatus::PacketTooBig:
        return u"Packet Too Big"_s;
    case EchoStatus::TimedOut:
        return u"Request Timed Out"_s;
    case EchoStatus::BadRequest:
        return u"Bad Request"_s;
    case EchoStatus::BadRoute:
        return u"Bad Route"_s;
    case EchoStatus::TtlExpiredTransit:
        return u"TimeToLive Expired Transit"_s;
    case EchoStatus::TtlExpiredReassembly:
        return u"TimeToLive Expired Reassembly"_s;
    case EchoStatus::ParameterProblem:
        return u"Parameter Problem"_s;
    case EchoStatus::SourceQuench:
        return u"Source Quench"_s;
    case EchoStatus::OptionTooBig:
        return u"Option Too Big"_s;
    case EchoStatus::BadDestination:
        return u"Bad Destination"_s;
    case EchoStatus::NegotiatingIpsec:
        return u"Negotiating IPSEC"_s;
    case EchoStatus::GeneralFailure:
        return u"General Failure"_s;
    case EchoStatus::Unknown:
        break;
    }
    return u"Unknown Response"_s;
}

} // namespace ondalink
