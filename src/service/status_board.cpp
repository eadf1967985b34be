// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/status_board.h"

#include "model/mac_text.h"

#include <algorithm>

namespace ondalink {

void StatusBoard::replaceListing(const QList<Listed> &listed) {
    QList<BoardRow> rows;
    rows.reserve(listed.size());
    for (const Listed &element : listed) {
        BoardRow row;
        if (const BoardRow *old = this->row(element.key))
            row = *old;
        row.key = element.key;
        row.mac = elementKeyToMac(element.key);
        row.name = element.name.trimmed();
        row.ip = element.ip;
        row.role = element.role;
        if (!m_indexByKey.contains(element.key))
            m_indexByKey.insert(element.key, m_nextIndex++);
        row.index = m_indexByKey.value(element.key);
        rows.append(row);
    }
    // A database may list one key twice; the table holds it once.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const BoardRow &a, const BoardRow &b) { return a.index < b.index; });
    const auto end = std::unique(rows.begin(), rows.end(),
                                 [](const BoardRow &a, const BoardRow &b) { return a.index == b.index; });
    rows.resize(end - rows.begin());
    m_rows = std::move(rows);
    reindex();
    Q_EMIT listingReplaced();
}

void StatusBoard::reindex() {
    m_byKey.clear();
    m_byKey.reserve(m_rows.size());
    for (qsizetype i = 0; i < m_rows.size(); ++i)
        m_byKey.insert(m_rows[i].key, i);
}

const BoardRow *StatusBoard::row(const QString &key) const {
    const auto found = m_byKey.constFind(key);
    return found == m_byKey.cend() ? nullptr : &m_rows[*found];
}

void StatusBoard::setReachability(const QString &key, ElementStatus status, const QDateTime &lastSeen,
                                  std::optional<int> roundTripMs) {
    const auto found = m_byKey.constFind(key);
    if (found == m_byKey.cend())
        return;
    BoardRow &row = m_rows[*found];
    const ElementStatus previous = row.status;
    row.status = status;
    row.lastSeen = lastSeen;
    row.roundTripMs = roundTripMs;
    if (previous != status)
        Q_EMIT statusChanged(row, previous);
}

void StatusBoard::setSilence(const QString &key, SilenceState state) {
    const auto found = m_byKey.constFind(key);
    if (found == m_byKey.cend())
        return;
    BoardRow &row = m_rows[*found];
    const SilenceState previous = row.silence;
    row.silence = state;
    if (state == SilenceState::NotWatched)
        row.levelDbfs.reset();
    if (previous != state)
        Q_EMIT silenceChanged(row, previous);
}

void StatusBoard::setLevel(const QString &key, std::optional<double> dbfs) {
    const auto found = m_byKey.constFind(key);
    if (found != m_byKey.cend())
        m_rows[*found].levelDbfs = dbfs;
}

} // namespace ondalink
