// SPDX-License-Identifier: GPL-3.0-or-later
#include "status/clock.h"

#include <chrono>

namespace ondalink {

qint64 SystemClock::steadyMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QDateTime SystemClock::wallTime() const {
    return QDateTime::currentDateTimeUtc();
}

Clock &systemClock() {
    static SystemClock clock;
    return clock;
}

} // namespace ondalink
