// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <QtEndian>

#include <array>
#include <optional>

namespace ondalink {

// An IPv4 address as a value. The first number of the dotted text is the top byte of value.
struct Ipv4Address {
    quint32 value = 0;

    static constexpr Ipv4Address fromNetworkOrder(quint32 networkOrder) {
        return {qFromBigEndian(networkOrder)};
    }
    static constexpr Ipv4Address fromOctets(const std::array<quint8, 4> &octets) {
        return {(quint32{octets[0]} << 24) | (quint32{octets[1]} << 16) | (quint32{octets[2]} << 8) |
                quint32{octets[3]}};
    }

    // As sockets and the system's address functions take it.
    constexpr quint32 toNetworkOrder() const { return qToBigEndian(value); }
    constexpr std::array<quint8, 4> octets() const {
        return {static_cast<quint8>(value >> 24), static_cast<quint8>(value >> 16),
                static_cast<quint8>(value >> 8), static_cast<quint8>(value)};
    }
    // Four decimal numbers joined by ".", never with leading zeros.
    QString toString() const;

    friend constexpr bool operator==(Ipv4Address, Ipv4Address) = default;
};

// The dotted address as the panel accepts it: exactly four parts between ".", each decimal digits with a
// value 0..255 (leading zeros allowed), blanks around a part allowed. Nothing else is an address.
std::optional<Ipv4Address> parseDottedAddress(QStringView text);

// A dotted address that names one host: not 0.0.0.0, the limited broadcast or a multicast group.
std::optional<Ipv4Address> hostAddress(QStringView text);

} // namespace ondalink
