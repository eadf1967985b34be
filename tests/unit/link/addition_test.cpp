// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/discovery.h"
#include "link/element_addition.h"
#include "link_fixture.h"
#include "store/atomic_file.h"
#include "store/profile_file.h"

#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

const QString kLoopback = u"127.0.0.1"_s;

// A report as the element at 127.0.0.1 sends it: its own address in the first four bytes.
QByteArray reportFromLoopback(const Report &report = {}) {
    QByteArray bytes = report.bytes();
    bytes.replace(0, 4, bytesOf({127, 0, 0, 1}));
    return bytes;
}

quint32 loopbackKey() {
    return parseDottedAddress(kLoopback)->toNetworkOrder();
}

class AdditionTest : public LinkTest {
protected:
    void SetUp() override {
        settings.pagingPort = element.port();
        makeLink();
        addition = std::make_unique<ElementAddition>(*link);
        QObject::connect(addition.get(), &ElementAddition::finished, link.get(),
                         [this](ElementAddition::Outcome o, const QString &key) {
                             outcomes.append({o, key});
                         });
    }
    // The element answers the paging request it received, from its port, with that report.
    void answer(const QByteArray &report) {
        const QNetworkDatagram request = element.next();
        ASSERT_EQ(std::tuple(request.data(), request.senderPort()),
                  std::tuple(QByteArray("LINKWAVE KORVALEN PAGING REQUEST"), peer->endpoint().localPort()));
        element.sendTo(report, peer->endpoint().localPort());
    }
    bool ended() {
        return QTest::qWaitFor([&] { return !outcomes.isEmpty(); }, 10000);
    }

    Peer element;
    std::unique_ptr<ElementAddition> addition;
    QList<std::pair<ElementAddition::Outcome, QString>> outcomes;
};

// Behind a router: no ARP is tried, the MAC typed names the section, which replaces the old one of that
// MAC in its place; every other section stays as it was.
TEST_F(AdditionTest, ARoutedElementIsStoredUnderTheMacTyped) {
    ASSERT_TRUE(database.writeSections({{u"00A0C9000005"_s, {{u"name"_s, u"OTHER"_s}}},
                                        {u"00A0C9000007"_s, {{u"name"_s, u"OLD"_s}, {u"bound"_s, u"3"_s}}},
                                        {u"00A0C9000009"_s, {{u"name"_s, u"LAST"_s}}}}));
    resolver.unreachable.insert(loopbackKey());
    ASSERT_TRUE(addition->start(u" 127.000.0.1 "_s, u"00-a0-c9-00-00-07"_s));
    answer(reportFromLoopback({.tail = decoderTail()}));
    ASSERT_TRUE(ended());
    EXPECT_EQ(outcomes.front(), std::pair(ElementAddition::Outcome::Added, u"00A0C9000007"_s));
    EXPECT_EQ(resolver.attempts, 0);
    EXPECT_EQ(LoadIniSectionsArray(database.path()),
              QStringList({u"00A0C9000005"_s, u"00A0C9000007"_s, u"00A0C9000009"_s}));
    EXPECT_EQ(std::tuple(database.keyCount(u"00A0C9000007"_s), stored(u"ip"_s, u"00A0C9000007"_s)),
              std::tuple(17, kLoopback))
        << "the old bound is gone";
    EXPECT_EQ(notifier.messages, QList<Message>());
    EXPECT_FALSE(link->isAdding());
}

// On a local network ARP names the element even when another MAC was typed.
TEST_F(AdditionTest, ALocalElementIsStoredUnderTheMacArpFinds) {
    resolver.table.insert(loopbackKey(), QByteArray::fromHex("00a0c9000003"));
    ASSERT_TRUE(addition->start(kLoopback, u"00a0c9000004"_s));
    answer(reportFromLoopback({.role = 1}));
    ASSERT_TRUE(ended());
    EXPECT_EQ(outcomes.front(), std::pair(ElementAddition::Outcome::Added, u"00A0C9000003"_s));
    EXPECT_EQ(database.keyCount(u"00A0C9000003"_s), 13);
}

class ShortWait : public AdditionTest {
protected:
    void SetUp() override {
        settings.additionWaitMs = 100;
        AdditionTest::SetUp();
    }
};

TEST_F(ShortWait, NoAnswerWithinTheWaitNamesTheAddressAndPort) {
    ASSERT_TRUE(addition->start(kLoopback, {}));
    ASSERT_TRUE(ended());
    EXPECT_EQ(outcomes.front().first, ElementAddition::Outcome::NoAnswer);
    EXPECT_EQ(notifier.messages,
              QList<Message>({Message(MessageId::AdditionNoAnswer,
                                      {kLoopback, QString::number(element.port()), u"0.1"_s})}));
    EXPECT_FALSE(database.exists());
    // A late answer is an ordinary report now: it stores nothing.
    element.sendTo(reportFromLoopback(), peer->endpoint().localPort());
    QTest::qWait(100);
    EXPECT_FALSE(database.exists());
}

struct BadEntry {
    const char *name;
    QString address;
    QString mac;
    MessageId refusal;       // its parameter is the text refused
    bool offNetwork = false; // no ARP answers for the address
};

class AdditionEntry : public AdditionTest, public ::testing::WithParamInterface<BadEntry> {};

INSTANTIATE_TEST_SUITE_P(
    Refused, AdditionEntry,
    ::testing::Values(
        BadEntry{"Broadcast", u"255.255.255.255"_s, {}, MessageId::AdditionAddressInvalid},
        BadEntry{"Multicast", u"239.1.1.1"_s, {}, MessageId::AdditionAddressInvalid},
        BadEntry{"Zero", u"0.0.0.0"_s, {}, MessageId::AdditionAddressInvalid},
        BadEntry{"ShortMac", kLoopback, u"00:11:22"_s, MessageId::AdditionMacInvalid},
        BadEntry{"MixedSeparators", kLoopback, u"00:11-22:33:44:55"_s, MessageId::AdditionMacInvalid},
        // Off this network only the MAC typed can name the element.
        BadEntry{"OffNetworkWithoutMac", kLoopback, u"  "_s, MessageId::AdditionNeedsMac, true}),
    [](const auto &row) { return std::string(row.param.name); });

TEST_P(AdditionEntry, IsRefusedWithoutPaging) {
    if (GetParam().offNetwork)
        resolver.unreachable.insert(loopbackKey());
    EXPECT_FALSE(addition->start(GetParam().address, GetParam().mac));
    const QString refused =
        GetParam().refusal == MessageId::AdditionMacInvalid ? GetParam().mac : GetParam().address;
    EXPECT_EQ(notifier.messages, QList<Message>({Message(GetParam().refusal, {refused})}));
    EXPECT_FALSE(element.socket.waitForReadyRead(50));
    EXPECT_EQ(outcomes.value(0).first, ElementAddition::Outcome::NotStarted);
    EXPECT_FALSE(link->isAdding());
}

TEST(TypedMac, AcceptsTwelveDigitsAloneOrInPairsWithOneSeparator) {
    EXPECT_EQ(typedMacAddress(u"001a2b3c4d5e"_s), u"00:1A:2B:3C:4D:5E"_s);
    EXPECT_EQ(typedMacAddress(u" 00:1a:2b:3c:4d:5e "_s), u"00:1A:2B:3C:4D:5E"_s);
    EXPECT_EQ(typedMacAddress(u"001A2B3C4D5"_s), QString());
    EXPECT_EQ(typedMacAddress(u"001A2B3C4D5G"_s), QString());
}

// Later reports of a routed element (a configuration write's answer) are its own by the MAC stored for
// its address: no ARP can vouch for them.
TEST_F(AdditionTest, ARoutedElementIsConfirmedByTheMacStoredForItsAddress) {
    resolver.unreachable.insert(loopbackKey());
    selectMatchingElement();
    panel.ip = kLoopback;
    ASSERT_TRUE(database.write(kSelectedKey, u"ip"_s, kLoopback));
    ASSERT_TRUE(handle(reportFromLoopback({.tail = decoderTail()})));
    EXPECT_EQ(notifier.ids(), QList<MessageId>({MessageId::ConfigurationSaved}));
    EXPECT_EQ(resolver.attempts, 0);

    // Two elements stored at that address and neither selected: nobody can tell whose report it is.
    notifier.messages.clear();
    panel.mac = u"-"_s;
    ASSERT_TRUE(database.write(u"00A0C9000002"_s, u"ip"_s, kLoopback));
    ASSERT_TRUE(handle(reportFromLoopback()));
    EXPECT_EQ(notifier.messages,
              QList<Message>({Message(MessageId::ReportFieldCorrupted, {phrase(PhraseId::ElementMac)})}));
}

// Update from network: what answers is stored or updated in place, the others stay, the old file is kept.
TEST_F(AdditionTest, UpdateFromNetworkKeepsEverySectionAndTellsWhichDidNotAnswer) {
    settings.pagingHost = kLoopback;
    ASSERT_TRUE(database.writeSections({{kSelectedKey, {{u"name"_s, u"OLD"_s}, {u"ip"_s, u"10.0.0.9"_s}}},
                                        {u"00A0C9000099"_s, {{u"name"_s, u"SILENT"_s}}}}));
    const QByteArray before = readWholeFile(database.path()).bytes;
    Discovery update(*link, Discovery::Mode::Update);
    QSignalSpy silent(&update, &Discovery::notAnswered);
    notifier.answers = {Answer::Yes};
    ASSERT_TRUE(update.confirm());
    EXPECT_EQ(notifier.ids(), QList<MessageId>({MessageId::UpdateConfirm}));
    update.start();
    EXPECT_EQ(readWholeFile(database.backupPath()).bytes, before);
    element.next();
    element.sendTo(Report{.tail = decoderTail()}.bytes(), peer->endpoint().localPort());
    ASSERT_TRUE(QTest::qWaitFor([&] { return update.storedCount() == 1; }));
    DiscoveryTestPeer(update).wait().setInterval(1);
    ASSERT_TRUE(silent.wait(5000));
    EXPECT_EQ(silent.front().front().toStringList(), QStringList({u"00A0C9000099"_s}));
    EXPECT_EQ(LoadIniSectionsArray(database.path()), QStringList({kSelectedKey, u"00A0C9000099"_s}));
    EXPECT_EQ(stored(u"name"_s), u"DEC ONE         "_s);
    EXPECT_EQ(stored(u"ip"_s), u"192.168.1.10"_s);
    EXPECT_EQ(database.keyCount(kSelectedKey), 17);
    EXPECT_EQ(stored(u"name"_s, u"00A0C9000099"_s), u"SILENT"_s);
}

} // namespace
} // namespace ondalink::testing
