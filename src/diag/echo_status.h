// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace ondalink {

// How an echo ended: one value per status of the platform's ICMP interface that the operator can be
// shown, and Unknown for every other outcome, an echo that could not be sent included.
enum class EchoStatus {
    Success,
    BufferTooSmall,
    DestinationNetUnreachable,
    DestinationHostUnreachable,
    DestinationProtocolUnreachable,
    DestinationPortUnreachable,
    NoResources,
    BadOption,
    HardwareError,
    PacketTooBig,
    TimedOut,
    BadRequest,
    BadRoute,
    TtlExpiredTransit,
    TtlExpiredReassembly,
    ParameterProblem,
    SourceQuench,
    OptionTooBig,
    BadDestination,
    NegotiatingIpsec,
    GeneralFailure,
    Unknown, // last: the values run from Success to it
};

struct EchoResult {
    EchoStatus status = EchoStatus::Unknown;
    int roundTripMs = 0; // meaningful for Success only
};

// The text the operator is shown for a status ("Success!", "Request Timed Out", "Unknown Response").
QString echoStatusText(EchoStatus status);

} // namespace ondalink
