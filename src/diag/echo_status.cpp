// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/echo_status.h"

#include <QCoreApplication>

namespace ondalink {

QString echoStatusText(EchoStatus status) {
    // No default: a status added to the enum without its text does not compile. The texts are shown
    // on the ping label.
    switch (status) {
    case EchoStatus::Success:
        return QCoreApplication::translate("EchoStatus", "Success!");
    case EchoStatus::BufferTooSmall:
        return QCoreApplication::translate("EchoStatus", "Buffer Too Small");
    case EchoStatus::DestinationNetUnreachable:
        return QCoreApplication::translate("EchoStatus", "Destination Net Unreachable");
    case EchoStatus::DestinationHostUnreachable:
        return QCoreApplication::translate("EchoStatus", "Destination Host Unreachable");
    case EchoStatus::DestinationProtocolUnreachable:
        return QCoreApplication::translate("EchoStatus", "Destination Protocol Unreachable");
    case EchoStatus::DestinationPortUnreachable:
        return QCoreApplication::translate("EchoStatus", "Destination Port Unreachable");
    case EchoStatus::NoResources:
        return QCoreApplication::translate("EchoStatus", "No Resources");
    case EchoStatus::BadOption:
        return QCoreApplication::translate("EchoStatus", "Bad Option");
    case EchoStatus::HardwareError:
        return QCoreApplication::translate("EchoStatus", "Hardware Error");
    case EchoStatus::PacketTooBig:
        return QCoreApplication::translate("EchoStatus", "Packet Too Big");
    case EchoStatus::TimedOut:
        return QCoreApplication::translate("EchoStatus", "Request Timed Out");
    case EchoStatus::BadRequest:
        return QCoreApplication::translate("EchoStatus", "Bad Request");
    case EchoStatus::BadRoute:
        return QCoreApplication::translate("EchoStatus", "Bad Route");
    case EchoStatus::TtlExpiredTransit:
        return QCoreApplication::translate("EchoStatus", "TimeToLive Expired Transit");
    case EchoStatus::TtlExpiredReassembly:
        return QCoreApplication::translate("EchoStatus", "TimeToLive Expired Reassembly");
    case EchoStatus::ParameterProblem:
        return QCoreApplication::translate("EchoStatus", "Parameter Problem");
    case EchoStatus::SourceQuench:
        return QCoreApplication::translate("EchoStatus", "Source Quench");
    case EchoStatus::OptionTooBig:
        return QCoreApplication::translate("EchoStatus", "Option Too Big");
    case EchoStatus::BadDestination:
        return QCoreApplication::translate("EchoStatus", "Bad Destination");
    case EchoStatus::NegotiatingIpsec:
        return QCoreApplication::translate("EchoStatus", "Negotiating IPSEC");
    case EchoStatus::GeneralFailure:
        return QCoreApplication::translate("EchoStatus", "General Failure");
    case EchoStatus::Unknown:
        break;
    }
    return QCoreApplication::translate("EchoStatus", "Unknown Response");
}

} // namespace ondalink
