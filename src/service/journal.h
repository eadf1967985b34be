// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>

namespace ondalink {

class EventLog;
struct EventRow;

// One event as the systemd journal takes it: MESSAGE, PRIORITY and the element's identity in
// fields of their own (ONDALINK_ELEMENT_MAC, ONDALINK_ELEMENT_NAME, ONDALINK_EVENT,
// ONDALINK_SEVERITY), so that `journalctl ONDALINK_ELEMENT_MAC=…` finds one element's history.
QList<QByteArray> journalFields(const EventRow &row);

// Sends every row the event log takes to the journal. Where no journal runs (a container, a
// test) the sends fail without a word: the event log's own file has the rows.
class JournalWriter : public QObject {
    Q_OBJECT
public:
    explicit JournalWriter(EventLog &log, QObject *parent = nullptr);
    // Rows the journal refused (none where it runs).
    quint64 failures() const { return m_failures; }

private:
    void write(const EventRow &row);
    quint64 m_failures = 0;
};

} // namespace ondalink
