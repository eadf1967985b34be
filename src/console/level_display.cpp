// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/level_display.h"

#include "link/datagrams.h"
#include "model/encodings.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace ondalink {

LevelDisplay levelDisplay(quint32 peak, const QLocale &locale) {
    if (peak == 0)
        return {0, QString::fromUtf16(kNoLevel)};
    const double ratio = static_cast<double>(peak) / kLevelFullScale;
    const int width = static_cast<int>(roundHalfEven(ratio * kMeterFullWidth, 0));
    const double decibels = roundHalfEven(20.0 * decimalLog(ratio), 1);
    return {width, shortestDecimal(decibels, locale) + u"dBFS"_s};
}

double decimalLog(double x) {
    return std::log(x) / std::log(10.0);
}

} // namespace ondalink
