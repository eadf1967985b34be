// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "diag/echo_status.h"
#include "model/ipv4.h"

namespace ondalink {

// One ICMP echo to an IPv4 address with the payload "hello", blocking for at most timeoutMs. The OS
// backend maps ICMP errors to their status; Unknown when no echo could be sent at all (no socket, no
// permission).
class EchoProber {
public:
    virtual ~EchoProber() = default;
    // Brings up the platform's network layer around an echo where it has one to start; false when it
    // is not usable.
    virtual bool startNetworking() = 0;
    virtual void stopNetworking() = 0;
    virtual EchoResult echo(Ipv4Address address, int timeoutMs) = 0;
};

} // namespace ondalink
