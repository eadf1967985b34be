// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "status/element_status.h"

#include <QAbstractTableModel>
#include <QBitArray>
#include <QDateTime>
#include <QHash>
#include <QIcon>
#include <QSet>
#include <QTimer>

#include <optional>

namespace ondalink {

struct ElementListing;

// Number of a node's image in ImageList1 (6 ENCODER, 7 any other role), in the first column.
inline constexpr int kNodeImageRole = Qt::UserRole + 1;

// What the Status column says, whichever of the watches has the most to say.
enum class ShownStatus { Unknown, Online, Offline, Silent, DuplicateAddress, Drift };

// The element list: one row per element of the database in file order, a row's key (colon-form MAC)
// in Qt::UserRole of every column. The status columns follow what the status monitors report;
// their changes reach the views in batches, so that a whole round of probes never stalls the window.
class ElementListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ElementColumn, AddressColumn, StatusColumn, LastSeenColumn, RoundTripColumn, ColumnCount };
    // Rows whose change is shown in one turn of the event loop; the rest follow in the next turns.
    static constexpr int kRowsPerFlush = 500;

    explicit ElementListModel(QObject *parent = nullptr);

    // The elements in file order. An element listed before under the same key and address keeps
    // what is known about its status, also across a clear().
    void setElements(const QList<ElementListing> &elements);
    void clear();

    // The row of an element key (12 hex digits) or of a colon-form MAC; -1 when not listed.
    int rowOfKey(const QString &elementKey) const;
    int rowOfMac(const QString &mac) const;
    QString macAt(int row) const;
    QString textAt(int row) const;
    QString elementKeyAt(int row) const;
    bool isEncoderAt(int row) const;
    ShownStatus shownStatusAt(int row) const;

    // An element's reachability as the monitor knows it; the key is the element key.
    void setReachability(const ElementState &state);
    void setSilence(const QString &elementKey, SilenceState state);
    // The element's settings differ from its section (the drift watch).
    void setDrift(const QString &elementKey, bool drifted);
    // The encoders whose audio is watched (element keys); the list's "Watch audio" shows it.
    void setWatched(const QSet<QString> &elementKeys);
    bool isWatchedAt(int row) const;

    // Whether the row's name, MAC or address contains the text, ignoring case.
    bool matches(int row, QStringView text) const;
    // The order of two rows by a column: addresses by their value, times and round trips by their
    // numbers, the status with the alarms first; rows without a value come first.
    bool lessThan(int column, int left, int right) const;

    // Shows every pending change now (the batches otherwise follow from the event loop).
    void flushChanges();
    bool hasPendingChanges() const { return !m_pending.isEmpty(); }

    static QString statusText(ShownStatus status);
    static QIcon statusIcon(ShownStatus status);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Status {
        QString ip; // what it was learnt for
        ElementStatus reachability = ElementStatus::Unknown;
        SilenceState silence = SilenceState::NotWatched;
        bool duplicateAddress = false;
        bool drift = false;
        QDateTime lastSeen;
        std::optional<int> roundTripMs;
    };
    struct Row {
        QString elementKey;
        QString mac;
        QString text;
        std::optional<quint32> address; // for sorting; nullopt when the stored text is no address
        bool encoder = false;
        bool watched = false;
        Status status;
    };

    static ShownStatus shownStatus(const Row &row);
    QString lastSeenText(const Row &row) const;
    // The row of the key with its status about to change; nullptr when it is not listed.
    Row *rowToChange(const QString &elementKey);
    void changed(const Row &row);
    void flushBatch();

    QList<Row> m_rows;
    QHash<QString, int> m_byKey; // element key -> row
    QSet<QString> m_watched;
    QHash<QString, Status> m_known; // by element key, kept while the list is empty
    QBitArray m_isPending;
    QList<int> m_pending;
    QTimer m_flush;
};

} // namespace ondalink
