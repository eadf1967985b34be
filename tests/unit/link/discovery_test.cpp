// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/discovery.h"
#include "link_fixture.h"
#include "store/profile_file.h"

#include <QFile>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

// What the paging window and the main window were asked to do, in order.
class RecordingPagingView : public PagingView {
public:
    void clearGetVolume() override { log.append(u"clearGetVolume"_s); }
    void emptyLists() override { log.append(u"emptyLists"_s); }
    void closePagingWindow() override { log.append(u"close"_s); }
    QStringList log;
};

QByteArray fileBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class DiscoveryTest : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        ASSERT_TRUE(database->write(u"00A0C90000AA"_s, u"ip"_s, u"10.9.9.9"_s));
        ASSERT_TRUE(database->write(u"00A0C90000BB"_s, u"ip"_s, u"10.9.9.8"_s));
        oldDatabase = fileBytes(database->path());
    }

    void start(int waitMs = 60000, int pagingPort = -1) {
        LinkSettings settings = loopbackSettings();
        settings.pagingPort = pagingPort < 0 ? network.port() : static_cast<quint16>(pagingPort);
        settings.pagingWaitMs = waitMs;
        makeLink(settings);
        // Whatever the link addressed before the discovery.
        link->endpoint().setRemoteHost(u"127.0.0.9"_s);
        link->endpoint().setRemotePort(4242);
        discovery = std::make_unique<Discovery>(*link, view);
        QObject::connect(link.get(), &ElementLink::reloadTreeRequested, link.get(),
                         [this] { view.log.append(u"reload"_s); });
    }

    void expectRestored() {
        EXPECT_EQ(link->endpoint().remoteHost(), u"127.0.0.9"_s);
        EXPECT_EQ(link->endpoint().remotePort(), 4242);
        EXPECT_FALSE(link->AutoDiscoverAwaiting());
        EXPECT_FALSE(discovery->Timer1().isActive());
        EXPECT_FALSE(discovery->waiting());
    }

    LoopbackPeer network; // where the paging request goes
    RecordingPagingView view;
    std::unique_ptr<Discovery> discovery;
    QByteArray oldDatabase;
};

TEST_F(DiscoveryTest, ConfirmationAsksAndOnlyYesGoesOn) {
    start();
    notifier.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(discovery->confirm());
    EXPECT_TRUE(discovery->confirm());
    const Message asked =
        question(u"Performing an 'Auto Discovery' will delete the local database in your computer\r"
                 u"and create a new one, based on the Network Elements found (if any). \r"
                 u"Are you sure?"_s,
                 u"Auto Discovery"_s);
    EXPECT_EQ(notifier.messages, QList<Message>({asked, asked}));
    // Asking changes nothing.
    EXPECT_EQ(fileBytes(database->path()), oldDatabase);
    EXPECT_TRUE(view.log.isEmpty());
    EXPECT_FALSE(link->AutoDiscoverAwaiting());
}

TEST_F(DiscoveryTest, WithNothingAnsweringItEndsWithAnEmptyDatabaseAndTheOldTarget) {
    start(30);
    QSignalSpy finished(discovery.get(), &Discovery::finished);
    discovery->Form_Load();
    EXPECT_EQ(view.log, QStringList({u"clearGetVolume"_s, u"emptyLists"_s}));
    EXPECT_EQ(fileBytes(database->path()), QByteArray());
    EXPECT_EQ(fileBytes(database->path() + u".bak"_s), oldDatabase);
    EXPECT_TRUE(link->AutoDiscoverAwaiting());
    EXPECT_TRUE(discovery->Timer1().isActive());
    EXPECT_EQ(link->endpoint().remoteHost(), u"127.0.0.1"_s);
    EXPECT_EQ(link->endpoint().remotePort(), network.port());

    ASSERT_TRUE(network.waitFor(1));
    EXPECT_EQ(network.received.at(0).data(), QByteArray("LINKWAVE KORVALEN PAGING REQUEST"));
    EXPECT_EQ(network.received.at(0).senderPort(), link->endpoint().localPort());
    ASSERT_TRUE(finished.size() == 1 || finished.wait(5000));
    EXPECT_EQ(view.log, QStringList({u"clearGetVolume"_s, u"emptyLists"_s, u"reload"_s, u"close"_s}));
    expectRestored();
    EXPECT_EQ(fileBytes(database->path()), QByteArray()); // exists, and empty
    EXPECT_TRUE(notifier.messages.isEmpty());
}

TEST_F(DiscoveryTest, TwoAnsweringElementsMakeExactlyTheNewDatabase) {
    start();
    answerArp(u"10.1.1.1"_s, QByteArray::fromHex("00a0c9000001"));
    answerArp(u"10.1.1.2"_s, QByteArray::fromHex("00a0c9000002"));
    LoopbackPeer first;
    LoopbackPeer second;
    const quint16 nmsPort = link->endpoint().localPort();
    QObject::connect(&network.socket, &QUdpSocket::readyRead, &network.socket, [&] {
        first.sendTo(encoderReport(QByteArray::fromHex("0a010101"), "FIRST           ", 11), nmsPort);
        second.sendTo(encoderReport(QByteArray::fromHex("0a010102"), "SECOND          ", 12), nmsPort);
    });
    QSignalSpy stored(discovery.get(), &Discovery::storedCountChanged);
    discovery->Form_Load();
    ASSERT_TRUE(QTest::qWaitFor([&] { return discovery->storedCount() == 2; }, 10000));
    EXPECT_EQ(view.log, QStringList({u"clearGetVolume"_s, u"emptyLists"_s})); // no reload during the wait

    discovery->Timer1_Timer();
    expectRestored();
    EXPECT_EQ(LoadIniSectionsArray(database->path()), QStringList({u"00A0C9000001"_s, u"00A0C9000002"_s}));
    EXPECT_EQ(database->read(u"00A0C9000002"_s, u"name"_s), u"SECOND          "_s);
    EXPECT_EQ(stored.last().at(0).toInt(), 2);
    EXPECT_EQ(view.log.count(u"reload"_s), 1);
    EXPECT_TRUE(notifier.messages.isEmpty());
}

TEST_F(DiscoveryTest, ClosingTheWindowEarlyStillRestoresOnce) {
    start();
    discovery->Form_Load();
    ASSERT_TRUE(link->AutoDiscoverAwaiting());
    discovery->Form_Unload();
    expectRestored();
    EXPECT_EQ(view.log, QStringList({u"clearGetVolume"_s, u"emptyLists"_s, u"reload"_s}));
    // A tick or a second close afterwards changes nothing.
    discovery->Timer1_Timer();
    discovery->Form_Unload();
    EXPECT_EQ(view.log.count(u"reload"_s), 1);
}

TEST_F(DiscoveryTest, PagingThatCannotLeaveIsToldAtOnce) {
    start(60000, 0); // the kernel sends nothing to port 0
    discovery->Form_Load();
    expectRestored();
    ASSERT_EQ(notifier.messages.size(), 1);
    EXPECT_EQ(notifier.messages.at(0).icon, MessageIcon::Critical);
    EXPECT_TRUE(notifier.messages.at(0).text.contains(u"nms.ini.bak"_s));
    EXPECT_EQ(view.log, QStringList({u"clearGetVolume"_s, u"emptyLists"_s, u"reload"_s, u"close"_s}));
    EXPECT_EQ(fileBytes(database->path() + u".bak"_s), oldDatabase);
}

TEST_F(DiscoveryTest, DatabaseThatCannotBeRecreatedStopsBeforePaging) {
    QFile blocker(dirPath() + u"/not-a-folder"_s);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    database = std::make_unique<ElementDatabase>(blocker.fileName() + u"/nms.ini"_s);
    start();
    discovery->Form_Load();
    expectRestored();
    ASSERT_EQ(notifier.messages.size(), 1);
    EXPECT_EQ(notifier.messages.at(0).icon, MessageIcon::Critical);
    EXPECT_EQ(view.log, QStringList({u"clearGetVolume"_s, u"emptyLists"_s, u"reload"_s, u"close"_s}));
    // Nothing was paged: a datagram sent now is the first the network sees.
    network.sendTo("marker", network.port());
    ASSERT_TRUE(network.waitFor(1));
    EXPECT_EQ(network.received.at(0).data(), "marker");
}

} // namespace
} // namespace ondalink::testing
