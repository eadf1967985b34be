// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "diag/echo_status.h"
#include "model/ipv4.h"

#include <QObject>

namespace ondalink {

// ICMP echoes that never block the event loop: probe() sends at once and finished() follows when the
// reply, an ICMP error or the time-out comes. The status monitor probes through it; the console only
// creates the Linux one (AsyncIcmpProber) and hands it to the monitor, tests hand a fake.
class AsyncEchoProber : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Whether this process may send an echo at all. False when neither socket kind may be opened;
    // every probe() then returns 0.
    virtual bool isPermitted() const = 0;
    // Sends one echo; a token (never 0) that finished() names, or 0 when nothing left (not permitted,
    // maxInFlight() echoes outstanding, or the address names no single host).
    virtual quint64 probe(Ipv4Address address, int timeoutMs) = 0;
    virtual int inFlight() const = 0;
    virtual int maxInFlight() const { return 64; }

Q_SIGNALS:
    // Once per token a probe() returned: Success with the round trip, TimedOut, or the ICMP error.
    void finished(quint64 token, ondalink::Ipv4Address address, ondalink::EchoResult result);
};

} // namespace ondalink
