// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace ondalink {

inline constexpr int kLevelReplyLength = 1440;
inline constexpr int kLevelSampleCount = kLevelReplyLength / 3;
inline constexpr quint32 kLevelFullScale = 8388608; // 2^23

// The discovery broadcast: 32 bytes of text, no terminator.
QByteArray pagingRequest();
// The level request: the three letters V, O, L.
QByteArray levelRequest();
// [position, 0]: two bytes, not one.
QByteArray attenuationDatagram(quint8 position);

// Peak of the positive 24-bit big-endian samples of a level reply; negative samples do not count.
quint32 levelPeak(QByteArrayView reply);

} // namespace ondalink
