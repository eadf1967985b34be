// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/models/element_list_model.h"

#include "console/widgets/image_list.h"
#include "model/element_record.h"
#include "model/ipv4.h"
#include "model/mac_text.h"
#include "store/element_database.h"

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

// The status column's order: what needs the operator first.
int statusRank(ShownStatus status) {
    switch (status) {
    case ShownStatus::Offline:
        return 0;
    case ShownStatus::Silent:
        return 1;
    case ShownStatus::DuplicateAddress:
        return 2;
    case ShownStatus::Drift:
        return 3;
    case ShownStatus::Unknown:
        return 4;
    case ShownStatus::Online:
        return 5;
    }
    return 6;
}

template <typename T> bool lessWithMissingFirst(const std::optional<T> &left, const std::optional<T> &right) {
    if (!left || !right)
        return !left && right;
    return *left < *right;
}

} // namespace

ElementListModel::ElementListModel(QObject *parent) : QAbstractTableModel(parent) {
    m_flush.setSingleShot(true);
    m_flush.setInterval(0);
    connect(&m_flush, &QTimer::timeout, this, &ElementListModel::flushBatch);
}

void ElementListModel::setElements(const QList<ElementListing> &elements) {
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(elements.size());
    m_byKey.clear();
    m_byKey.reserve(elements.size());
    QHash<QString, Status> known;
    for (const ElementListing &element : elements) {
        Row row;
        row.elementKey = element.key;
        row.mac = elementKeyToMac(element.key);
        row.text = element.name + u" ["_s + row.mac + u"]"_s;
        row.status.ip = element.ip.trimmed();
        if (const auto address = parseDottedAddress(row.status.ip))
            row.address = address->value;
        row.encoder = element.kind() == ElementRole::Encoder;
        row.watched = m_watched.contains(element.key);
        if (const auto status = m_known.constFind(element.key);
            status != m_known.cend() && status->ip == row.status.ip) {
            row.status = *status;
            known.insert(element.key, *status);
        }
        m_byKey.insert(row.elementKey, int(m_rows.size()));
        m_rows.append(std::move(row));
    }
    // Two elements at one address: each row says so, whatever else is known of it, and by the rule
    // the database's warning uses.
    for (Row &row : m_rows)
        row.status.duplicateAddress = false;
    for (const QList<ElementListing> &set : duplicateAddresses(elements)) {
        for (const ElementListing &element : set)
            m_rows[m_byKey.value(element.key)].status.duplicateAddress = true;
    }
    if (!elements.isEmpty())
        m_known = std::move(known);
    m_pending.clear();
    m_isPending = QBitArray(int(m_rows.size()));
    endResetModel();
}

void ElementListModel::clear() {
    setElements({});
}

int ElementListModel::rowOfKey(const QString &elementKey) const {
    return m_byKey.value(elementKey, -1);
}

int ElementListModel::rowOfMac(const QString &mac) const {
    return rowOfKey(macToElementKey(mac));
}

QString ElementListModel::macAt(int row) const {
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).mac : QString();
}

QString ElementListModel::textAt(int row) const {
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).text : QString();
}

QString ElementListModel::elementKeyAt(int row) const {
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).elementKey : QString();
}

bool ElementListModel::isEncoderAt(int row) const {
    return row >= 0 && row < m_rows.size() && m_rows.at(row).encoder;
}

ShownStatus ElementListModel::shownStatusAt(int row) const {
    return row >= 0 && row < m_rows.size() ? shownStatus(m_rows.at(row)) : ShownStatus::Unknown;
}

ShownStatus ElementListModel::shownStatus(const Row &row) {
    if (row.status.duplicateAddress)
        return ShownStatus::DuplicateAddress;
    if (row.status.silence == SilenceState::Silent)
        return ShownStatus::Silent;
    if (row.status.drift && row.status.reachability != ElementStatus::Offline)
        return ShownStatus::Drift;
    switch (row.status.reachability) {
    case ElementStatus::Online:
        return ShownStatus::Online;
    case ElementStatus::Offline:
        return ShownStatus::Offline;
    case ElementStatus::Unknown:
        break;
    }
    return ShownStatus::Unknown;
}

ElementListModel::Row *ElementListModel::rowToChange(const QString &elementKey) {
    const int index = rowOfKey(elementKey);
    return index < 0 ? nullptr : &m_rows[index];
}

void ElementListModel::setReachability(const ElementState &state) {
    Row *row = rowToChange(state.key);
    if (!row || (row->status.reachability == state.status && row->status.lastSeen == state.lastSeen &&
                 row->status.roundTripMs == state.roundTripMs))
        return;
    row->status.reachability = state.status;
    row->status.lastSeen = state.lastSeen;
    row->status.roundTripMs = state.roundTripMs;
    changed(*row);
}

void ElementListModel::setSilence(const QString &elementKey, SilenceState state) {
    Row *row = rowToChange(elementKey);
    if (!row || row->status.silence == state)
        return;
    row->status.silence = state;
    changed(*row);
}

void ElementListModel::setDrift(const QString &elementKey, bool drifted) {
    Row *row = rowToChange(elementKey);
    if (!row || row->status.drift == drifted)
        return;
    row->status.drift = drifted;
    changed(*row);
}

void ElementListModel::setWatched(const QSet<QString> &elementKeys) {
    m_watched = elementKeys;
    for (Row &row : m_rows)
        row.watched = m_watched.contains(row.elementKey);
}

bool ElementListModel::isWatchedAt(int row) const {
    return row >= 0 && row < m_rows.size() && m_rows.at(row).watched;
}

void ElementListModel::changed(const Row &changedRow) {
    m_known.insert(changedRow.elementKey, changedRow.status);
    const int row = int(&changedRow - m_rows.constData());
    if (m_isPending.testBit(row))
        return;
    m_isPending.setBit(row);
    m_pending.append(row);
    if (!m_flush.isActive())
        m_flush.start();
}

void ElementListModel::flushChanges() {
    while (!m_pending.isEmpty())
        flushBatch();
}

// One batch of the changed rows, as few contiguous ranges as they make.
void ElementListModel::flushBatch() {
    const qsizetype count = std::min<qsizetype>(m_pending.size(), kRowsPerFlush);
    QList<int> batch = m_pending.first(count);
    m_pending.remove(0, count);
    std::sort(batch.begin(), batch.end());
    for (qsizetype first = 0; first < batch.size();) {
        qsizetype last = first;
        while (last + 1 < batch.size() && batch.at(last + 1) == batch.at(last) + 1)
            ++last;
        for (qsizetype i = first; i <= last; ++i)
            m_isPending.clearBit(batch.at(i));
        Q_EMIT dataChanged(index(batch.at(first), StatusColumn), index(batch.at(last), RoundTripColumn));
        first = last + 1;
    }
    if (!m_pending.isEmpty())
        m_flush.start();
}

bool ElementListModel::matches(int row, QStringView text) const {
    if (row < 0 || row >= m_rows.size())
        return false;
    const Row &r = m_rows.at(row);
    return r.text.contains(text, Qt::CaseInsensitive) || r.status.ip.contains(text, Qt::CaseInsensitive);
}

bool ElementListModel::lessThan(int column, int left, int right) const {
    const Row &l = m_rows.at(left);
    const Row &r = m_rows.at(right);
    switch (column) {
    case ElementColumn:
        return l.text.compare(r.text, Qt::CaseInsensitive) < 0;
    case AddressColumn:
        if (l.address || r.address)
            return lessWithMissingFirst(l.address, r.address);
        return l.status.ip < r.status.ip;
    case StatusColumn:
        return statusRank(shownStatus(l)) < statusRank(shownStatus(r));
    case LastSeenColumn:
        if (!l.status.lastSeen.isValid() || !r.status.lastSeen.isValid())
            return !l.status.lastSeen.isValid() && r.status.lastSeen.isValid();
        return l.status.lastSeen < r.status.lastSeen;
    case RoundTripColumn:
        return lessWithMissingFirst(l.status.roundTripMs, r.status.roundTripMs);
    default:
        return false;
    }
}

QString ElementListModel::statusText(ShownStatus status) {
    switch (status) {
    case ShownStatus::Online:
        return ondalink::statusText(ElementStatus::Online);
    case ShownStatus::Offline:
        return ondalink::statusText(ElementStatus::Offline);
    case ShownStatus::Silent:
        return ondalink::statusText(ElementStatus::Unknown, SilenceState::Silent);
    case ShownStatus::DuplicateAddress:
        return tr("Duplicate IP");
    case ShownStatus::Drift:
        return tr("Drift");
    case ShownStatus::Unknown:
        break;
    }
    return ondalink::statusText(ElementStatus::Unknown);
}

QIcon ElementListModel::statusIcon(ShownStatus status) {
    // Each state its own shape as well as its own colour: a tick, a stop sign, a question mark, a
    // crossed-out speaker, a warning triangle, two opposed arrows.
    static const std::array<QIcon, 6> icons = {
        QIcon(u":/icons/status_unknown.svg"_s),   QIcon(u":/icons/status_online.svg"_s),
        QIcon(u":/icons/status_offline.svg"_s),   QIcon(u":/icons/status_silent.svg"_s),
        QIcon(u":/icons/status_duplicate.svg"_s), QIcon(u":/icons/status_drift.svg"_s)};
    return icons.at(static_cast<size_t>(status));
}

QString ElementListModel::lastSeenText(const Row &row) const {
    if (!row.status.lastSeen.isValid())
        return {};
    const QDateTime local = row.status.lastSeen.toLocalTime();
    if (local.date() == QDate::currentDate())
        return local.toString(u"HH:mm:ss"_s);
    return local.toString(u"yyyy-MM-dd HH:mm:ss"_s);
}

int ElementListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ElementListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ElementListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row &row = m_rows.at(index.row());
    if (role == Qt::UserRole)
        return row.mac;
    switch (index.column()) {
    case ElementColumn:
        if (role == Qt::DisplayRole)
            return row.text;
        if (role == Qt::DecorationRole) {
            static const QIcon encoderImage = ImageList1(kImageEncoder);
            static const QIcon otherImage = ImageList1(kImageOther);
            return row.encoder ? encoderImage : otherImage;
        }
        if (role == kNodeImageRole)
            return row.encoder ? kImageEncoder : kImageOther;
        if (role == Qt::AccessibleDescriptionRole)
            return row.encoder ? tr("Encoder") : tr("Other element");
        break;
    case AddressColumn:
        if (role == Qt::DisplayRole)
            return row.status.ip;
        break;
    case StatusColumn:
        if (role == Qt::DisplayRole)
            return statusText(shownStatus(row));
        if (role == Qt::DecorationRole)
            return statusIcon(shownStatus(row));
        break;
    case LastSeenColumn:
        if (role == Qt::DisplayRole)
            return lastSeenText(row);
        if (role == Qt::ToolTipRole && row.status.lastSeen.isValid())
            return QLocale().toString(row.status.lastSeen.toLocalTime(), QLocale::LongFormat);
        break;
    case RoundTripColumn:
        if (role == Qt::DisplayRole)
            return row.status.roundTripMs ? tr("%1 ms").arg(*row.status.roundTripMs) : QString();
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        break;
    default:
        break;
    }
    return {};
}

QVariant ElementListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case ElementColumn:
        return tr("Element");
    case AddressColumn:
        return tr("IP address");
    case StatusColumn:
        return tr("Status");
    case LastSeenColumn:
        return tr("Last seen");
    case RoundTripColumn:
        return tr("Round trip");
    default:
        return {};
    }
}

} // namespace ondalink
