// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace ondalink {

class ElementLink;

// Add element by address: Idle → (start) → Waiting for the answer (the paging request went by unicast
// to the address) → Answered (its report is being handled) → Idle. No answer within the wait, a report
// refused, or a section stored: each ends it through one finish.
class ElementAddition : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Waiting, Answered };
    enum class Outcome { Added, NoAnswer, Refused, NotStarted };

    explicit ElementAddition(ElementLink &link, QObject *parent = nullptr);
    ~ElementAddition() override;

    // Checks the address and the MAC typed (empty, or 12 hexadecimal digits with or without ":" or "-"
    // between the pairs) and pages the address. False, after telling the operator why, when it cannot
    // start: a text that is no unicast IPv4 address or MAC, an address off this host's networks without
    // a MAC, or a paging request that could not leave.
    bool start(const QString &addressText, const QString &macText);
    // The wait is cut short; nothing happens when idle.
    void cancel();
    State state() const { return m_state; }

Q_SIGNALS:
    // key: the Element key stored (Added only).
    void finished(ondalink::ElementAddition::Outcome outcome, const QString &key);

private:
    void answered();
    void handled(const QString &key);
    void timedOut();
    void finish(Outcome outcome, const QString &key = {});

    ElementLink &m_link;
    QTimer m_wait;
    State m_state = State::Idle;
    QString m_address; // the plain dotted form, for messages
};

// The colon form of a MAC typed as 12 hexadecimal digits, alone or in pairs joined by ":" or "-";
// "" for anything else.
QString typedMacAddress(const QString &text);

} // namespace ondalink
