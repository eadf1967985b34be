// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QLocale>
#include <QString>

#include <optional>

namespace ondalink {

class PanelView;

inline constexpr int kConfigurationWriteLength = 35;
inline constexpr int kDecoderConfigurationWriteLength = 40;
inline constexpr int kLevelReplyLength = 1440;
inline constexpr int kLevelSampleCount = kLevelReplyLength / 3;
inline constexpr quint32 kLevelFullScale = 8388608; // 2^23
inline constexpr int kMeterFullWidth = 2100;        // meter units; 15 per pixel

// The discovery broadcast: 32 bytes of text, no terminator.
QByteArray pagingRequest();
// The level request: the three letters V, O, L.
QByteArray levelRequest();
// [position, 0]: two bytes, not one.
QByteArray attenuationDatagram(quint8 position);

// The configuration write as the panel holds it: 35 bytes, or 40 when the type label reads exactly
// "DECODER". nullopt when an address is not valid or a field has no value its byte can carry
// (no selection, a value outside the control's range): such a datagram is never sent.
std::optional<QByteArray> packConfigurationWrite(const PanelView &panel);

// Peak of the positive 24-bit big-endian samples of a level reply; negative samples do not count.
quint32 levelPeak(QByteArrayView reply);

// What the meter and the level text show.
struct LevelDisplay {
    int meterWidth = 0;
    QString text;

    friend bool operator==(const LevelDisplay &, const LevelDisplay &) = default;
};

// The display for no level at all: an empty meter and "-oodBFS".
LevelDisplay noLevel();
// The display for a peak: meter width of 2100 at full scale, decibels to full scale with one decimal.
LevelDisplay levelDisplay(quint32 peak, const QLocale &locale = QLocale());

// Decimal logarithm as ln(x) / ln(10).
double Log10(double x);

} // namespace ondalink
