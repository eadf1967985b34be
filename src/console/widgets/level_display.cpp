// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/widgets/level_display.h"

#include "link/datagrams.h"
#include "model/encodings.h"

#include <QCoreApplication>

#include <cmath>

namespace ondalink {

namespace {

QString decibelsText(const QString &number) {
    //: A level relative to full scale; %1 is a number, or "-oo" for no level.
    return QCoreApplication::translate("Units", "%1dBFS").arg(number);
}

} // namespace

LevelDisplay levelDisplay(quint32 peak, const QLocale &locale) {
    if (peak == 0)
        return {0, decibelsText(QString::fromUtf16(kNoLevel).chopped(4))};
    const double ratio = static_cast<double>(peak) / kLevelFullScale;
    const int width = static_cast<int>(roundHalfEven(ratio * kMeterFullWidth, 0));
    const double decibels = roundHalfEven(20.0 * decimalLog(ratio), 1);
    return {width, decibelsText(shortestDecimal(decibels, locale))};
}

double decimalLog(double x) {
    return std::log(x) / std::log(10.0);
}

} // namespace ondalink
