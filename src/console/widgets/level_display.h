// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

namespace ondalink {

inline constexpr char16_t kNoLevel[] = u"-oodBFS";
inline constexpr int kMeterFullWidth = 2100; // meter units at full scale

// What the meter and the level text show for a peak.
struct LevelDisplay {
    int meterWidth = 0;
    QString text;

    friend bool operator==(const LevelDisplay &, const LevelDisplay &) = default;
};

// An empty meter and "-oodBFS" for a peak of 0; otherwise the meter's width in units (2100 at full
// scale) and decibels to full scale with one decimal in the locale's writing.
LevelDisplay levelDisplay(quint32 peak, const QLocale &locale = QLocale());

// Decimal logarithm as ln(x) / ln(10).
double decimalLog(double x);

} // namespace ondalink
