// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>

namespace ondalink::sim {

inline constexpr quint8 kEncoder = 1;
inline constexpr quint8 kDecoder = 2;

// What a configuration write and the attenuation datagram change. Held as raw wire values:
// the element takes whatever bytes it is sent, so a test can see exactly what arrived.
struct ElementSettings {
    quint32 ip = 0xC0A8000A; // 192.168.0.10, host order
    quint32 mask = 0xFFFFFF00;
    quint32 gw = 0xC0A80001;
    quint32 remote = 0xC0A80014;
    quint8 input = 0;
    quint8 type = 0;
    quint8 tx = 0;
    QByteArray name = QByteArrayLiteral("SIM ELEMENT     "); // always 16 bytes on the wire
    quint8 sfn = 0;
    quint8 buf = 4;
    quint8 att = 255;
    quint8 sdm = 0;
    quint8 sdl = 37;
    quint8 sdt = 43;
};

// What the element is and cannot be changed over the link.
struct ElementIdentity {
    quint8 role = kEncoder; // decides the report tail and the write length expected
    quint32 serial = 1001;
    quint8 versionHigh = 3; // the version is decimal(high) followed by decimal(low), over 10
    quint8 versionLow = 4;
};

// Bytes written over an encoded report, for corrupt fields the NMS must reject.
struct BytePatch {
    int offset = 0;
    QByteArray bytes;
};

enum class LevelShape {
    Sine,     // symmetric sine with the chosen positive peak
    Zero,     // digital silence
    Negative, // only the negative half-waves: no sample of zero or above
};

struct LevelSignal {
    LevelShape shape = LevelShape::Sine;
    qint32 peak = 4194304; // half of full scale: -6 dBFS
    int driftPeriodMs = 0; // 0 keeps the peak still; otherwise it swings down to a tenth and back
};

struct Faults {
    QList<BytePatch> patches;
    int reportLength = -1; // -1: the role's own length; otherwise cut or zero-filled to it
    int replyDelayMs = 0;
    bool noReply = false; // receive and apply, but never answer
};

// Where the element listens. Port 0 picks an ephemeral port (tests); read the bound ports back.
struct Endpoint {
    QHostAddress bindAddress = QHostAddress(QHostAddress::AnyIPv4);
    quint16 pagingPort = 1901;
    quint16 configPort = 2976;
    quint16 levelPort = 2977;
    // When set, the element owns its address on this interface: it binds its own IP (not
    // bindAddress), hears the broadcasts arriving there, and moves the address when a write changes
    // the IP or mask.
    QString interfaceName;
    QString ipCommand = QStringLiteral("ip");
};

struct SimConfig {
    ElementIdentity identity;
    ElementSettings settings;
    LevelSignal level;
    Faults faults;
    Endpoint endpoint;
};

// The i-th element (from 0) of a group played by one process: address and serial counted up from
// the first, and the name numbered from 1 so that the elements tell apart in a tree.
SimConfig nthElement(const SimConfig &first, int index);

// Dotted text of a host-order address, and back (nullopt unless four numbers 0..255).
QString dotted(quint32 address);

} // namespace ondalink::sim
