// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

namespace ondalink {

// One bounded ARP attempt for an IPv4 address (network byte order, Ipv4Address::toNetworkOrder).
// True when the system answered; hardwareAddress then holds the address it found, of any length.
class MacResolver {
public:
    virtual ~MacResolver() = default;
    virtual bool sendArp(quint32 addressNetworkOrder, QByteArray &hardwareAddress) = 0;
    // Starts resolving addresses that will be looked up soon, without waiting for any of them, so
    // that their exchanges overlap instead of running one after the other.
    virtual void prepare(const QList<quint32> &addressesNetworkOrder) { (void)addressesNetworkOrder; }
    // Whether an attempt can ever find the address: it is this host's or on one of its networks. An
    // element behind a router is not.
    virtual bool canReach(quint32 addressNetworkOrder) const {
        (void)addressNetworkOrder;
        return true;
    }
};

} // namespace ondalink
