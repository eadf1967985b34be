// SPDX-License-Identifier: GPL-3.0-or-later
// The event log: its bound, the daily files and their removal after 30 days, JSON lines and CSV; a
// flood from one sender coalesced.
#include "fake_status.h"
#include "status/event_coalescer.h"
#include "status/event_log.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

using testing::FakeClock;

QList<QByteArray> linesOf(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

class EventLogTest : public ::testing::Test {
protected:
    QString folder() const { return dir.filePath(u"events"_s); }
    void touch(const QString &name) {
        QDir().mkpath(folder());
        QFile file(folder() + u'/' + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QTemporaryDir dir;
    FakeClock clock;
};

TEST_F(EventLogTest, KeepsTheNewestRowsAndSaysHowManyWent) {
    EventLog log(clock, folder(), 3);
    QSignalSpy dropped(&log, &EventLog::oldestDropped);
    for (int i = 0; i < 5; ++i)
        log.append(EventSeverity::Information, u"Event %1"_s.arg(i));
    ASSERT_EQ(log.rows().size(), 3);
    EXPECT_EQ(log.rows().first().event, u"Event 2"_s);
    EXPECT_EQ(log.rows().last().event, u"Event 4"_s);
    EXPECT_EQ(dropped.size(), 2);
    // The file keeps everything.
    EXPECT_EQ(linesOf(log.fileFor(clock.wallTime().date())).size(), 5);
}

TEST_F(EventLogTest, OneJsonObjectALineInTheFileOfTheDay) {
    clock.setWallStart(QDateTime(QDate(2026, 3, 1), QTime(23, 59, 58), Qt::UTC)); // now 23:59:59
    EventLog log(clock, folder());
    const EventRow row{QDateTime(),
                       EventSeverity::Alarm,
                       u"Enc \"North\", 1  "_s,
                       u"00:A0:C9:00:00:01"_s,
                       u"Alarm raised"_s,
                       u"Silent: level below -50 dBFS\nfor 10 s"_s};
    log.append(row);
    clock.advance(1500); // past midnight: the next day's file
    log.append(EventSeverity::Information, u"Discovery started"_s);

    const QList<QByteArray> first = linesOf(log.fileFor(QDate(2026, 3, 1)));
    const QList<QByteArray> second = linesOf(log.fileFor(QDate(2026, 3, 2)));
    ASSERT_EQ(first.size(), 1);
    ASSERT_EQ(second.size(), 1);
    const std::optional<EventRow> back = parseEventJsonLine(first[0]);
    ASSERT_TRUE(back.has_value()) << first[0].toStdString();
    EventRow expected = row;
    expected.time = clock.wallTime().addMSecs(-1500);
    EXPECT_EQ(*back, expected);
    EXPECT_TRUE(first[0].contains("\"severity\":\"alarm\"")) << first[0].toStdString();
    EXPECT_TRUE(first[0].contains("\"time\":\"2026-03-01T23:59:59.000Z\"")) << first[0].toStdString();

    for (const QByteArray &bad :
         {QByteArray("{"), QByteArray("[]"), QByteArray(R"({"time":"x","severity":"alarm"})"),
          QByteArray(R"({"time":"2026-03-01T00:00:00Z","severity":"loud"})")})
        EXPECT_FALSE(parseEventJsonLine(bad).has_value()) << bad.toStdString();
}

TEST_F(EventLogTest, FilesOlderThanThirtyDaysGoAtStartAndWhenTheDayChanges) {
    clock.setWallStart(QDateTime(QDate(2026, 3, 31), QTime(23, 0), Qt::UTC));
    // Kept: the 30 days up to today. Removed: older ones of our name only.
    for (const char *name : {"events-2026-03-02.jsonl", "events-2026-03-01.jsonl", "events-2026-02-28.jsonl",
                             "events-2025-12-31.jsonl", "notes-2020-01-01.jsonl", "events-2020-01-01.txt"})
        touch(QString::fromLatin1(name));
    EventLog log(clock, folder());
    const auto present = [&] {
        QStringList files = QDir(folder()).entryList(QDir::Files);
        files.sort();
        return files;
    };
    EXPECT_EQ(present(), (QStringList{u"events-2020-01-01.txt"_s, u"events-2026-03-02.jsonl"_s,
                                      u"notes-2020-01-01.jsonl"_s}));
    log.append(EventSeverity::Information, u"Late"_s);
    clock.advance(2 * 60 * 60 * 1000); // April 1st: March 2nd is 30 days old now
    log.append(EventSeverity::Information, u"Next day"_s);
    EXPECT_EQ(present(), (QStringList{u"events-2020-01-01.txt"_s, u"events-2026-03-31.jsonl"_s,
                                      u"events-2026-04-01.jsonl"_s, u"notes-2020-01-01.jsonl"_s}));
}

TEST_F(EventLogTest, AnUnwritableFolderKeepsTheRowsInMemory) {
    touch(u"blocker"_s);
    EventLog log(clock, folder() + u"/blocker/sub"_s);
    log.append(EventSeverity::Warning, u"One"_s);
    log.append(EventSeverity::Warning, u"Two"_s);
    EXPECT_FALSE(log.fileWritable());
    EXPECT_EQ(log.rows().size(), 2);
}

TEST_F(EventLogTest, CsvQuotesWhatNeedsItAndTrimsNames) {
    EventLog log(clock, folder());
    log.append(EventSeverity::Alarm, u"Alarm raised"_s, u"Offline, \"really\""_s, u"Dec  "_s,
               u"00:A0:C9:00:00:02"_s);

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(writeEventCsv(log.rows(), buffer));
    const QList<QByteArray> lines = buffer.data().split('\n');
    ASSERT_EQ(lines.size(), 3); // header, row, and nothing after the last CRLF
    EXPECT_EQ(lines[0], "Time,Severity,Element,MAC,Event,Detail\r");
    EXPECT_EQ(lines[1], "2026-03-01T12:00:01.000Z,Alarm,Dec,00:A0:C9:00:00:02,Alarm raised,"
                        "\"Offline, \"\"really\"\"\"\r");
}

TEST_F(EventLogTest, RepeatsOfAnEventFromOneSenderAreCountedForAMinuteAndSaidOnce) {
    EventLog log(clock, folder());
    const auto refused = [](const QString &detail) {
        return EventRow{QDateTime(), EventSeverity::Warning, u"DEC 1"_s, u"00:A0:C9:00:00:01"_s, u"Refused"_s,
                        detail};
    };
    const auto details = [&] {
        QStringList all;
        for (const EventRow &row : log.rows())
            all.append(row.event + u": "_s + row.detail);
        return all;
    };
    {
        EventCoalescer coalescer(log, clock);
        coalescer.append(refused(u"first"_s), u"10.0.0.9"_s);
        for (int i = 0; i < 500; ++i)
            coalescer.append(refused(u"again"_s), u"10.0.0.9"_s);
        // Another sender, and another event of the same sender, are rows of their own.
        coalescer.append(refused(u"other sender"_s), u"10.0.0.8"_s);
        EventRow stored = refused(u"stored"_s);
        stored.event = u"Stored"_s;
        coalescer.append(stored, u"10.0.0.9"_s);
        EXPECT_EQ(details(),
                  (QStringList{u"Refused: first"_s, u"Refused: other sender"_s, u"Stored: stored"_s}));

        clock.advance(EventCoalescer::kWindowMs - 1);
        coalescer.flush();
        EXPECT_EQ(log.rows().size(), 3);
        clock.advance(1);
        coalescer.flush();
        ASSERT_EQ(log.rows().size(), 4);
        const EventRow count = log.rows().last();
        EXPECT_EQ(count.detail, u"500 more like this from 10.0.0.9 in the last minute"_s);
        EXPECT_EQ(std::tuple(count.event, count.elementMac, count.severity),
                  std::tuple(u"Refused"_s, u"00:A0:C9:00:00:01"_s, EventSeverity::Warning));
        EXPECT_EQ(count.time, clock.wallTime());

        // After its count, the next one is written whole; one counted repeat is said at the end.
        coalescer.append(refused(u"later"_s), u"10.0.0.9"_s);
        coalescer.append(refused(u"later still"_s), u"10.0.0.9"_s);
        EXPECT_EQ(log.rows().last().detail, u"later"_s);
    }
    EXPECT_EQ(log.rows().last().detail, u"1 more like this from 10.0.0.9 in the last minute"_s);
    EXPECT_EQ(linesOf(log.fileFor(clock.wallTime().date())).size(), log.rows().size());
}

TEST_F(EventLogTest, PastTheBoundOfSendersTheOthersShareOneCount) {
    EventLog log(clock, folder(), 100000);
    EventCoalescer coalescer(log, clock);
    const EventRow row{QDateTime(), EventSeverity::Warning, {}, {}, u"Refused"_s, u"x"_s};
    const qsizetype senders = EventCoalescer::kMaxSources + 300;
    for (int round = 0; round < 3; ++round)
        for (qsizetype n = 0; n < senders; ++n)
            coalescer.append(row, u"10.1.%1.%2"_s.arg(n / 256).arg(n % 256));
    // Each sender within the bound once, the first of the others once.
    EXPECT_EQ(log.rows().size(), EventCoalescer::kMaxSources + 1);
    clock.advance(EventCoalescer::kWindowMs);
    coalescer.flush();
    ASSERT_EQ(log.rows().size(), 2 * EventCoalescer::kMaxSources + 1 + 1);
    const QString shared = u"%1 more like this from other senders in the last minute"_s.arg(3 * 300 - 1);
    EXPECT_TRUE(std::any_of(log.rows().cbegin(), log.rows().cend(),
                            [&](const EventRow &counted) { return counted.detail == shared; }));
}

} // namespace
} // namespace ondalink
