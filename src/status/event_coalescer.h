// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "status/event_log.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

namespace ondalink {

class Clock;

// Keeps a flood of one event from one source (anyone on the LAN can send reports) from flooding
// the log. The first of a kind from a source is written whole and opens a minute; what repeats it
// within that minute is counted, and when the minute ends one row of the same event and element
// says how many more came. The next one after that is written whole again. Past kMaxSources open
// minutes, further sources are counted together.
class EventCoalescer : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kWindowMs = 60 * 1000;
    static constexpr qsizetype kMaxSources = 1024;

    EventCoalescer(EventLog &log, Clock &clock, QObject *parent = nullptr);
    // Writes the counts still open: nothing counted is lost at shutdown.
    ~EventCoalescer() override;

    // The row, or a count of it; source is who sent it (an address).
    void append(const EventRow &row, const QString &source);
    // Writes the counts of the minutes that have ended; the timer calls it.
    void flush();

private:
    struct Window {
        qint64 openedMs = 0;
        EventRow first;
        QString source; // empty: the sources past kMaxSources
        int repeats = 0;
    };
    void close(const Window &window);

    EventLog &m_log;
    Clock &m_clock;
    QHash<QString, Window> m_open; // by event and source
    QTimer m_timer;
};

} // namespace ondalink
