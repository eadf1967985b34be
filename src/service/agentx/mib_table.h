// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <cstddef>
#include <optional>
#include <span>

namespace ondalink::mib {

// One sub-identifier, as the agent library holds it.
using SubId = unsigned long;

// A cell of a table indexed by one integer: the column's number and the row's index, with the row's
// position in the list of indices.
struct Cell {
    SubId column = 0;
    quint32 index = 0;
    qsizetype position = 0;
    friend bool operator==(const Cell &, const Cell &) = default;
};

// The table's shape: the entry's OID (the table's OID and 1), the column numbers in ascending order
// and the rows' indices in ascending order.
struct TableShape {
    std::span<const SubId> entry;
    std::span<const SubId> columns;
    std::span<const quint32> indices;
};

// The cell that the requested OID names exactly (GET): entry.column.index, nothing more.
std::optional<Cell> exactCell(const TableShape &table, std::span<const SubId> requested);

// The first cell after the requested OID in lexicographic order (GETNEXT): column by column, and
// within a column by index. An OID before the table gives the first cell, one after it nothing; a
// partial or longer OID inside the table gives the first cell after it. Binary searches only.
std::optional<Cell> nextCell(const TableShape &table, std::span<const SubId> requested);

} // namespace ondalink::mib
