// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/configuration_write.h"
#include "link_fixture.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

class ConfigurationWriteTest : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        LinkSettings settings = loopbackSettings();
        settings.elementPort = element.port();
        settings.controlPort = element.port() == 65535 ? 1 : element.port() + 1; // never used here
        makeLink(settings);
        selectElementStoredAt(u"127.0.0.1"_s);
        // An encoder panel as loaded, then edited: the typed address differs from the stored one.
        panel.type = u"ENCODER"_s;
        panel.name = u"abc"_s;
        panel.ip = u"10.0.0.1"_s;
        panel.mask = u"255.255.255.0"_s;
        panel.gw = u"10.0.0.254"_s;
        panel.remote = u"10.0.0.2"_s;
        panel.input = 1;
        panel.audioType = 0;
        panel.tx = 1;
    }

    // The operator presses Save and answers the confirmation; the datagram that left, if any.
    std::optional<QByteArray> save(Answer answer = Answer::Yes) {
        notifier.answers = {answer};
        SaveChanges(*link);
        if (!link->timerRemoteSent().isActive())
            return std::nullopt;
        if (!element.waitFor(1))
            return std::nullopt;
        return element.received.takeFirst().data();
    }

    LoopbackPeer element;
};

const QByteArray kEncoderCommon =
    bytes({10, 0, 0, 1, 255, 255, 255, 0, 10, 0, 0, 254, 10, 0, 0, 2, 1, 0, 1}) +
    QByteArray("ABC             ");

TEST_F(ConfigurationWriteTest, EncoderPanelGives35BytesToTheStoredAddressOnTheElementPort) {
    const auto sent = save();
    ASSERT_TRUE(sent);
    EXPECT_EQ(*sent, kEncoderCommon);
    EXPECT_EQ(sent->size(), 35);
    ASSERT_EQ(notifier.messages.size(), 1); // the confirmation only
    EXPECT_EQ(notifier.messages.at(0),
              question(u"This configuration will be sent to selected Network Element and\r"
                       u"will also be saved to local database in your computer. \r"
                       u"Are you sure?"_s,
                       u"Send configuration"_s));
    EXPECT_EQ(link->endpoint().remotePort(), element.port());
    EXPECT_EQ(link->endpoint().remoteHost(), u"127.0.0.1"_s);
}

TEST_F(ConfigurationWriteTest, DecoderPanelAddsItsFiveBytesEvenFromDisabledControls) {
    panel.type = u"DECODER"_s;
    const struct {
        bool sfn;
        int buf, sdm, sdl, sdt;
        QByteArray tail;
    } rows[] = {
        {true, 8, 2, 154, 220, bytes({1, 8, 2, 154, 220})},
        {false, 0, 0, 1, 1, bytes({0, 0, 0, 1, 1})},
        {false, 3, 1, 37, 43, bytes({0, 3, 1, 37, 43})},
    };
    for (const auto &row : rows) {
        panel.sfn = row.sfn;
        panel.buf = row.buf;
        panel.sdm = row.sdm;
        panel.sdl = row.sdl;
        panel.sdt = row.sdt;
        const auto sent = save();
        ASSERT_TRUE(sent);
        EXPECT_EQ(*sent, kEncoderCommon + row.tail);
    }
}

TEST_F(ConfigurationWriteTest, NameIsPaddedOrCutToSixteenUpperCaseBytes) {
    const struct {
        QString typed;
        QByteArray wire;
    } rows[] = {
        {u"abc"_s, "ABC             "},
        {u"twenty characters ab"_s, "TWENTY CHARACTER"},
        {u" x "_s, " X              "},
        {u"Studio \u00e9"_s, "STUDIO \xc9        "}, // one byte per character
    };
    for (const auto &row : rows) {
        panel.name = row.typed;
        const auto sent = save();
        ASSERT_TRUE(sent);
        EXPECT_EQ(sent->mid(19, 16), row.wire) << row.typed.toStdString();
    }
}

TEST_F(ConfigurationWriteTest, ChecksRunInOrderAndOnlyTheFirstFailureIsShown) {
    const QString audio = u"Please verify that all audio fields are correct!"_s;
    const QString address = u"Please verify that all IP fields are correct!"_s;
    FakePanel &p = panel;
    const struct {
        std::function<void()> change;
        QString reason;
    } rows[] = {
        // A cleared panel: nothing selected and no audio selection; the selection is reported.
        {[&] { p.mac = u"-"_s, p.input = p.audioType = p.tx = -1, p.name.clear(); },
         u"No Network Element selected!"_s},
        {[&] { p.tx = -1, p.name.clear(); }, audio},
        {[&] { p.input = -1; }, audio},
        {[&] { p.audioType = -1; }, audio},
        // A decoder whose silence-detector mode has no selection has no byte to carry it.
        {[&] { p.type = u"DECODER"_s, p.sdm = -1; }, audio},
        {[&] { p.name.clear(), p.ip = u"10.0.0.300"_s; }, u"Please verify that the name field is correct!"_s},
        {[&] { p.ip = u"10.0.0"_s; }, address},
        {[&] { p.mask = u"255.255.255.256"_s; }, address},
        {[&] { p.gw = u"a.b.c.d"_s; }, address},
        {[&] { p.remote = u""_s; }, address}, // also when the encoder hides it
        {[&] { QFile::remove(database->path()); }, u"The local database in your computer, is corrupted!"_s},
    };
    const FakePanel good = panel;
    for (const auto &row : rows) {
        panel = good;
        row.change();
        notifier.messages.clear();
        EXPECT_FALSE(save()) << row.reason.toStdString();
        ASSERT_EQ(notifier.messages.size(), 1);
        EXPECT_EQ(notifier.messages.at(0), critical(row.reason + u"\rCannot save."_s, u"Error!"_s));
    }
    EXPECT_TRUE(element.received.isEmpty());
}

TEST_F(ConfigurationWriteTest, NoToTheConfirmationSendsNothing) {
    EXPECT_FALSE(save(Answer::No));
    EXPECT_EQ(notifier.messages.size(), 1);
    EXPECT_FALSE(link->timerRemoteSent().isActive());
    EXPECT_TRUE(element.received.isEmpty());
    EXPECT_FALSE(element.socket.hasPendingDatagrams());
}

TEST_F(ConfigurationWriteTest, UnusableStoredAddressIsToldAndStartsNoTimer) {
    ASSERT_TRUE(database->write(kSelectedKey, u"ip"_s, u""_s));
    notifier.answers = {Answer::Yes};
    SaveChanges(*link);
    ASSERT_EQ(notifier.messages.size(), 2);
    const Message &failure = notifier.messages.at(1);
    EXPECT_EQ(failure.icon, MessageIcon::Critical);
    EXPECT_TRUE(failure.text.endsWith(u"\rCannot save."_s));
    EXPECT_FALSE(failure.text.contains(u"occupied"_s));
    // No time-out message follows a write that never left.
    EXPECT_FALSE(link->timerRemoteSent().isActive());
}

} // namespace
} // namespace ondalink::testing
