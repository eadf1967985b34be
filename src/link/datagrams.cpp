// SPDX-License-Identifier: GPL-3.0-or-later
#include "datagrams.h"

#include "link/panel_view.h"
#include "model/element_record.h"
#include "model/encodings.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace ondalink {

QByteArray pagingRequest() {
    return QByteArrayLiteral("LINKWAVE KORVALEN PAGING REQUEST");
}

QByteArray levelRequest() {
    return QByteArrayLiteral("VOL");
}

QByteArray attenuationDatagram(quint8 position) {
    QByteArray bytes(2, '\0');
    bytes[0] = static_cast<char>(position);
    return bytes;
}

namespace {

// A byte of the datagram, only when the value lies in the control's range.
std::optional<char> rangedByte(int value, int min, int max) {
    if (value < min || value > max)
        return std::nullopt;
    return static_cast<char>(static_cast<quint8>(value));
}

} // namespace

std::optional<QByteArray> packConfigurationWrite(const PanelView &panel) {
    const bool decoder = panel.elementType() == u"DECODER"_s;
    QByteArray bytes;
    bytes.reserve(kDecoderConfigurationWriteLength);

    for (const QString &address :
         {panel.elementIp(), panel.elementMask(), panel.elementGateway(), panel.remoteIp()}) {
        const auto octets = addressToBytes(address);
        if (!octets)
            return std::nullopt;
        for (quint8 octet : *octets)
            bytes.append(static_cast<char>(octet));
    }

    QList<std::optional<char>> fields = {rangedByte(panel.audioInputIndex(), 0, 1),
                                         rangedByte(panel.audioTypeIndex(), 0, 1),
                                         rangedByte(panel.audioTxIndex(), 0, 1)};
    for (const auto &field : fields) {
        if (!field)
            return std::nullopt;
        bytes.append(*field);
    }
    bytes.append(nameToBytes(panel.elementName()));

    if (decoder) {
        // Taken from the controls whether or not they are enabled.
        fields = {rangedByte(panel.sfnEnabled() ? 1 : 0, 0, 1),
                  rangedByte(panel.buffer(), kBufferMin, kBufferMax), rangedByte(panel.silDetMode(), 0, 2),
                  rangedByte(panel.silDetLevel(), kSilDetLevelMin, kSilDetLevelMax),
                  rangedByte(panel.silDetTime(), kSilDetTimeMin, kSilDetTimeMax)};
        for (const auto &field : fields) {
            if (!field)
                return std::nullopt;
            bytes.append(*field);
        }
    }
    return bytes;
}

quint32 levelPeak(QByteArrayView reply) {
    quint32 peak = 0;
    for (qsizetype offset = 0; offset + 3 <= reply.size(); offset += 3) {
        const auto b0 = static_cast<quint8>(reply[offset]);
        if (b0 >= 128)
            continue; // negative half-waves do not count
        const quint32 value = (quint32{b0} << 16) | (quint32{static_cast<quint8>(reply[offset + 1])} << 8) |
                              quint32{static_cast<quint8>(reply[offset + 2])};
        if (value > peak)
            peak = value;
    }
    return peak;
}

LevelDisplay noLevel() {
    return {0, u"-oodBFS"_s};
}

LevelDisplay levelDisplay(quint32 peak, const QLocale &locale) {
    if (peak == 0)
        return noLevel();
    const double ratio = static_cast<double>(peak) / kLevelFullScale;
    const int width = static_cast<int>(roundHalfEven(ratio * kMeterFullWidth, 0));
    const double decibels = roundHalfEven(20.0 * Log10(ratio), 1);
    return {width, shortestDecimal(decibels, locale) + u"dBFS"_s};
}

double Log10(double x) {
    return std::log(x) / std::log(10.0);
}

} // namespace ondalink
