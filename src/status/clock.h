// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>

namespace ondalink {

// Time as status and the event log see it. The console passes systemClock(); tests pass a fake
// they move by hand. Durations (hold times, intervals) use the steady milliseconds; the wall time
// stamps events and names the daily log file.
class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 steadyMs() const = 0;
    virtual QDateTime wallTime() const = 0; // UTC
};

class SystemClock : public Clock {
public:
    qint64 steadyMs() const override;
    QDateTime wallTime() const override;
};

Clock &systemClock();

} // namespace ondalink
