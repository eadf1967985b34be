// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim_config.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The element's side of the link, written on its own so that it can check the NMS's codecs.
namespace ondalink::sim {

inline constexpr QByteArrayView kPagingRequest("LINKWAVE KORVALEN PAGING REQUEST");
inline constexpr QByteArrayView kLevelRequest("VOL");
inline constexpr int kEncoderReportLength = 44;
inline constexpr int kDecoderReportLength = 48;
inline constexpr int kEncoderWriteLength = 35;
inline constexpr int kDecoderWriteLength = 40;
inline constexpr int kAttenuationLength = 2;
inline constexpr int kMuteAttenuation = 14;

// The report the element sends: 44 bytes for an encoder, 48 for a decoder (role byte 2).
QByteArray encodeReport(const ElementIdentity &identity, const ElementSettings &settings);
// Patches first (outside the report they are dropped), then the length: cut, or zero-filled.
QByteArray applyFaults(QByteArray report, const Faults &faults);

struct WriteResult {
    bool accepted = false;
    ElementSettings settings; // the new state when accepted, the old one otherwise
    QString note;             // what was done, for the log
};

// A 35-byte write carries the common fields, a 40-byte one also the decoder's. An encoder takes
// the common part of a 40-byte write; a decoder applies a 35-byte one without touching its own.
WriteResult applyConfigWrite(const ElementSettings &current, QByteArrayView datagram, quint8 role);

// The attenuation datagram [position, 0]; positions below mute are not something the NMS can send.
std::optional<quint8> attenuationFrom(QByteArrayView datagram);

// Version bytes for a text such as "3.4" or "34.1": high and low whose decimal texts joined give
// the tenths. nullopt when the text is no version or cannot be split into two bytes.
std::optional<std::pair<quint8, quint8>> versionBytes(const QString &text);

// Mask 255.255.255.0 gives 24; nullopt unless the ones are contiguous.
std::optional<int> prefixLength(quint32 mask);

} // namespace ondalink::sim
