// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace ondalink {

// One Network Element's identity and configuration. Field names are the nms.ini key names.
// Byte-sized fields hold the raw value an element reported; ranges are enforced by the panel.
struct ElementRecord {
    QString mac;  // colon form, 00:1A:2B:3C:4D:5E
    QString name; // 16 characters on the wire and in nms.ini
    QString ip;
    QString mask;
    QString gw;
    QString remote;
    quint8 input = 0;
    quint8 type = 0;
    quint8 tx = 0;
    quint8 role = 0;
    qint32 sn = 0;
    double ver = 0.0; // tenths are exact: always (joined integer) / 10
    quint8 sfn = 0;
    quint8 buf = 0;
    quint8 att = 0;
    quint8 sdm = 0;
    quint8 sdl = 0;
    quint8 sdt = 0;
    QString bound;

    friend bool operator==(const ElementRecord &, const ElementRecord &) = default;
};

inline constexpr quint8 kRoleEncoder = 1;
inline constexpr quint8 kRoleDecoder = 2;

// Fixed ranges of the panel's scroll bars; the report handler and panel loading clamp to them.
inline constexpr int kAttenMin = 14;
inline constexpr int kAttenMax = 255;
inline constexpr int kBufferMin = 0;
inline constexpr int kBufferMax = 8;
inline constexpr int kSilDetLevelMin = 1;
inline constexpr int kSilDetLevelMax = 154;
inline constexpr int kSilDetTimeMin = 1;
inline constexpr int kSilDetTimeMax = 220;

inline constexpr int kNameLength = 16;

} // namespace ondalink
