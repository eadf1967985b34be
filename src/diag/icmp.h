// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "echo_prober.h"

#include <QString>

namespace ondalink::ICMP {

inline constexpr int kEchoTimeoutMs = 1000;

// Status codes the backends map ICMP errors to (besides kEchoSuccess and kEchoTimedOut).
inline constexpr qint32 kEchoNetUnreachable = 11002;
inline constexpr qint32 kEchoHostUnreachable = 11003;
inline constexpr qint32 kEchoProtocolUnreachable = 11004;
inline constexpr qint32 kEchoPortUnreachable = 11005;
inline constexpr qint32 kEchoNoResources = 11006;
inline constexpr qint32 kEchoPacketTooBig = 11009;
inline constexpr qint32 kEchoBadRoute = 11012;
inline constexpr qint32 kEchoTtlExpiredTransit = 11013;
inline constexpr qint32 kEchoTtlExpiredReassembly = 11014;
inline constexpr qint32 kEchoParameterProblem = 11015;
inline constexpr qint32 kEchoSourceQuench = 11016;
inline constexpr qint32 kEchoGeneralFailure = 11050;

// Starts the platform's sockets layer; true when it is usable.
bool StartSockets(EchoProber &prober);
void StopSockets(EchoProber &prober);

// One echo to a dotted IPv4 address. Status kEchoNoEcho (-1) without probing when the address is
// 0.0.0.0, 255.255.255.255 or no address at all.
EchoReply EchoProbe(const QString &address, EchoProber &prober);

// The text shown for a status; "Unknown Response" for any code outside the table.
QString EchoStatusText(qint32 status);

} // namespace ondalink::ICMP
