// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/notifier.h"

#include <QList>
#include <QObject>
#include <QTimer>

namespace ondalink {

// Shows the messages of one report at a time and keeps a storm of identical failures from becoming a
// storm of message boxes. Anyone on the LAN can send reports, and while one box is open the others
// wait in the receive queue; without this the operator would close one box per queued report.
//
// Policy: a report's messages form its outcome. An outcome with a failure (critical) message that is
// identical to the previous outcome, presented before the quiet period after that one has passed, is
// counted instead of shown; each repeat restarts the quiet period. The run of repeats ends when the
// quiet period passes or a different outcome comes; its count is then shown once ("N more reports
// gave the same message:" and the message) before anything else. An outcome without a failure is
// always shown and ends the run. So a single report shows exactly its own messages, and a storm shows
// one outcome and one count however long it lasts.
//
// A storm lasts from a failure outcome until the quiet period passes without another one (or an
// outcome without a failure comes). Different failures taking turns would each end the other's run,
// so a storm shows at most kStormBoxes boxes; every failure after that is only counted, and when the
// storm ends one box tells how many there were and shows the last one's message.
class MessageCoalescer : public QObject {
    Q_OBJECT
public:
    static constexpr int kStormBoxes = 10;

    explicit MessageCoalescer(Notifier &notifier, int quietMs = 1000, QObject *parent = nullptr);

    // Shows (or counts) one report's messages, in order. May block in modal message boxes.
    void present(const QList<Message> &messages);

    // While held (a report is being handled) the end of a run waits, so that its count never pops up
    // in the middle of another report; releasing shows it if it became due.
    void setHeld(bool held);

    void setQuietMs(int ms) { m_quiet.setInterval(ms); }
    int pendingRepeats() const { return m_repeats; }

private:
    void quietPassed();
    void endRun();
    void endStorm();
    void show(const Message &message);

    Notifier &m_notifier;
    QTimer m_quiet;
    QList<Message> m_run; // the outcome being repeated; empty when no run is open
    int m_repeats = 0;
    int m_stormShown = 0; // boxes shown since the storm began
    int m_suppressed = 0; // failures counted once the storm had shown its share
    Message m_lastSuppressed;
    bool m_held = false;
    bool m_endDue = false;
};

} // namespace ondalink
