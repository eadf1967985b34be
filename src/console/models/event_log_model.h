// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "status/event_log.h"

#include <QAbstractTableModel>
#include <QList>
#include <QSortFilterProxyModel>
#include <QTimer>

#include <optional>

namespace ondalink {

// The event log's rows for the "Event log" dock, oldest first, newest capacity
// only. Rows that arrive in a burst are inserted together once per turn of the
// event loop.
class EventLogModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TimeColumn, ElementColumn, EventColumn, DetailColumn, ColumnCount };
    static constexpr int kSeverityRole = Qt::UserRole + 1;

    // Starts with the log's rows and follows what is appended to it.
    explicit EventLogModel(const EventLog &log, qsizetype capacity = EventLog::kDefaultCapacity,
                           QObject *parent = nullptr);

    const EventRow &rowAt(int row) const { return m_rows.at(row); }
    // Inserts what arrived and waits for the event loop (tests, before they
    // look).
    void flushArrivals();

    static QString timeText(const QDateTime &time);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void arrived(const EventRow &row);

    qsizetype m_capacity;
    QList<EventRow> m_rows;
    QList<EventRow> m_arrivals;
    QTimer m_insert;
};

// The rows of one element (by MAC in any of its written forms) or of every
// element, at or above a severity.
class EventLogFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit EventLogFilter(EventLogModel &source, QObject *parent = nullptr);

    // nullopt: every row; an empty MAC: the rows of no element (the program's
    // own).
    void setElement(const std::optional<QString> &mac);
    void setMinimumSeverity(EventSeverity severity);
    // The rows shown, oldest first.
    QList<EventRow> shownRows() const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    EventLogModel &m_source;
    std::optional<QString> m_macDigits; // upper-case hex digits only
    EventSeverity m_minimum = EventSeverity::Information;
};

} // namespace ondalink
