// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/agentx/element_values.h"

#include "model/ipv4.h"

namespace ondalink::mib {

QByteArray macOctets(const QString &mac) {
    const QStringList parts = mac.split(QLatin1Char(':'));
    if (parts.size() != 6)
        return {};
    QByteArray out;
    for (const QString &part : parts) {
        bool ok = false;
        const uint value = part.toUInt(&ok, 16);
        if (!ok || part.size() != 2 || value > 0xFF)
            return {};
        out.append(static_cast<char>(value));
    }
    return out;
}

QByteArray nameOctets(const QString &name) {
    constexpr qsizetype kMaxOctets = 32;
    QByteArray utf8 = name.toUtf8();
    if (utf8.size() <= kMaxOctets)
        return utf8;
    qsizetype end = kMaxOctets;
    // Back off continuation bytes (10xxxxxx) so that the cut falls before a character's first byte.
    while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
        --end;
    utf8.truncate(end);
    return utf8;
}

InetValue inetAddress(const QString &ip) {
    // Four dotted decimals only: the short forms a resolver would take are no stored address.
    const std::optional<Ipv4Address> address = parseDottedAddress(ip);
    if (!address)
        return {};
    QByteArray octets;
    for (const quint8 octet : address->octets())
        octets.append(static_cast<char>(octet));
    return {1, octets};
}

QByteArray dateAndTime(const QDateTime &when) {
    if (!when.isValid()) {
        QByteArray never(8, '\0'); // not {8, '\0'}: that would be two octets
        return never;
    }
    const QDateTime utc = when.toUTC();
    const QDate date = utc.date();
    const QTime time = utc.time();
    QByteArray out(11, '\0');
    out[0] = static_cast<char>((date.year() >> 8) & 0xFF);
    out[1] = static_cast<char>(date.year() & 0xFF);
    out[2] = static_cast<char>(date.month());
    out[3] = static_cast<char>(date.day());
    out[4] = static_cast<char>(time.hour());
    out[5] = static_cast<char>(time.minute());
    out[6] = static_cast<char>(time.second());
    out[7] = static_cast<char>(time.msec() / 100); // deci-seconds
    out[8] = '+';
    return out; // offset hours and minutes stay 0
}

int roleValue(ElementRole role) {
    switch (role) {
    case ElementRole::Encoder:
        return 1;
    case ElementRole::Decoder:
        return 2;
    case ElementRole::Unknown:
        break;
    }
    return 0;
}

int statusValue(ElementStatus status) {
    switch (status) {
    case ElementStatus::Online:
        return 2;
    case ElementStatus::Offline:
        return 3;
    case ElementStatus::Unknown:
        break;
    }
    return 1;
}

int silenceValue(SilenceState state) {
    switch (state) {
    case SilenceState::Waiting:
        return 2;
    case SilenceState::Sounding:
        return 3;
    case SilenceState::Silent:
        return 4;
    case SilenceState::NotWatched:
        break;
    }
    return 1;
}

int roundTripValue(std::optional<int> ms) {
    return ms && *ms >= 0 ? *ms : -1;
}

} // namespace ondalink::mib
