// SPDX-License-Identifier: GPL-3.0-or-later
// 100,000 hostile datagrams at the window's port: random lengths and bytes, bursts of level-reply
// sized blocks, of reports failing alternating checks and of reports from a stranger.
#include "fake_status.h"
#include "link_test_peer.h"
#include "status/event_recorder.h"
#include "window_fixture.h"

#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <random>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace ondalink::testing {
namespace {

using namespace Qt::StringLiterals;

constexpr int kDatagrams = 100000;
constexpr quint32 kStranger = 0x0A000063; // 10.0.0.99, answers ARP but is not the selected element

// A report that fails the check chosen by kind: input, type, TX, role, serial.
QByteArray failingReport(int kind) {
    QByteArray bytes = reportBytes(0x0A000001);
    const int offsets[] = {16, 17, 18, 35, 36};
    bytes[offsets[kind % 5]] = char(kind % 5 == 4 ? 0x80 : 7);
    return bytes;
}

QList<QByteArray> floodPlan(quint32 seed) {
    std::mt19937 random(seed);
    QList<QByteArray> plan;
    const auto randomBytes = [&](int length) {
        QByteArray bytes(length, Qt::Uninitialized);
        for (char &c : bytes)
            c = char(random());
        return bytes;
    };
    while (plan.size() < kDatagrams) {
        const qsizetype i = plan.size();
        if (i % 10000 == 0)
            for (int n = 0; n < 300; ++n)
                plan.append(randomBytes(1440));
        else if (i % 10000 == 5000)
            for (int n = 0; n < 300; ++n)
                plan.append(failingReport(n));
        else if (i % 20000 == 7000)
            for (int n = 0; n < 50; ++n)
                plan.append(reportBytes(kStranger));
        else
            plan.append(randomBytes(int(random() % 2001)));
    }
    plan.resize(kDatagrams);
    return plan;
}

class Flood : public HardeningTest {};

TEST_F(Flood, TheWindowOutlivesAHundredThousandHostileDatagrams) {
    writeIni("[00A0C9000001]\r\nNAME=DEC 1           \r\nIP=127.0.0.1\r\nROLE=2\r\n");
    resolver.table.insert(htonl(kStranger), QByteArray("\x02\x00\x00\x00\x00\x63", 6));
    ASSERT_TRUE(start());
    notifier.messages.clear();

    const quint32 seed = std::random_device()();
    RecordProperty("seed", int(seed));
    const QList<QByteArray> plan = floodPlan(seed);
    const qint64 rssBefore = statusKiB("VmRSS:");

    std::atomic<bool> sent = false;
    const quint16 port = ElementLinkTestPeer(station->link).endpoint().localPort();
    std::thread sender([&] {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (const QByteArray &datagram : plan)
            ::sendto(fd, datagram.constData(), size_t(datagram.size()), 0, reinterpret_cast<sockaddr *>(&to),
                     sizeof to);
        ::close(fd);
        sent = true;
    });

    const bool survived = runUntil([&] { return sent.load(); }, 120000) && drained();
    sender.join();
    ASSERT_TRUE(survived);

    const qint64 rssAfter = statusKiB("VmRSS:");
    const qsizetype boxesDuringFlood = notifier.messages.size();
    EXPECT_GT(ElementLinkTestPeer(station->link).dispatch().dispatchedCount(), 0u);
    EXPECT_LE(boxesDuringFlood, 12) << ::testing::PrintToString(notifier.messages);
    EXPECT_LT(rssAfter - rssBefore, 64 * 1024) << "KiB";

    // Once the storm is over its count is shown, and a single report shows exactly its own message.
    ASSERT_TRUE(runUntil([&] { return notifier.messages.size() > boxesDuringFlood; }, 5000));
    EXPECT_TRUE(notifier.ids().constLast() == MessageId::RepeatedReports ||
                notifier.ids().constLast() == MessageId::SuppressedReports);
    notifier.messages.clear();
    QUdpSocket stranger;
    stranger.writeDatagram(failingReport(0), QHostAddress(QHostAddress::LocalHost), port);
    ASSERT_TRUE(runUntil([&] { return !notifier.messages.isEmpty(); }, 5000));
    ASSERT_TRUE(drained());
    EXPECT_EQ(notifier.messages,
              QList<Message>{Message(MessageId::ReportFieldCorrupted, {phrase(PhraseId::AudioInput)})});
}

TEST_F(Flood, ReportsOnAnEmptyDatabaseDoNotRepeatItsNotice) {
    writeIni({});
    ASSERT_TRUE(start());
    const MessageId notice = MessageId::DatabaseEmpty;
    ASSERT_EQ(notifier.ids(), QList<MessageId>{notice});
    notifier.messages.clear();
    for (int i = 0; i < 200; ++i)
        ElementLinkTestPeer(station->link).endpoint().deliver(failingReport(i));
    ASSERT_TRUE(drained());
    EXPECT_FALSE(notifier.ids().contains(notice));
    EXPECT_LE(notifier.messages.size(), MessageCoalescer::kStormBoxes + 1);
    notifier.messages.clear();
    window->Refresh(); // the operator asks: told again
    EXPECT_EQ(notifier.ids(), QList<MessageId>{notice});
}

TEST_F(Flood, RefusedReportsFromOneSenderAreOneRowAndTheirCountInTheEventLog) {
    writeIni("[00A0C9000001]\r\nNAME=DEC 1           \r\nIP=127.0.0.1\r\nROLE=2\r\n");
    ASSERT_TRUE(start());
    FakeClock clock;
    QTemporaryDir events;
    EventLog log(clock, events.path());
    EventRecorder recorder(log, station->database);
    recorder.attachLink(station->link);
    constexpr int kReports = 300;
    QUdpSocket sender;
    const quint16 port = ElementLinkTestPeer(station->link).endpoint().localPort();
    for (int i = 0; i < kReports; ++i)
        sender.writeDatagram(failingReport(i), QHostAddress(QHostAddress::LocalHost), port);
    ASSERT_TRUE(runUntil(
        [&] { return ElementLinkTestPeer(station->link).dispatch().dispatchedCount() >= kReports; }, 10000));
    ASSERT_TRUE(drained());
    const auto refused = [&] {
        QStringList details;
        for (const EventRow &row : log.rows())
            if (row.event == u"Element refused"_s)
                details.append(row.detail);
        return details;
    };
    const QStringList first = refused();
    ASSERT_EQ(first.size(), 1);
    EXPECT_TRUE(first.constFirst().startsWith(u"Report from 10.0.0.1: "_s)) << qPrintable(first.constFirst());
    clock.advance(EventCoalescer::kWindowMs);
    ASSERT_TRUE(runUntil([&] { return refused().size() == 2; }, 3000));
    EXPECT_EQ(refused().constLast(),
              QString::number(kReports - 1) + u" more like this from 127.0.0.1 in the last minute"_s);
}

} // namespace
} // namespace ondalink::testing
