// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace ondalink {

// One bounded ARP attempt for an IPv4 address (network byte order, as AddressValue gives it).
// True when the system answered; hardwareAddress then holds the address it found, of any length.
class MacResolver {
public:
    virtual ~MacResolver() = default;
    virtual bool sendArp(quint32 addressNetworkOrder, QByteArray &hardwareAddress) = 0;
};

} // namespace ondalink
