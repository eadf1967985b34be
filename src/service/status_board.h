// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/element_role.h"
#include "status/element_status.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace ondalink {

// One element as the exporters publish it.
struct BoardRow {
    quint32 index = 0; // the element table's index: 1 on, kept for the element's key while the service runs
    QString key;       // the element key: 12 upper-case hex digits
    QString mac;       // colon form, upper case (00:A0:…)
    QString name;      // as listed, trailing blanks removed
    QString ip;        // the stored "ip", empty when missing
    ElementRole role = ElementRole::Unknown;
    ElementStatus status = ElementStatus::Unknown;
    QDateTime lastSeen;             // UTC; invalid when never heard
    std::optional<int> roundTripMs; // of the last answered echo
    SilenceState silence = SilenceState::NotWatched;
    std::optional<double> levelDbfs; // the last level reply of a watched encoder; nullopt for none or 0
};

// The service's own counts since it started.
struct ServiceCounters {
    quint64 probesSent = 0;
    quint64 datagramsDropped = 0;
    quint64 databaseReloads = 0;        // readings of the database after a change
    quint64 databaseReloadFailures = 0; // changes that could not be read
};

// What the monitoring service knows of every listed element, in index order, for the exporters.
// The service fills it from its monitors; tests fill it by hand. Rows are never reordered: a new
// element gets the next index, a removed one takes its index with it.
class StatusBoard : public QObject {
    Q_OBJECT
public:
    explicit StatusBoard(QObject *parent = nullptr) : QObject(parent) {}

    // The listed elements after a reading of the database: those kept keep their index (and their
    // status until the monitors say otherwise), new ones get the next; name, ip and role are taken
    // from the listing.
    struct Listed {
        QString key, name, ip;
        ElementRole role = ElementRole::Unknown;
    };
    void replaceListing(const QList<Listed> &listed);

    // A monitor's news. Unknown keys are ignored. Emit statusChanged / silenceChanged when the value
    // changes.
    void setReachability(const QString &key, ElementStatus status, const QDateTime &lastSeen,
                         std::optional<int> roundTripMs);
    void setSilence(const QString &key, SilenceState state);
    void setLevel(const QString &key, std::optional<double> dbfs);
    // Where counters() reads the service's counts from, at the moment it is asked.
    void setCounterSource(std::function<ServiceCounters()> source) { m_counterSource = std::move(source); }

    // In index order (ascending).
    const QList<BoardRow> &rows() const { return m_rows; }
    const BoardRow *row(const QString &key) const;
    ServiceCounters counters() const { return m_counterSource ? m_counterSource() : ServiceCounters{}; }

Q_SIGNALS:
    void statusChanged(const ondalink::BoardRow &row, ondalink::ElementStatus previous);
    void silenceChanged(const ondalink::BoardRow &row, ondalink::SilenceState previous);
    void listingReplaced();

private:
    void reindex();

    QList<BoardRow> m_rows;
    QHash<QString, qsizetype> m_byKey;
    QHash<QString, quint32> m_indexByKey; // every key seen, so a key that comes back keeps its index
    quint32 m_nextIndex = 1;
    std::function<ServiceCounters()> m_counterSource;
};

} // namespace ondalink
