// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/models/element_list_proxy.h"

#include "console/models/element_list_model.h"

namespace ondalink {

ElementListProxy::ElementListProxy(ElementListModel &source, QObject *parent)
    : QSortFilterProxyModel(parent), m_source(source) {
    setSourceModel(&source);
    // A status change moves its row when the list is sorted by status.
    setDynamicSortFilter(true);
}

void ElementListProxy::setFilterText(const QString &text) {
    if (text == m_filter)
        return;
    m_filter = text;
    invalidateRowsFilter();
}

bool ElementListProxy::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const {
    return sourceParent.isValid() ? false : m_filter.isEmpty() || m_source.matches(sourceRow, m_filter);
}

bool ElementListProxy::lessThan(const QModelIndex &left, const QModelIndex &right) const {
    return m_source.lessThan(left.column(), left.row(), right.row());
}

} // namespace ondalink
