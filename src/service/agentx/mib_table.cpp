// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/agentx/mib_table.h"

#include <algorithm>

namespace ondalink::mib {

namespace {

// The first row with an index greater than `after` (every row when nullopt), in the given column.
std::optional<Cell> firstInColumn(const TableShape &table, SubId column, std::optional<SubId> after) {
    const auto begin = table.indices.begin();
    const auto end = table.indices.end();
    const auto it =
        after ? std::upper_bound(begin, end, *after, [](SubId value, quint32 index) { return value < index; })
              : begin;
    if (it == end)
        return std::nullopt;
    return Cell{column, *it, static_cast<qsizetype>(it - begin)};
}

// The first cell of the first column numbered at least `column`.
std::optional<Cell> firstFromColumn(const TableShape &table, SubId column) {
    const auto it = std::lower_bound(table.columns.begin(), table.columns.end(), column);
    if (it == table.columns.end())
        return std::nullopt;
    return firstInColumn(table, *it, std::nullopt);
}

} // namespace

std::optional<Cell> exactCell(const TableShape &table, std::span<const SubId> requested) {
    const std::size_t n = table.entry.size();
    if (requested.size() != n + 2 || !std::equal(table.entry.begin(), table.entry.end(), requested.begin()))
        return std::nullopt;
    const SubId column = requested[n];
    const SubId index = requested[n + 1];
    if (!std::binary_search(table.columns.begin(), table.columns.end(), column))
        return std::nullopt;
    const auto it = std::lower_bound(table.indices.begin(), table.indices.end(), index,
                                     [](quint32 row, SubId value) { return row < value; });
    if (it == table.indices.end() || *it != index)
        return std::nullopt;
    return Cell{column, *it, static_cast<qsizetype>(it - table.indices.begin())};
}

std::optional<Cell> nextCell(const TableShape &table, std::span<const SubId> requested) {
    if (table.indices.empty() || table.columns.empty())
        return std::nullopt;
    const std::size_t n = table.entry.size();
    const std::size_t common = std::min(n, requested.size());
    const auto [e, r] = std::mismatch(
        table.entry.begin(), table.entry.begin() + static_cast<std::ptrdiff_t>(common), requested.begin());
    if (e != table.entry.begin() + static_cast<std::ptrdiff_t>(common))
        return *r < *e ? firstFromColumn(table, 0) : std::nullopt;
    if (requested.size() <= n) // the entry itself or a prefix of it
        return firstFromColumn(table, 0);

    const SubId column = requested[n];
    const auto it = std::lower_bound(table.columns.begin(), table.columns.end(), column);
    if (it == table.columns.end())
        return std::nullopt;
    if (*it == column && requested.size() > n + 1) {
        // entry.column.index and anything below it come before entry.column.(index + 1).
        if (auto cell = firstInColumn(table, column, requested[n + 1]))
            return cell;
        return firstFromColumn(table, column + 1);
    }
    return firstInColumn(table, *it, std::nullopt);
}

} // namespace ondalink::mib
