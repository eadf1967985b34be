// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/models/event_log_model.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

// 00-a0-C9…, 00:A0:C9… and 00A0C9… alike.
QString macDigits(const QString &mac) {
    QString digits;
    digits.reserve(12);
    for (const QChar c : mac)
        if (c.isLetterOrNumber())
            digits += c.toUpper();
    return digits;
}

QIcon severityIcon(EventSeverity severity) {
    QStyle *style = QApplication::style();
    switch (severity) {
    case EventSeverity::Alarm:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case EventSeverity::Warning:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case EventSeverity::Information:
        break;
    }
    return style->standardIcon(QStyle::SP_MessageBoxInformation);
}

} // namespace

EventLogModel::EventLogModel(const EventLog &log, qsizetype capacity, QObject *parent)
    : QAbstractTableModel(parent), m_capacity(std::max<qsizetype>(capacity, 1)) {
    m_rows = log.rows().mid(std::max<qsizetype>(0, log.rows().size() - m_capacity));
    m_insert.setSingleShot(true);
    m_insert.setInterval(0);
    connect(&m_insert, &QTimer::timeout, this, &EventLogModel::flushArrivals);
    connect(&log, &EventLog::appended, this, &EventLogModel::arrived);
}

void EventLogModel::arrived(const EventRow &row) {
    m_arrivals.append(row);
    if (!m_insert.isActive())
        m_insert.start();
}

void EventLogModel::flushArrivals() {
    m_insert.stop();
    if (m_arrivals.isEmpty())
        return;
    // A burst larger than the whole log keeps its newest rows only.
    if (m_arrivals.size() > m_capacity)
        m_arrivals.remove(0, m_arrivals.size() - m_capacity);
    const qsizetype excess = m_rows.size() + m_arrivals.size() - m_capacity;
    if (excess > 0) {
        beginRemoveRows({}, 0, int(excess - 1));
        m_rows.remove(0, excess);
        endRemoveRows();
    }
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + m_arrivals.size() - 1));
    m_rows.append(std::move(m_arrivals));
    m_arrivals.clear();
    endInsertRows();
}

QString EventLogModel::timeText(const QDateTime &time) {
    return time.toLocalTime().toString(u"yyyy-MM-dd HH:mm:ss"_s);
}

int EventLogModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int EventLogModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant EventLogModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const EventRow &row = m_rows.at(index.row());
    if (role == kSeverityRole)
        return int(row.severity);
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case TimeColumn:
            return timeText(row.time);
        case ElementColumn:
            if (row.elementMac.isEmpty())
                return row.elementName;
            return row.elementName.trimmed().isEmpty()
                       ? row.elementMac
                       : row.elementName.trimmed() + u" ["_s + row.elementMac + u"]"_s;
        case EventColumn:
            return row.event;
        case DetailColumn:
            return row.detail;
        default:
            return {};
        }
    }
    // The severity as a picture and in words beside the event, never as a colour
    // alone.
    if (index.column() == EventColumn && role == Qt::DecorationRole)
        return severityIcon(row.severity);
    if (index.column() == EventColumn && (role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole))
        return severityText(row.severity);
    if (index.column() == DetailColumn && role == Qt::ToolTipRole)
        return row.detail;
    return {};
}

QVariant EventLogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case TimeColumn:
        return tr("Time");
    case ElementColumn:
        return tr("Element");
    case EventColumn:
        return tr("Event");
    case DetailColumn:
        return tr("Detail");
    default:
        return {};
    }
}

EventLogFilter::EventLogFilter(EventLogModel &source, QObject *parent)
    : QSortFilterProxyModel(parent), m_source(source) {
    setSourceModel(&source);
}

void EventLogFilter::setElement(const std::optional<QString> &mac) {
    const std::optional<QString> digits = mac ? std::optional(macDigits(*mac)) : std::nullopt;
    if (digits == m_macDigits)
        return;
    m_macDigits = digits;
    invalidateRowsFilter();
}

void EventLogFilter::setMinimumSeverity(EventSeverity severity) {
    if (severity == m_minimum)
        return;
    m_minimum = severity;
    invalidateRowsFilter();
}

QList<EventRow> EventLogFilter::shownRows() const {
    QList<EventRow> rows;
    rows.reserve(rowCount());
    for (int row = 0; row < rowCount(); ++row)
        rows.append(m_source.rowAt(mapToSource(index(row, 0)).row()));
    return rows;
}

bool EventLogFilter::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const {
    if (sourceParent.isValid())
        return false;
    const EventRow &row = m_source.rowAt(sourceRow);
    return int(row.severity) >= int(m_minimum) && (!m_macDigits || macDigits(row.elementMac) == *m_macDigits);
}

} // namespace ondalink
