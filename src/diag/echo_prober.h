// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace ondalink {

// Status codes of an echo, as the status table names them.
inline constexpr qint32 kEchoSuccess = 0;
inline constexpr qint32 kEchoNoEcho = -1;
inline constexpr qint32 kEchoTimedOut = 11010;

struct EchoReply {
    qint32 status = kEchoNoEcho;
    quint32 roundTripMs = 0;
};

// One ICMP echo to an IPv4 address (network byte order) with the payload "hello", blocking for at
// most timeoutMs. The OS backend maps ICMP errors to the status codes; kEchoNoEcho when no echo
// could be sent at all (no socket, no permission).
class EchoProber {
public:
    virtual ~EchoProber() = default;
    virtual bool startSockets() = 0;
    virtual void stopSockets() = 0;
    virtual EchoReply echo(quint32 addressNetworkOrder, int timeoutMs) = 0;
};

} // namespace ondalink
