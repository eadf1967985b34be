// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/configuration_write.h"
#include "link_fixture.h"
#include "model/pending_edits.h"

#include <QFile>

#include <map>

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

class SaveTest : public LinkTest {
protected:
    void SetUp() override {
        settings.elementPort = element.port();
        makeLink();
        selectElementStoredAt(u"127.0.0.1"_s);
        // An encoder panel as loaded, then edited: the typed address differs from the stored one.
        std::tie(panel.role, panel.name, panel.ip, panel.mask, panel.gw, panel.remote) =
            std::tuple(ElementRole::Encoder, u"abc"_s, u"10.0.0.1"_s, u"255.255.255.0"_s, u"10.0.0.254"_s,
                       u"10.0.0.2"_s);
        std::tie(panel.input, panel.type, panel.tx) = std::tuple(1, 0, 1);
    }
    // The operator presses Save and answers the confirmation; the datagram that left, if any.
    std::optional<QByteArray> save(Answer answer = Answer::Yes) {
        peer->responseTimer().stop();
        notifier.answers = {answer};
        link->saveConfiguration();
        if (!peer->responseTimer().isActive())
            return std::nullopt;
        return element.next().data();
    }

    Peer element;
};

TEST_F(SaveTest, PanelIsPackedAndSentToTheStoredAddressOnTheElementPort) {
    const QByteArray common = bytesOf({10, 0, 0, 1, 255, 255, 255, 0, 10, 0, 0, 254, 10, 0, 0, 2, 1, 0, 1});
    EXPECT_EQ(save(), common + "ABC             ");
    EXPECT_EQ(notifier.messages, QList<Message>{MessageId::SendConfirm});
    panel.role = ElementRole::Decoder;
    panel.name = u"twenty characters ab"_s;
    std::tie(panel.sfn, panel.buf, panel.sdm, panel.sdl, panel.sdt) = std::tuple(true, 8, 2, 154, 220);
    EXPECT_EQ(save(), common + "TWENTY CHARACTER" + bytesOf({1, 8, 2, 154, 220}));
    peer->responseTimer().setInterval(1); // no element answers
    ASSERT_TRUE(QTest::qWaitFor([&] { return notifier.messages.size() == 3; }));
    EXPECT_EQ(notifier.messages.last(), Message(MessageId::ResponseTimedOut));

    EXPECT_FALSE(save(Answer::No));
    EXPECT_FALSE(element.socket.hasPendingDatagrams());
}

TEST_F(SaveTest, ChecksRunInOrderAndOnlyTheFirstFailureIsShown) {
    const PhraseId audio = PhraseId::AudioFieldsWrong;
    const PhraseId address = PhraseId::IpFieldsWrong;
    ConfigurationWrite &p = panel;
    const std::pair<std::function<void()>, PhraseId> rows[] = {
        // a change to a good panel, the reason
        {[&] { p.mac.clear(), p.input = p.type = p.tx = -1, p.name.clear(); }, PhraseId::NoSelection},
        {[&] { p.tx = -1, p.name.clear(); }, audio},
        {[&] { p.input = -1; }, audio},
        {[&] { p.role = ElementRole::Decoder, p.sdm = -1; }, audio}, // no byte to carry it
        {[&] { p.name.clear(), p.ip = u"10.0.0.300"_s; }, PhraseId::NameFieldWrong},
        {[&] { p.mask = u"255.255.255.256"_s; }, address},
        {[&] { p.remote = u""_s; }, address}, // also when the encoder hides it
        {[&] { QFile::remove(database.path()); }, PhraseId::DatabaseCorrupted},
    };
    const ConfigurationWrite good = panel;
    for (const auto &[change, reason] : rows) {
        panel = good;
        change();
        notifier.messages.clear();
        EXPECT_FALSE(save());
        EXPECT_EQ(notifier.messages, QList<Message>{Message(MessageId::SaveRefused, {phrase(reason)})});
    }
    EXPECT_FALSE(element.socket.hasPendingDatagrams());
}

// What the panel counts as pending is what the datagram carries: each editable field changed alone
// changes the bytes exactly when PendingEdits weighs it for that role.
TEST(ConfigurationWriteFields, TheFieldsPendingForARoleAreTheOnesItsDatagramCarries) {
    ConfigurationWrite base;
    std::tie(base.mac, base.name, base.ip, base.mask, base.gw, base.remote) = std::tuple(
        u"00:A0:C9:00:00:01"_s, u"a"_s, u"10.0.0.1"_s, u"255.0.0.0"_s, u"10.0.0.2"_s, u"10.0.0.3"_s);
    base.input = base.type = base.tx = base.sdm = 0;
    using K = ElementKey;
    using W = ConfigurationWrite;
    // clang-format off
    const std::map<ElementKey, std::function<void(W &)>> changes{
        {K::Name, [](W &w) { w.name = u"b"_s; }}, {K::Ip, [](W &w) { w.ip = u"10.0.0.9"_s; }},
        {K::Mask, [](W &w) { w.mask = u"255.255.0.0"_s; }}, {K::Gw, [](W &w) { w.gw = u"10.0.0.9"_s; }},
        {K::Remote, [](W &w) { w.remote = u"10.0.0.9"_s; }}, {K::Input, [](W &w) { w.input = 1; }},
        {K::Type, [](W &w) { w.type = 1; }}, {K::Tx, [](W &w) { w.tx = 1; }}, {K::Sfn, [](W &w) { w.sfn = true; }},
        {K::Buf, [](W &w) { w.buf = 1; }}, {K::Sdm, [](W &w) { w.sdm = 1; }}, {K::Sdl, [](W &w) { w.sdl = 2; }},
        {K::Sdt, [](W &w) { w.sdt = 2; }}};
    // clang-format on
    for (const ElementRole role : {ElementRole::Encoder, ElementRole::Decoder}) {
        base.role = role;
        for (const ElementKey key : kEditableKeys) {
            ConfigurationWrite changed = base;
            changes.at(key)(changed);
            const bool pending = PendingEdits::carried(role).contains(key);
            EXPECT_EQ(packConfigurationWrite(changed) != packConfigurationWrite(base), pending)
                << keyName(key).toStdString() << " of role " << int(role);
            EXPECT_FALSE(PendingEdits::same(key, base, changed)) << keyName(key).toStdString();
        }
    }
}

} // namespace
} // namespace ondalink::testing
