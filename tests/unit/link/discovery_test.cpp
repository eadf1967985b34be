// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/discovery.h"
#include "link_fixture.h"
#include "store/profile_file.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QNetworkInterface>
#include <QProcess>
#include <QSignalSpy>

#include <sys/socket.h>

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

class DiscoveryTest : public LinkTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(database.write(u"00A0C90000AA"_s, u"ip"_s, u"10.9.9.9"_s));
        settings.pagingPort = network.port();
        makeDiscovery();
    }
    void makeDiscovery() {
        discovery.reset();
        makeLink();
        discovery = std::make_unique<Discovery>(*link);
        QObject::connect(link.get(), &ElementLink::reloadTreeRequested, link.get(),
                         [this] { log.append(u"reload"_s); });
        QObject::connect(discovery.get(), &Discovery::starting, link.get(),
                         [this] { log.append(u"starting"_s); });
        QObject::connect(discovery.get(), &Discovery::finished, link.get(),
                         [this] { log.append(u"finished"_s); });
    }
    void expectIdle() {
        EXPECT_EQ(std::tuple(link->isDiscovering(), discovery->state()),
                  std::tuple(false, Discovery::State::Idle));
    }

    Peer network; // where the paging request goes
    QStringList log;
    std::unique_ptr<Discovery> discovery;
};

TEST_F(DiscoveryTest, ReplacesTheDatabaseWithWhatAnswers) {
    QSignalSpy finished(discovery.get(), &Discovery::finished);
    discovery->start();
    EXPECT_EQ(log, QStringList({u"starting"_s}));
    EXPECT_TRUE(database.exists() && QFileInfo(database.path()).size() == 0);
    EXPECT_EQ(ReadFromINI(u"00A0C90000AA"_s, u"ip"_s, database.path() + u".bak"_s), u"10.9.9.9"_s);
    const QNetworkDatagram request = network.next();
    EXPECT_EQ(std::tuple(request.data(), request.senderPort()),
              std::tuple("LINKWAVE KORVALEN PAGING REQUEST", peer->endpoint().localPort()));

    answerArp(11, "00a0c9000002");
    network.sendTo(Report{.role = 1}.bytes(), peer->endpoint().localPort());
    network.sendTo(Report{.ipLast = 11}.bytes(), peer->endpoint().localPort());
    ASSERT_TRUE(QTest::qWaitFor([&] { return discovery->storedCount() == 2; }));
    EXPECT_EQ(log.size(), 1) << "no reload during the wait";
    DiscoveryTestPeer(*discovery).wait().setInterval(1); // the three seconds are over
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(log, QStringList({u"starting"_s, u"reload"_s, u"finished"_s}));
    expectIdle();
    EXPECT_EQ(LoadIniSectionsArray(database.path()), QStringList({kSelectedKey, u"00A0C9000002"_s}));
    EXPECT_TRUE(notifier.messages.isEmpty());
}

TEST_F(DiscoveryTest, EndsOnceWhicheverWayItEnds) {
    discovery->start();
    ASSERT_TRUE(link->isDiscovering());
    discovery->start(); // a second start while waiting changes nothing
    discovery->cancel();
    expectIdle();
    DiscoveryTestPeer(*discovery).wait().setInterval(1);
    QTest::qWait(20);
    discovery->cancel();
    EXPECT_EQ(log, QStringList({u"starting"_s, u"reload"_s, u"finished"_s}));

    // Nothing can leave: the operator is told at once, and the wait ends without its three seconds.
    settings.pagingHost = u"not an address"_s;
    makeDiscovery();
    log.clear();
    discovery->start();
    expectIdle();
    EXPECT_EQ(log, QStringList({u"starting"_s, u"reload"_s, u"finished"_s}));
    EXPECT_EQ(
        notifier.messages,
        QList<Message>{Message(MessageId::PagingNotSent,
                               {phrase(PhraseId::NotAnAddress, {u"not an address"_s}), u"nms.ini.bak"_s})});
}

// The limited broadcast is only ever sent inside a user and network namespace made for this test:
// the test runs itself again under unshare, builds two networks of veth pairs there and pages them.
// nms0 and nms1 are this host's two networks, el0 and el1 their far ends; both ends live in this one
// namespace, so the far ends must take datagrams from a local source.
const QString kNetworks =
    u"set -e; PATH=$PATH:/usr/sbin:/sbin; for n in 0 1; do"
    u" ip link add nms$n type veth peer name el$n; ip addr add 10.$n.0.1/24 dev nms$n;"
    u" ip link set nms$n up; ip link set el$n up; c=/proc/sys/net/ipv4/conf;"
    u" echo 0 >$c/all/rp_filter; echo 0 >$c/el$n/rp_filter; echo 1 >$c/el$n/accept_local;"
    u" done"_s;

TEST_F(DiscoveryTest, PagingBroadcastLeavesOnEveryNetworkOfTheHost) {
    if (!qEnvironmentVariableIsSet("ONDALINK_PAGING_NAMESPACE")) {
        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        qputenv("ONDALINK_PAGING_NAMESPACE", "1");
        child.start(u"unshare"_s,
                    {u"--user"_s, u"--map-root-user"_s, u"--net"_s, QCoreApplication::applicationFilePath(),
                     u"--gtest_filter=*PagingBroadcast*"_s});
        qunsetenv("ONDALINK_PAGING_NAMESPACE");
        if (!child.waitForStarted())
            GTEST_SKIP() << "needs unshare to build a private network namespace";
        ASSERT_TRUE(child.waitForFinished(60000));
        const QString output = QString::fromLocal8Bit(child.readAll());
        if (output.startsWith(u"unshare:"_s))
            GTEST_SKIP() << "no private network namespace here: " << output.trimmed().toStdString();
        EXPECT_TRUE(child.exitCode() == 0 && output.contains(u"[  PASSED  ] 1 test"_s))
            << output.toStdString();
        return;
    }
    for (const QNetworkInterface &iface : QNetworkInterface::allInterfaces())
        ASSERT_TRUE(iface.flags().testFlag(QNetworkInterface::IsLoopBack)) << "not a fresh namespace";
    ASSERT_EQ(QProcess::execute(u"sh"_s, {u"-c"_s, kNetworks}), 0);
    const auto running = [](const QString &name) {
        return QNetworkInterface::interfaceFromName(name).flags().testFlag(QNetworkInterface::IsRunning);
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return running(u"nms0"_s) && running(u"nms1"_s); }));
    // One listener per far end, sharing the port, each tied to its device. There is no default route,
    // so a plain send to the broadcast address would fail.
    Peer far0(QHostAddress(QHostAddress::AnyIPv4), 0, QAbstractSocket::ShareAddress);
    Peer far1(QHostAddress(QHostAddress::AnyIPv4), far0.port(), QAbstractSocket::ShareAddress);
    for (auto [farEnd, device] : {std::pair{&far0, "el0"}, std::pair{&far1, "el1"}})
        ASSERT_EQ(::setsockopt(int(farEnd->socket.socketDescriptor()), SOL_SOCKET, SO_BINDTODEVICE, device,
                               socklen_t(qstrlen(device))),
                  0);
    settings.bindAddress = QHostAddress(QHostAddress::AnyIPv4);
    settings.pagingHost = u"255.255.255.255"_s;
    settings.pagingPort = far0.port();
    makeDiscovery();
    discovery->start();
    for (Peer *farEnd : {&far0, &far1})
        EXPECT_EQ(farEnd->next().data(), "LINKWAVE KORVALEN PAGING REQUEST")
            << ::testing::PrintToString(notifier.messages);
}

} // namespace
} // namespace ondalink::testing
