// SPDX-License-Identifier: GPL-3.0-or-later
// Reports whose element does not answer ARP wait for their lookup without holding up anyone else, and
// the lookups of a discovery's answers are prompted as they arrive.
#include "link_fixture.h"
#include "model/mac_text.h"
#include "store/profile_file.h"

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

class MacWaitTest : public LinkTest {
protected:
    // A report from an address nobody holds: 192.168.1.(100 + n) is never in the resolver's table.
    static QByteArray silentReport(int n) { return Report{.ipLast = 100 + n}.bytes(); }
    void deliver(const QByteArray &datagram) { peer->endpoint().deliver(datagram); }
    bool stored(const char *key) const { return database.keyCount(QString::fromLatin1(key)) > 0; }
};

TEST_F(MacWaitTest, ADiscoveryAnswerIsStoredWhileSilentAddressesAheadOfItAreStillLookedUp) {
    makeLink();
    answerArp(11, "00a0c9000002");
    peer->setDiscovering(true);
    for (int n = 0; n < 100; ++n)
        deliver(silentReport(n));
    deliver(Report{.ipLast = 11}.bytes());
    ASSERT_TRUE(QTest::qWaitFor([&] { return stored("00A0C9000002"); }, 4000));
    EXPECT_EQ(peer->lookups().inFlight() + peer->lookups().waiting(), 100) << "none of them gave up yet";
    EXPECT_EQ(peer->lookups().inFlight(), MacLookups::kMaxInFlight) << "the rest wait their turn";
    EXPECT_TRUE(notifier.messages.isEmpty());
}

TEST_F(MacWaitTest, ReportsOfOneAddressKeepTheirOrderAndShareOneLookup) {
    settings.macLookupMs = 600000;
    makeLink();
    peer->setDiscovering(true);
    // Two answers from an address that does not resolve yet, another from one that does.
    deliver(Report{.ipLast = 12, .name = "FIRST           "}.bytes());
    deliver(Report{.ipLast = 12, .name = "SECOND          "}.bytes());
    answerArp(11, "00a0c9000002");
    deliver(Report{.ipLast = 11}.bytes());
    ASSERT_TRUE(QTest::qWaitFor([&] { return stored("00A0C9000002"); }));
    EXPECT_EQ(std::tuple(peer->lookups().inFlight(), stored("00A0C9000003")), std::tuple(1, false));
    answerArp(12, "00a0c9000003");
    deliver(Report{.ipLast = 12, .name = "THIRD           "}.bytes()); // arrives while the others wait
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !peer->reportHandler().busy() && !peer->endpoint().hasPending(); }));
    QTest::qWait(10); // the last batch is stored when the queue drains
    EXPECT_EQ(ReadFromINI(u"00A0C9000003"_s, u"name"_s, database.path()), u"THIRD           "_s)
        << "the last to arrive has the last word";
}

TEST_F(MacWaitTest, AnAddressThatNeverResolvesEndsOnceForEachReportWithItsMessage) {
    settings.macLookupMs = 50;
    makeLink();
    for (int n = 0; n < 3; ++n)
        deliver(silentReport(0));
    deliver(silentReport(1));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !peer->reportHandler().busy() && !peer->endpoint().hasPending(); }));
    const Message noMac(MessageId::ReportFieldCorrupted, {phrase(PhraseId::ElementMac)});
    // Identical failures in a row are one box and a count.
    ASSERT_TRUE(QTest::qWaitFor([&] { return notifier.messages.size() == 2; }, 3000));
    EXPECT_EQ(notifier.messages, (QList<Message>{noMac, {MessageId::RepeatedReports, {u"3"_s}, noMac}}));
    EXPECT_EQ(std::tuple(resolver.table.size(), database.exists()), std::tuple(1, false))
        << "nothing was learnt or stored";
}

struct PreparingResolver : ScriptedResolver {
    void prepare(const QList<quint32> &addresses) override {
        if (attemptsAtFirstPrepare < 0)
            attemptsAtFirstPrepare = attempts;
        prepared.append(addresses);
    }
    QList<quint32> prepared;
    int attemptsAtFirstPrepare = -1;
};

TEST_F(LinkTest, ADiscoverysAnswersHaveTheirLookupsStartedAsTheyArrive) {
    PreparingResolver preparing;
    preparing.table = resolver.table; // 192.168.1.10 answers
    ElementLink prompted(
        database, notifier, preparing, [this] { return panel; }, settings);
    ElementLinkTestPeer inside(prompted);
    inside.setDiscovering(true);
    inside.endpoint().deliver(Report{.ipLast = 10}.bytes());
    inside.endpoint().deliver(Report{.ipLast = 11}.bytes());
    inside.endpoint().deliver(QByteArray(39, '\x0A'));   // too short to name an address
    inside.endpoint().deliver(QByteArray(1440, '\x0A')); // a level reply
    inside.setDiscovering(false);
    inside.endpoint().deliver(Report{.ipLast = 12}.bytes()); // outside a discovery, looked up in turn

    EXPECT_EQ(preparing.prepared, QList<quint32>({Ipv4Address{0xC0A8010A}.toNetworkOrder(),
                                                  Ipv4Address{0xC0A8010B}.toNetworkOrder()}));
    // Before the first report's own lookup, which the dispatch may start at once.
    EXPECT_EQ(preparing.attemptsAtFirstPrepare, 0);
}

} // namespace
} // namespace ondalink::testing
