// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/element_role.h"

#include <QFlags>
#include <QString>

namespace ondalink {

// Decoder settings that a report or a stored section may lack. Every other field always has a value.
enum class OptionalField : quint8 {
    Att = 0x1,
    Sdm = 0x2,
    Sdl = 0x4,
    Sdt = 0x8,
};
Q_DECLARE_FLAGS(OptionalFields, OptionalField)
Q_DECLARE_OPERATORS_FOR_FLAGS(OptionalFields)

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

    ElementRole kind() const { return roleFromValue(role); }

    friend bool operator==(const ElementRecord &, const ElementRecord &) = default;
};

inline constexpr int kNameLength = 16;

} // namespace ondalink
