// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/agentx/mib_table.h"

#include <gtest/gtest.h>

#include <vector>

using namespace ondalink::mib;

namespace {

const std::vector<SubId> kEntry = {1, 3, 6, 1, 4, 1, 62014, 1, 2, 1};
const std::vector<SubId> kColumns = {2, 3, 5, 10};

std::vector<SubId> oidOf(std::initializer_list<SubId> suffix) {
    std::vector<SubId> out = kEntry;
    out.insert(out.end(), suffix);
    return out;
}

struct Case {
    std::vector<SubId> requested;
    std::optional<Cell> expected;
};

void check(const std::vector<quint32> &indices, const std::vector<Case> &cases) {
    const TableShape shape{kEntry, kColumns, indices};
    for (const Case &c : cases) {
        const auto got = nextCell(shape, c.requested);
        EXPECT_EQ(got, c.expected) << "requested length " << c.requested.size();
    }
}

} // namespace

TEST(MibTable, NextCellGoesDownEachColumnThenToTheNextAndStopsAfterTheLast) {
    // Indices with gaps, as after a removed element.
    const std::vector<quint32> indices = {1, 2, 7, 4000000000U};
    check(indices, {
                       // before the table, the table itself, the entry: the first cell
                       {{1, 3, 6, 1, 4, 1, 62014, 1, 1, 0}, Cell{2, 1, 0}},
                       {{1, 3, 6, 1, 4, 1}, Cell{2, 1, 0}},
                       {{1, 3, 6, 1, 4, 1, 62014, 1, 2}, Cell{2, 1, 0}},
                       {kEntry, Cell{2, 1, 0}},
                       // inside a column: the next index, over a gap, past a longer OID
                       {oidOf({2, 1}), Cell{2, 2, 1}},
                       {oidOf({2, 2}), Cell{2, 7, 2}},
                       {oidOf({2, 3}), Cell{2, 7, 2}},
                       {oidOf({2, 2, 99, 1}), Cell{2, 7, 2}},
                       {oidOf({2, 0}), Cell{2, 1, 0}},
                       // the last index of a column: the first of the next column
                       {oidOf({2, 4000000000U}), Cell{3, 1, 0}},
                       {oidOf({3, 4294967296UL}), Cell{5, 1, 0}},
                       // a column alone, a missing column, before the first column
                       {oidOf({3}), Cell{3, 1, 0}},
                       {oidOf({4}), Cell{5, 1, 0}},
                       {oidOf({4, 7}), Cell{5, 1, 0}},
                       {oidOf({0, 5}), Cell{2, 1, 0}},
                       {oidOf({1}), Cell{2, 1, 0}},
                       // the last cell, and after the table
                       {oidOf({10, 7}), Cell{10, 4000000000U, 3}},
                       {oidOf({10, 4000000000U}), std::nullopt},
                       {oidOf({11}), std::nullopt},
                       {{1, 3, 6, 1, 4, 1, 62014, 1, 3}, std::nullopt},
                       {{1, 3, 6, 1, 4, 1, 62015}, std::nullopt},
                       {{1, 3, 6, 2}, std::nullopt},
                   });
}

TEST(MibTable, AnEmptyTableHasNoNextCellAndNoCellAtAll) {
    check({}, {{{1, 3}, std::nullopt}, {kEntry, std::nullopt}, {oidOf({2, 1}), std::nullopt}});
    const std::vector<quint32> none;
    EXPECT_EQ(exactCell({kEntry, kColumns, none}, oidOf({2, 1})), std::nullopt);
}

TEST(MibTable, ExactCellIsOnlyEntryColumnIndexOfAListedColumnAndRow) {
    const std::vector<quint32> indices = {1, 2, 7};
    const TableShape shape{kEntry, kColumns, indices};
    EXPECT_EQ(exactCell(shape, oidOf({5, 7})), (Cell{5, 7, 2}));
    EXPECT_EQ(exactCell(shape, oidOf({2, 1})), (Cell{2, 1, 0}));
    EXPECT_EQ(exactCell(shape, oidOf({5, 3})), std::nullopt);            // no such row
    EXPECT_EQ(exactCell(shape, oidOf({4, 1})), std::nullopt);            // no such column
    EXPECT_EQ(exactCell(shape, oidOf({5})), std::nullopt);               // partial
    EXPECT_EQ(exactCell(shape, oidOf({5, 7, 0})), std::nullopt);         // longer
    EXPECT_EQ(exactCell(shape, oidOf({5, 4294967303UL})), std::nullopt); // 7 + 2^32 is not row 7
    std::vector<SubId> other = oidOf({5, 7});
    other[6] = 62015;
    EXPECT_EQ(exactCell(shape, other), std::nullopt);
}

TEST(MibTable, AWalkOfAThousandRowsVisitsEveryCellOnceInOrder) {
    std::vector<quint32> indices;
    for (quint32 i = 1; i <= 1000; ++i)
        indices.push_back(i * 3);
    const TableShape shape{kEntry, kColumns, indices};
    std::vector<SubId> at = kEntry;
    int visited = 0;
    std::optional<Cell> previous;
    while (const auto cell = nextCell(shape, at)) {
        if (previous) {
            ASSERT_TRUE(cell->column > previous->column ||
                        (cell->column == previous->column && cell->index > previous->index));
        }
        ASSERT_EQ(indices[static_cast<std::size_t>(cell->position)], cell->index);
        at = oidOf({cell->column, cell->index});
        previous = cell;
        ++visited;
    }
    EXPECT_EQ(visited, 1000 * static_cast<int>(kColumns.size()));
}
