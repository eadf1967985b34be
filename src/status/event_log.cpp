// SPDX-License-Identifier: GPL-3.0-or-later
#include "status/event_log.h"

#include "model/log.h"
#include "status/clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>

#include <array>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

constexpr std::array kSeverityNames{"information", "warning", "alarm"};

QString defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/events"_s;
}

// RFC 4180: a field with a comma, a quote or a line break goes in quotes, its quotes doubled.
QByteArray csvField(const QString &text) {
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\n') && !bytes.contains('\r'))
        return bytes;
    bytes.replace('"', "\"\"");
    return '"' + bytes + '"';
}

} // namespace

QString severityText(EventSeverity severity) {
    switch (severity) {
    case EventSeverity::Warning:
        return QCoreApplication::translate("EventLog", "Warning");
    case EventSeverity::Alarm:
        return QCoreApplication::translate("EventLog", "Alarm");
    case EventSeverity::Information:
        break;
    }
    return QCoreApplication::translate("EventLog", "Information");
}

QByteArray eventJsonLine(const EventRow &row) {
    QJsonObject object;
    object.insert(u"time"_s, row.time.toUTC().toString(Qt::ISODateWithMs));
    object.insert(u"severity"_s, QLatin1StringView(kSeverityNames[static_cast<size_t>(row.severity)]));
    object.insert(u"name"_s, row.elementName);
    object.insert(u"mac"_s, row.elementMac);
    object.insert(u"event"_s, row.event);
    object.insert(u"detail"_s, row.detail);
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<EventRow> parseEventJsonLine(QByteArrayView line) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line.toByteArray().trimmed(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    EventRow row;
    row.time = QDateTime::fromString(object.value(u"time"_s).toString(), Qt::ISODateWithMs);
    if (!row.time.isValid())
        return std::nullopt;
    const QString severity = object.value(u"severity"_s).toString();
    bool known = false;
    for (size_t i = 0; i < kSeverityNames.size(); ++i)
        if (severity == QLatin1StringView(kSeverityNames[i])) {
            row.severity = static_cast<EventSeverity>(i);
            known = true;
        }
    if (!known)
        return std::nullopt;
    row.elementName = object.value(u"name"_s).toString();
    row.elementMac = object.value(u"mac"_s).toString();
    row.event = object.value(u"event"_s).toString();
    row.detail = object.value(u"detail"_s).toString();
    return row;
}

QByteArray eventCsv(const QList<EventRow> &rows) {
    const auto translate = [](const char *text) { return QCoreApplication::translate("EventLog", text); };
    QByteArray csv = csvField(translate("Time")) + ',' + csvField(translate("Severity")) + ',' +
                     csvField(translate("Element")) + ',' + csvField(translate("MAC")) + ',' +
                     csvField(translate("Event")) + ',' + csvField(translate("Detail")) + "\r\n";
    for (const EventRow &row : rows)
        csv += csvField(row.time.toUTC().toString(Qt::ISODateWithMs)) + ',' +
               csvField(severityText(row.severity)) + ',' + csvField(row.elementName.trimmed()) + ',' +
               csvField(row.elementMac) + ',' + csvField(row.event) + ',' + csvField(row.detail) + "\r\n";
    return csv;
}

bool writeEventCsv(const QList<EventRow> &rows, QIODevice &device) {
    const QByteArray csv = eventCsv(rows);
    return device.write(csv) == csv.size();
}

EventLog::EventLog(Clock &clock, QString folder, qsizetype capacity, QObject *parent)
    : QObject(parent), m_clock(clock), m_folder(folder.isEmpty() ? defaultFolder() : std::move(folder)),
      m_capacity(std::max<qsizetype>(1, capacity)) {
    removeExpiredFiles();
}

EventLog::~EventLog() = default;

QString EventLog::fileFor(QDate date) const {
    return m_folder + u"/events-"_s + date.toString(u"yyyy-MM-dd"_s) + u".jsonl"_s;
}

int EventLog::removeExpiredFiles() {
    const QDate oldestKept = m_clock.wallTime().date().addDays(-(kRetentionDays - 1));
    static const QRegularExpression name(u"^events-(\\d{4}-\\d{2}-\\d{2})\\.jsonl$"_s);
    int removed = 0;
    QDir folder(m_folder);
    for (const QString &file : folder.entryList({u"events-*.jsonl"_s}, QDir::Files)) {
        const QRegularExpressionMatch match = name.match(file);
        if (!match.hasMatch())
            continue;
        const QDate date = QDate::fromString(match.captured(1), u"yyyy-MM-dd"_s);
        if (date.isValid() && date < oldestKept && folder.remove(file))
            ++removed;
    }
    return removed;
}

void EventLog::append(EventSeverity severity, const QString &event, const QString &detail,
                      const QString &elementName, const QString &elementMac) {
    append(EventRow{QDateTime(), severity, elementName, elementMac, event, detail});
}

void EventLog::append(EventRow row) {
    if (!row.time.isValid())
        row.time = m_clock.wallTime();
    row.time = row.time.toUTC();
    writeLine(row);
    m_rows.append(row);
    if (m_rows.size() > m_capacity) {
        const qsizetype excess = m_rows.size() - m_capacity;
        m_rows.remove(0, excess);
        Q_EMIT oldestDropped(static_cast<int>(excess));
    }
    Q_EMIT appended(m_rows.last());
}

void EventLog::writeLine(const EventRow &row) {
    const QDate date = row.time.date();
    if (date != m_fileDate) {
        if (m_fileDate.isValid())
            removeExpiredFiles();
        m_file.close();
        m_fileDate = date;
    }
    if (!m_file.isOpen()) {
        QDir().mkpath(m_folder);
        m_file.setFileName(fileFor(date));
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append)) {
            if (!std::exchange(m_writeFailed, true))
                qCWarning(lcStatus).noquote()
                    << "event log: cannot write" << m_file.fileName() << "-" << m_file.errorString();
            return;
        }
    }
    const QByteArray line = eventJsonLine(row);
    if (m_file.write(line) != line.size() || !m_file.flush()) {
        if (!std::exchange(m_writeFailed, true))
            qCWarning(lcStatus).noquote()
                << "event log: cannot write" << m_file.fileName() << "-" << m_file.errorString();
        m_file.close();
        return;
    }
    m_writeFailed = false;
}

} // namespace ondalink
