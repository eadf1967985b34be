// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "diag/echo_prober.h"
#include "diag/linux/ping_method.h"

namespace ondalink {

// ICMP echo on Linux. Prefers the unprivileged ICMP datagram socket (allowed to the groups in
// net.ipv4.ping_group_range), falls back to a raw socket (needs CAP_NET_RAW); with neither the
// echo gives EchoStatus::Unknown. A socket is opened and closed around each echo.
class IcmpProber : public EchoProber {
public:
    using SocketKind = PingMethod;

    // Linux has no network layer to start.
    bool startNetworking() override { return true; }
    void stopNetworking() override {}
    EchoResult echo(Ipv4Address address, int timeoutMs) override;

    // The kind of socket the last echo used.
    SocketKind lastSocketKind() const { return m_kind; }

private:
    EchoResult datagramEcho(int fd, quint32 addressNetworkOrder, int timeoutMs);
    EchoResult rawEcho(int fd, quint32 addressNetworkOrder, int timeoutMs);

    SocketKind m_kind = SocketKind::None;
    quint16 m_sequence = 0;
};

} // namespace ondalink
