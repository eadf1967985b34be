// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/datagrams.h"

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

} // namespace ondalink
