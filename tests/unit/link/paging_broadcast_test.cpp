// SPDX-License-Identifier: GPL-3.0-or-later
// The limited broadcast is only ever sent inside a user and network namespace made for this test:
// the test runs itself again under unshare, builds two networks of veth pairs there and pages them.
#include "link/discovery.h"
#include "link_fixture.h"

#include <QCoreApplication>
#include <QFile>
#include <QNetworkInterface>
#include <QProcess>
#include <QStandardPaths>

#include <sys/socket.h>

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

const char kInNamespace[] = "ONDALINK_PAGING_NAMESPACE";

QString tool(const QString &name) {
    return QStandardPaths::findExecutable(name, {u"/usr/sbin"_s, u"/sbin"_s, u"/usr/bin"_s, u"/bin"_s});
}

class SilentPagingView : public PagingView {
public:
    void clearGetVolume() override {}
    void emptyLists() override {}
    void closePagingWindow() override {}
};

// Inside the namespace: nms0 and nms1 are this host's two networks, el0 and el1 the far ends.
void pageBothNetworks() {
    for (const QNetworkInterface &iface : QNetworkInterface::allInterfaces())
        ASSERT_TRUE(iface.flags().testFlag(QNetworkInterface::IsLoopBack))
            << "not a fresh namespace (" << iface.name().toStdString() << "): no broadcast from here";
    const QString ip = tool(u"ip"_s);
    const char *setup[] = {"link add nms0 type veth peer name el0",
                           "link add nms1 type veth peer name el1",
                           "addr add 10.1.0.1/24 dev nms0",
                           "addr add 10.2.0.1/24 dev nms1",
                           "link set nms0 up",
                           "link set el0 up",
                           "link set nms1 up",
                           "link set el1 up"};
    for (const char *command : setup)
        ASSERT_EQ(QProcess::execute(ip, QString::fromLatin1(command).split(u' ')), 0) << command;
    // Both ends live in this one namespace: let the far ends take datagrams from a local source.
    const QList<std::pair<QString, QByteArray>> sysctls = {
        {u"all/rp_filter"_s, "0"},    {u"el0/rp_filter"_s, "0"},    {u"el1/rp_filter"_s, "0"},
        {u"el0/accept_local"_s, "1"}, {u"el1/accept_local"_s, "1"},
    };
    for (const auto &[name, value] : sysctls) {
        QFile file(u"/proc/sys/net/ipv4/conf/"_s + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(value) == 1) << name.toStdString();
    }
    ASSERT_TRUE(QTest::qWaitFor([] {
        return QNetworkInterface::interfaceFromName(u"nms0"_s).flags().testFlag(
                   QNetworkInterface::IsRunning) &&
               QNetworkInterface::interfaceFromName(u"nms1"_s).flags().testFlag(QNetworkInterface::IsRunning);
    }));

    // One listener at the far end of each network, sharing the port, each tied to its device.
    // No default route exists here, so a plain send to the broadcast address would fail.
    const auto shared = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;
    LoopbackPeer far0(QHostAddress(QHostAddress::AnyIPv4), 0, shared);
    ASSERT_TRUE(far0.bound);
    LoopbackPeer far1(QHostAddress(QHostAddress::AnyIPv4), far0.port(), shared);
    for (auto [peer, device] : {std::pair{&far0, "el0"}, std::pair{&far1, "el1"}}) {
        ASSERT_TRUE(peer->bound) << device;
        ASSERT_EQ(::setsockopt(static_cast<int>(peer->socket.socketDescriptor()), SOL_SOCKET, SO_BINDTODEVICE,
                               device, static_cast<socklen_t>(qstrlen(device))),
                  0);
    }

    QTemporaryDir folder;
    ElementDatabase database(folder.filePath(u"nms.ini"_s));
    RecordingNotifier notifier;
    ScriptedResolver resolver;
    FakePanel panel;
    LinkSettings settings;
    settings.localPort = 0;
    settings.pagingPort = far0.port(); // the host stays the limited broadcast
    ElementLink link(database, notifier, resolver, panel, settings);
    ASSERT_TRUE(link.open());
    SilentPagingView view;
    Discovery discovery(link, view);
    discovery.Form_Load();
    ASSERT_TRUE(far0.waitFor(1) && far1.waitFor(1)) << notifier.texts().join(u' ').toStdString();
    for (const LoopbackPeer *peer : {&far0, &far1}) {
        EXPECT_EQ(peer->received.at(0).data(), "LINKWAVE KORVALEN PAGING REQUEST");
        EXPECT_EQ(peer->received.at(0).senderPort(), link.endpoint().localPort());
    }
    EXPECT_TRUE(notifier.messages.isEmpty());
    discovery.Form_Unload();
}

TEST(PagingBroadcast, LeavesOnEveryNetworkOfTheHost) {
    if (qEnvironmentVariableIsSet(kInNamespace)) {
        pageBothNetworks();
        return;
    }
    const QString unshare = tool(u"unshare"_s);
    if (unshare.isEmpty() || tool(u"ip"_s).isEmpty())
        GTEST_SKIP() << "needs unshare and ip to build a private network namespace";
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kInNamespace), u"1"_s);
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(unshare,
                {u"--user"_s, u"--map-root-user"_s, u"--net"_s, QCoreApplication::applicationFilePath(),
                 u"--gtest_filter=PagingBroadcast.LeavesOnEveryNetworkOfTheHost"_s});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    if (output.startsWith(u"unshare:"_s))
        GTEST_SKIP() << "no private network namespace here: " << output.trimmed().toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(u"[  PASSED  ] 1 test"_s)) << output.toStdString();
}

} // namespace
} // namespace ondalink::testing
