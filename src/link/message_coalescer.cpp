// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/message_coalescer.h"

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

bool hasFailure(const QList<Message> &messages) {
    return std::any_of(messages.cbegin(), messages.cend(),
                       [](const Message &m) { return messageIcon(m.id) == MessageIcon::Critical; });
}

Message countOf(MessageId id, int count, const Message &repeated) {
    return {id, {QString::number(count)}, repeated};
}

} // namespace

MessageCoalescer::MessageCoalescer(Notifier &notifier, int quietMs, QObject *parent)
    : QObject(parent), m_notifier(notifier) {
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(quietMs);
    connect(&m_quiet, &QTimer::timeout, this, &MessageCoalescer::quietPassed);
}

void MessageCoalescer::present(const QList<Message> &messages) {
    if (messages.isEmpty())
        return;
    const bool storm = m_quiet.isActive();
    const bool failure = hasFailure(messages);
    if (storm && messages == m_run) {
        ++m_repeats;
        m_quiet.start();
        return;
    }
    if (storm && failure && m_stormShown + (m_repeats > 0) + messages.size() > kStormBoxes) {
        ++m_suppressed;
        m_lastSuppressed = messages.first();
        m_quiet.start();
        return;
    }
    m_quiet.stop();
    if (storm && failure)
        endRun();
    else
        endStorm();
    // State is settled before any box opens: a box runs a nested event loop.
    if (failure)
        m_run = messages;
    for (const Message &message : messages) {
        if (failure)
            show(message); // counts towards the storm's share
        else
            m_notifier.show(message);
    }
    if (!m_run.isEmpty())
        m_quiet.start();
}

void MessageCoalescer::show(const Message &message) {
    ++m_stormShown;
    m_notifier.show(message);
}

void MessageCoalescer::setHeld(bool held) {
    m_held = held;
    if (!held && std::exchange(m_endDue, false))
        endStorm();
}

void MessageCoalescer::quietPassed() {
    if (m_held) {
        m_endDue = true;
        return;
    }
    endStorm();
}

void MessageCoalescer::endRun() {
    const QList<Message> run = std::exchange(m_run, {});
    const int repeats = std::exchange(m_repeats, 0);
    if (repeats > 0 && !run.isEmpty())
        show(countOf(MessageId::RepeatedReports, repeats, run.first()));
}

void MessageCoalescer::endStorm() {
    m_endDue = false;
    endRun();
    const int suppressed = std::exchange(m_suppressed, 0);
    m_stormShown = 0;
    if (suppressed > 0)
        m_notifier.show(countOf(MessageId::SuppressedReports, suppressed, m_lastSuppressed));
}

} // namespace ondalink
