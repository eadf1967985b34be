// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/journal.h"

#include "status/event_log.h"

#include <systemd/sd-journal.h>

#include <syslog.h>
#include <vector>

namespace ondalink {

namespace {

int priority(EventSeverity severity) {
    switch (severity) {
    case EventSeverity::Information:
        return LOG_INFO;
    case EventSeverity::Warning:
        return LOG_WARNING;
    case EventSeverity::Alarm:
        return LOG_ERR;
    }
    return LOG_INFO;
}

QByteArray severityWord(EventSeverity severity) {
    switch (severity) {
    case EventSeverity::Information:
        return "information";
    case EventSeverity::Warning:
        return "warning";
    case EventSeverity::Alarm:
        return "alarm";
    }
    return "information";
}

// A field's value on one line: the journal takes line breaks in a value, but a reader of
// `journalctl -o short` sees only the first line.
QByteArray oneLine(const QString &text) {
    QByteArray bytes = text.toUtf8();
    bytes.replace('\n', ' ');
    return bytes;
}

} // namespace

QList<QByteArray> journalFields(const EventRow &row) {
    QByteArray message = oneLine(row.event);
    if (!row.elementName.trimmed().isEmpty() || !row.elementMac.isEmpty())
        message += ": " + oneLine(row.elementName.trimmed()) +
                   (row.elementMac.isEmpty() ? "" : " (" + oneLine(row.elementMac) + ")");
    if (!row.detail.isEmpty())
        message += " - " + oneLine(row.detail);
    QList<QByteArray> fields{
        "MESSAGE=" + message,
        "PRIORITY=" + QByteArray::number(priority(row.severity)),
        "ONDALINK_EVENT=" + oneLine(row.event),
        "ONDALINK_SEVERITY=" + severityWord(row.severity),
    };
    if (!row.elementMac.isEmpty())
        fields.append("ONDALINK_ELEMENT_MAC=" + oneLine(row.elementMac));
    if (!row.elementName.trimmed().isEmpty())
        fields.append("ONDALINK_ELEMENT_NAME=" + oneLine(row.elementName.trimmed()));
    if (!row.detail.isEmpty())
        fields.append("ONDALINK_DETAIL=" + oneLine(row.detail));
    return fields;
}

JournalWriter::JournalWriter(EventLog &log, QObject *parent) : QObject(parent) {
    connect(&log, &EventLog::appended, this, &JournalWriter::write);
}

void JournalWriter::write(const EventRow &row) {
    const QList<QByteArray> fields = journalFields(row);
    std::vector<iovec> parts;
    parts.reserve(static_cast<size_t>(fields.size()));
    for (const QByteArray &field : fields)
        parts.push_back(
            {const_cast<char *>(field.constData()),
             static_cast<size_t>(
                 field.size())}); // NOLINT(cppcoreguidelines-pro-type-const-cast): iovec is not const
    if (sd_journal_sendv(parts.data(), static_cast<int>(parts.size())) < 0)
        ++m_failures;
}

} // namespace ondalink
