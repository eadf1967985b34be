// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSortFilterProxyModel>

namespace ondalink {

class ElementListModel;

// The element list as the operator narrows and orders it: the rows whose name, MAC or address
// contain the filter text, sorted by a column or (sort column -1) in file order.
class ElementListProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit ElementListProxy(ElementListModel &source, QObject *parent = nullptr);

    void setFilterText(const QString &text);
    QString filterText() const { return m_filter; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    ElementListModel &m_source;
    QString m_filter;
};

} // namespace ondalink
