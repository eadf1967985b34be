// SPDX-License-Identifier: GPL-3.0-or-later
#include "link_fixture.h"

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

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
