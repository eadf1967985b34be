// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ipv4.h"

namespace ondalink {

namespace {

// One part: digits only once the blanks around it are gone; stops as soon as it leaves a byte.
std::optional<quint8> octet(QStringView part) {
    const QStringView digits = part.trimmed();
    if (digits.isEmpty())
        return std::nullopt;
    int value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > 255)
            return std::nullopt;
    }
    return static_cast<quint8>(value);
}

} // namespace

QString Ipv4Address::toString() const {
    const auto o = octets();
    return QString::number(o[0]) + QChar(u'.') + QString::number(o[1]) + QChar(u'.') + QString::number(o[2]) +
           QChar(u'.') + QString::number(o[3]);
}

std::optional<Ipv4Address> parseDottedAddress(QStringView text) {
    std::array<quint8, 4> octets{};
    qsizetype count = 0;
    for (const QStringView part : text.tokenize(u'.')) {
        if (count == 4)
            return std::nullopt;
        const auto value = octet(part);
        if (!value)
            return std::nullopt;
        octets[static_cast<size_t>(count++)] = *value;
    }
    if (count != 4)
        return std::nullopt;
    return Ipv4Address::fromOctets(octets);
}

std::optional<Ipv4Address> hostAddress(QStringView text) {
    const auto address = parseDottedAddress(text);
    if (!address || address->value == 0 || address->value == 0xFFFFFFFFu || (address->value >> 28) == 0xE)
        return std::nullopt;
    return address;
}

} // namespace ondalink
