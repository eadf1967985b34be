// SPDX-License-Identifier: GPL-3.0-or-later
// Element reports laid out byte by byte, as an element sends them.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <initializer_list>

namespace ondalink::testing {

struct ReportBytes {
    std::array<quint8, 4> ip{192, 168, 1, 10};
    std::array<quint8, 4> mask{255, 255, 255, 0};
    std::array<quint8, 4> gw{192, 168, 1, 1};
    std::array<quint8, 4> remote{192, 168, 1, 20};
    quint8 input = 1;
    quint8 type = 0;
    quint8 tx = 1;
    QByteArray name = QByteArrayLiteral("Dec One         "); // 16 bytes as sent
    quint8 role = 2;
    quint32 sn = 256;
    QByteArray tail; // bytes 40 onwards

    QByteArray bytes() const {
        QByteArray out;
        for (const auto &address : {ip, mask, gw, remote})
            for (quint8 octet : address)
                out.append(static_cast<char>(octet));
        out.append(static_cast<char>(input));
        out.append(static_cast<char>(type));
        out.append(static_cast<char>(tx));
        out.append(name.left(16).leftJustified(16, ' '));
        out.append(static_cast<char>(role));
        for (int shift = 24; shift >= 0; shift -= 8)
            out.append(static_cast<char>((sn >> shift) & 0xFF));
        return out + tail;
    }
};

inline ReportBytes reportOf(quint8 role, const QByteArray &tail = {}) {
    ReportBytes report;
    report.role = role;
    report.tail = tail;
    return report;
}

inline QByteArray bytesOf(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

// A full decoder report: att, version 3.4, sfn, buf, sdm, sdl, sdt.
inline QByteArray decoderTail(quint8 att = 200, quint8 buf = 4, quint8 sdm = 1, quint8 sdl = 37,
                              quint8 sdt = 43) {
    return bytesOf({att, 3, 4, 1, buf, sdm, sdl, sdt});
}
// A full encoder report: version 3.4, sfn, buf.
inline QByteArray encoderTail(quint8 buf = 2) {
    return bytesOf({3, 4, 1, buf});
}

} // namespace ondalink::testing
