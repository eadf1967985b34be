// SPDX-License-Identifier: GPL-3.0-or-later
#include "status/event_coalescer.h"

#include "status/clock.h"

namespace ondalink {

namespace {

constexpr int kFlushEveryMs = 1000;
// A separator that neither an event's name nor an address contains.
constexpr char16_t kSeparator = u'\x1f';

} // namespace

EventCoalescer::EventCoalescer(EventLog &log, Clock &clock, QObject *parent)
    : QObject(parent), m_log(log), m_clock(clock) {
    m_timer.setObjectName(QStringLiteral("eventCoalescerTimer"));
    m_timer.setInterval(kFlushEveryMs);
    connect(&m_timer, &QTimer::timeout, this, &EventCoalescer::flush);
}

EventCoalescer::~EventCoalescer() {
    for (const Window &window : std::as_const(m_open))
        close(window);
}

void EventCoalescer::append(const EventRow &row, const QString &source) {
    QString key = row.event + kSeparator + source;
    auto open = m_open.find(key);
    if (open == m_open.end() && m_open.size() >= kMaxSources) {
        key = row.event + kSeparator;
        open = m_open.find(key);
    }
    if (open != m_open.end() && m_clock.steadyMs() - open->openedMs < kWindowMs) {
        ++open->repeats;
        return;
    }
    if (open != m_open.end())
        close(*open); // its minute is over; the new one replaces it
    m_log.append(row);
    // Past the bound the other sources share one count.
    const bool shared = key.endsWith(kSeparator);
    m_open.insert(key, {m_clock.steadyMs(), row, shared ? QString() : source});
    if (!m_timer.isActive())
        m_timer.start();
}

void EventCoalescer::flush() {
    const qint64 now = m_clock.steadyMs();
    m_open.removeIf([&](QHash<QString, Window>::iterator window) {
        if (now - window->openedMs < kWindowMs)
            return false;
        close(*window);
        return true;
    });
    if (m_open.isEmpty())
        m_timer.stop();
}

void EventCoalescer::close(const Window &window) {
    if (window.repeats == 0)
        return;
    EventRow row = window.first;
    row.time = QDateTime();
    row.detail =
        window.source.isEmpty()
            ? tr("%1 more like this from other senders in the last minute").arg(window.repeats)
            : tr("%1 more like this from %2 in the last minute").arg(window.repeats).arg(window.source);
    m_log.append(row);
}

} // namespace ondalink
