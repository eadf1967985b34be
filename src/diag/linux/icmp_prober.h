// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "diag/echo_prober.h"
#include "diag/linux/ping_method.h"

namespace ondalink {

// ICMP echo on Linux. Prefers the unprivileged ICMP datagram socket (allowed to the groups in
// net.ipv4.ping_group_range), falls back to a raw socket (needs CAP_NET_RAW); with neither the
// echo gives kEchoNoEcho. A socket is opened and closed around each echo.
class IcmpProber : public EchoProber {
public:
    using SocketKind = PingMethod;

    // Linux has no sockets layer to start.
    bool startSockets() override { return true; }
    void stopSockets() override {}
    EchoReply echo(quint32 addressNetworkOrder, int timeoutMs) override;

    // The kind of socket the last echo used.
    SocketKind lastSocketKind() const { return m_kind; }

private:
    EchoReply datagramEcho(int fd, quint32 address, int timeoutMs);
    EchoReply rawEcho(int fd, quint32 address, int timeoutMs);

    SocketKind m_kind = SocketKind::None;
    quint16 m_sequence = 0;
};

} // namespace ondalink
