// SPDX-License-Identifier: GPL-3.0-or-later
// The board the exporters read: an element keeps its table index across readings of the database,
// and news reach only the rows they name.
#include "service/status_board.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

StatusBoard::Listed listed(const char *key, const char *name = "Element") {
    return {QString::fromLatin1(key), QString::fromLatin1(name), u"10.0.0.1"_s, ElementRole::Encoder};
}

QList<quint32> indices(const StatusBoard &board) {
    QList<quint32> out;
    for (const BoardRow &row : board.rows())
        out.append(row.index);
    return out;
}

TEST(StatusBoard, AnElementKeepsItsIndexAcrossReadingsAndANewOneTakesTheNext) {
    StatusBoard board;
    board.replaceListing({listed("00A000000003"), listed("00A000000001"), listed("00A000000002")});
    EXPECT_EQ(indices(board), (QList<quint32>{1, 2, 3}));
    EXPECT_EQ(board.row(u"00A000000001"_s)->index, 2u);
    board.setReachability(u"00A000000002"_s, ElementStatus::Online, {}, 4);

    // One removed, one new, the order of the file changed: the others keep theirs, and their status.
    board.replaceListing(
        {listed("00A000000002", "Renamed     "), listed("00A000000004"), listed("00A000000003")});
    EXPECT_EQ(indices(board), (QList<quint32>{1, 3, 4}));
    EXPECT_EQ(board.row(u"00A000000002"_s)->status, ElementStatus::Online);
    EXPECT_EQ(board.row(u"00A000000002"_s)->name, u"Renamed");
    EXPECT_EQ(board.row(u"00A000000002"_s)->mac, u"00:A0:00:00:00:02");
    EXPECT_EQ(board.row(u"00A000000001"_s), nullptr);

    // A key that comes back takes its old index, not a new one; a key listed twice is one row.
    board.replaceListing({listed("00A000000001"), listed("00A000000001"), listed("00A000000004")});
    EXPECT_EQ(indices(board), (QList<quint32>{2, 4}));
}

TEST(StatusBoard, ChangesAreSignalledOnceAndNewsOfAnUnlistedKeyAreIgnored) {
    StatusBoard board;
    board.replaceListing({listed("00A000000001")});
    QSignalSpy status(&board, &StatusBoard::statusChanged);
    QSignalSpy silence(&board, &StatusBoard::silenceChanged);

    const QDateTime seen(QDate(2026, 12, 8), QTime(10, 0), Qt::UTC);
    board.setReachability(u"00A000000001"_s, ElementStatus::Offline, seen, std::nullopt);
    board.setReachability(u"00A000000001"_s, ElementStatus::Offline, seen.addSecs(5), std::nullopt);
    board.setReachability(u"00A0000000FF"_s, ElementStatus::Online, seen, 3);
    ASSERT_EQ(status.size(), 1);
    EXPECT_EQ(status[0][1].value<ElementStatus>(), ElementStatus::Unknown);
    EXPECT_EQ(board.row(u"00A000000001"_s)->lastSeen, seen.addSecs(5));

    board.setSilence(u"00A000000001"_s, SilenceState::Waiting);
    board.setLevel(u"00A000000001"_s, -12.0);
    board.setSilence(u"00A000000001"_s, SilenceState::Waiting);
    EXPECT_EQ(silence.size(), 1);
    EXPECT_EQ(board.row(u"00A000000001"_s)->levelDbfs, -12.0);
    // No longer watched: no level is published for it.
    board.setSilence(u"00A000000001"_s, SilenceState::NotWatched);
    EXPECT_FALSE(board.row(u"00A000000001"_s)->levelDbfs);
}

} // namespace
} // namespace ondalink
