// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/mac_lookup.h"

#include <QtEndian>

#include <array>

namespace ondalink {

namespace {

// The platform's lookup writes into a buffer of two 32-bit words.
constexpr qsizetype kBufferSize = 8;

bool isDigitIn(char16_t c, int base) {
    if (c >= u'0' && c <= u'9')
        return c - u'0' < base;
    if (base == 16)
        return (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    return false;
}

int digitValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    return (c | 0x20) - u'a' + 10;
}

bool isAsciiSpace(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// One part of the address as strtoul with base 0 reads it; nullopt when there is no number or it
// leaves 32 bits. pos moves past the digits.
std::optional<quint32> readPart(QStringView text, qsizetype &pos) {
    const qsizetype size = text.size();
    if (pos >= size || !isDigitIn(text.at(pos).unicode(), 10))
        return std::nullopt;
    int base = 10;
    if (text.at(pos) == u'0') {
        base = 8;
        ++pos;
        if (pos + 1 < size && (text.at(pos) == u'x' || text.at(pos) == u'X') &&
            isDigitIn(text.at(pos + 1).unicode(), 16)) {
            base = 16;
            ++pos;
        }
    }
    quint64 value = 0;
    while (pos < size && isDigitIn(text.at(pos).unicode(), base)) {
        value = value * static_cast<quint64>(base) + static_cast<quint64>(digitValue(text.at(pos).unicode()));
        if (value > 0xFFFFFFFFull)
            return std::nullopt;
        ++pos;
    }
    return static_cast<quint32>(value);
}

} // namespace

std::optional<Ipv4Address> parseInetAddress(QStringView text) {
    std::array<quint32, 4> parts{};
    int count = 0;
    qsizetype pos = 0;
    for (;;) {
        const std::optional<quint32> part = readPart(text, pos);
        if (!part)
            return std::nullopt;
        parts[static_cast<size_t>(count++)] = *part;
        if (pos < text.size() && text.at(pos) == u'.') {
            if (count == 4 || *part > 0xFF)
                return std::nullopt;
            ++pos;
            continue;
        }
        break;
    }
    // inet_addr stops at the first blank (or NUL, where a C string would end) and ignores the rest.
    if (pos < text.size() && !isAsciiSpace(text.at(pos).unicode()) && text.at(pos) != QChar(0))
        return std::nullopt;

    // The last part fills all the bytes that the parts before it leave.
    const quint32 last = parts[static_cast<size_t>(count - 1)];
    const quint32 lastLimit = count == 1 ? 0xFFFFFFFFu : (0xFFFFFFFFu >> (8 * (count - 1)));
    if (last > lastLimit)
        return std::nullopt;
    quint32 value = last;
    for (int i = 0; i < count - 1; ++i)
        value |= parts[static_cast<size_t>(i)] << (24 - 8 * i);
    return Ipv4Address{value};
}

bool lookupMac(const QString &address, QString &mac, const QString &separator, MacResolver &resolver) {
    // Text that is no address reads as all ones, as inet_addr gives it; the attempt then fails.
    const Ipv4Address value = parseInetAddress(address).value_or(Ipv4Address{0xFFFFFFFFu});
    if (value.value == 0)
        return false;

    QByteArray found;
    if (!resolver.sendArp(value.toNetworkOrder(), found))
        return false;
    // Longer than the buffer: the platform's call fails with "buffer too small".
    if (found.size() > kBufferSize)
        return false;

    QByteArray buffer(kBufferSize, '\0');
    std::copy(found.cbegin(), found.cend(), buffer.begin());
    const auto firstWord = qFromUnaligned<quint32>(buffer.constData());
    if (firstWord == 0 || found.isEmpty())
        return false;

    mac = macTextFromBytes(found, separator);
    return true;
}

QString macTextFromBytes(const QByteArray &bytes, const QString &separator) {
    if (bytes.size() != 6)
        return {};
    QString text;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            text += separator;
        text += QString::number(static_cast<quint8>(bytes.at(i)), 16).toUpper().rightJustified(2, u'0');
    }
    return text;
}

} // namespace ondalink
