// SPDX-License-Identifier: GPL-3.0-or-later
#include "message_coalescer.h"

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

bool hasFailure(const QList<Message> &messages) {
    return std::any_of(messages.cbegin(), messages.cend(),
                       [](const Message &m) { return m.icon == MessageIcon::Critical; });
}

QString repeatsText(int repeats, const Message &first) {
    const QString count = repeats == 1 ? u"1 more report gave the same message:"_s
                                       : u"%1 more reports gave the same message:"_s.arg(repeats);
    return twoLines(count, first.text);
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
    if (m_quiet.isActive() && messages == m_run) {
        ++m_repeats;
        m_quiet.start();
        return;
    }
    m_quiet.stop();
    endRun();
    // State is settled before any box opens: a box runs a nested event loop.
    if (hasFailure(messages))
        m_run = messages;
    for (const Message &message : messages)
        m_notifier.show(message);
    if (!m_run.isEmpty())
        m_quiet.start();
}

void MessageCoalescer::setHeld(bool held) {
    m_held = held;
    if (!held && std::exchange(m_endDue, false))
        endRun();
}

void MessageCoalescer::quietPassed() {
    if (m_held) {
        m_endDue = true;
        return;
    }
    endRun();
}

void MessageCoalescer::endRun() {
    m_endDue = false;
    const QList<Message> run = std::exchange(m_run, {});
    const int repeats = std::exchange(m_repeats, 0);
    if (repeats > 0 && !run.isEmpty())
        m_notifier.show(critical(repeatsText(repeats, run.first())));
}

} // namespace ondalink
