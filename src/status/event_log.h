// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class QIODevice;

namespace ondalink {

class Clock;

// The console's "Event log" dock shows rows() and follows appended / oldestDropped; it filters them
// itself and its "Save as CSV…" writes the rows shown with writeEventCsv.

enum class EventSeverity { Information, Warning, Alarm };

struct EventRow {
    QDateTime time; // UTC
    EventSeverity severity = EventSeverity::Information;
    QString elementName; // empty for events of no element
    QString elementMac;  // as the operator reads it (00-A0-…), empty for events of no element
    QString event;       // what happened, short ("Status changed")
    QString detail;      // the rest ("Offline: 3 probes unanswered")
    friend bool operator==(const EventRow &, const EventRow &) = default;
};

// "Information", "Warning", "Alarm". Translated.
QString severityText(EventSeverity severity);

// One JSON object per line in the daily file: time (ISO 8601 UTC with milliseconds), severity
// ("information", "warning", "alarm"), name, mac, event, detail.
QByteArray eventJsonLine(const EventRow &row);
std::optional<EventRow> parseEventJsonLine(QByteArrayView line);

// The rows as CSV (a header line, then one line per row, RFC 4180 quoting, CRLF).
QByteArray eventCsv(const QList<EventRow> &rows);
bool writeEventCsv(const QList<EventRow> &rows, QIODevice &device);

// The newest `capacity` events in memory, each also appended to events-YYYY-MM-DD.jsonl (by UTC
// date) in the folder; files of that name older than retentionDays are removed when the log starts
// and when the date changes. The folder defaults to the per-user data folder
// (QStandardPaths::AppDataLocation); a failing file write is said once in the log's own warnings
// and the rows stay in memory.
class EventLog : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype kDefaultCapacity = 10000;
    static constexpr int kRetentionDays = 30;

    explicit EventLog(Clock &clock, QString folder = {}, qsizetype capacity = kDefaultCapacity,
                      QObject *parent = nullptr);
    ~EventLog() override;

    // Stamps the row with the clock's time when it has none.
    void append(EventRow row);
    void append(EventSeverity severity, const QString &event, const QString &detail = {},
                const QString &elementName = {}, const QString &elementMac = {});

    // Oldest first.
    const QList<EventRow> &rows() const { return m_rows; }

    QString folder() const { return m_folder; }
    QString fileFor(QDate date) const;
    // Removes the daily files older than retentionDays before the clock's date; how many went.
    int removeExpiredFiles();
    bool fileWritable() const { return !m_writeFailed; }
    Clock &clock() const { return m_clock; }

Q_SIGNALS:
    void appended(const ondalink::EventRow &row);
    // The oldest rows went (count of them, from the front), to keep the capacity.
    void oldestDropped(int count);

private:
    void writeLine(const EventRow &row);

    Clock &m_clock;
    QString m_folder;
    qsizetype m_capacity;
    QList<EventRow> m_rows;
    QDate m_fileDate;
    QFile m_file; // today's, kept open
    bool m_writeFailed = false;
};

} // namespace ondalink
