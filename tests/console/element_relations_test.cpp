// SPDX-License-Identifier: GPL-3.0-or-later
// Relations the panel shows: the listed element at an encoder's Remote IP, and what "Bounded to" is.
#include "console_fixture.h"

#include <QLocale>

namespace ondalink::testing {
namespace {

class ElementRelations : public ConsoleTest {};

TEST_F(ElementRelations, AnEncodersRemoteAddressNamesTheListedElementsThereAsTheLastLoadListedThem) {
    const QString unnamedKey = u"00A0C9000003"_s;
    const auto database = [&](const QString &decoderName) {
        return iniText({{kDecoderKey, with(decoderKeys(), u"NAME="_s + decoderName + u";IP=10.0.0.21"_s)},
                        {kEncoderKey, encoderKeys()}, // REMOTE=10.0.0.21
                        {unnamedKey, with(decoderKeys(), u"NAME=                ;IP=10.0.0.30"_s)}});
    };
    writeIni(database(u"DEC 1           "_s));
    ASSERT_TRUE(start());
    auto *remote = find<QLineEdit>(u"txtRemoteIP"_s);
    auto *relation = find<QLabel>(u"lblRemoteElement"_s);
    auto *tx = find<QComboBox>(u"cmbAudioTX"_s);
    auto *nextField = find<QLineEdit>(u"txtVLAN_OM"_s);
    clickNode(kEncoderMac);
    EXPECT_EQ(relation->text(), u"Address of DEC 1"_s);
    QTest::qWait(20); // laid out
    const int nextFieldAt = nextField->y();
    EXPECT_EQ(relation->toolTip(), relation->text()) << "whole where it fits, elided where not";
    EXPECT_EQ(remote->accessibleDescription(), relation->text());

    const struct {
        const char *step;
        std::function<void()> act;
        QString shown;
    } steps[] = {
        {"the same address written with leading zeros", [&] { remote->setText(u"010.000.000.021"_s); },
         u"Address of DEC 1"_s},
        {"an element without a name is named by its MAC", [&] { remote->setText(u"10.0.0.30"_s); },
         u"Address of 00:A0:C9:00:00:03"_s},
        {"no element there", [&] { remote->setText(u"10.0.0.99"_s); }, QString()},
        {"no address yet", [&] { remote->setText(u"10.0.0."_s); }, QString()},
        {"multicast hides the field",
         [&] {
             remote->setText(u"10.0.0.21"_s);
             tx->setCurrentIndex(1);
         },
         QString()},
        {"unicast shows it again", [&] { tx->setCurrentIndex(0); }, u"Address of DEC 1"_s},
        // The file is read by a load of the list, never by a keystroke.
        {"a name changed in the file, not loaded yet",
         [&] {
             writeIni(database(u"STUDIO B        "_s));
             remote->setText(u"10.0.0.2"_s);
             remote->setText(u"10.0.0.21"_s);
         },
         u"Address of DEC 1"_s},
        {"loaded", [&] { window->Load_Config(); }, u"Address of STUDIO B"_s},
        {"two elements at the address, in file order",
         [&] {
             writeIni(database(u"DEC 1           "_s).replace("10.0.0.30", "10.0.0.21"));
             window->Load_Config();
         },
         u"Address of "_s + QLocale().createSeparatedList({u"DEC 1"_s, u"00:A0:C9:00:00:03"_s})},
        {"a decoder has no remote address", [&] { clickNode(kDecoderMac); }, QString()},
    };
    for (const auto &step : steps) {
        step.act();
        EXPECT_EQ(relation->toolTip(), step.shown) << step.step;
        EXPECT_EQ(relation->text().isEmpty(), step.shown.isEmpty()) << step.step;
    }
    // An invalid address keeps what the panel says of it.
    clickNode(kEncoderMac);
    remote->setText(u"10.0.0.21x"_s);
    EXPECT_EQ(remote->accessibleDescription(), u"Not a valid IPv4 address"_s);
    QTest::qWait(20);
    EXPECT_EQ(nextField->y(), nextFieldAt) << "the form holds still whether the row says something or not";

    // "Bounded to" says what it is, to the mouse and to a screen reader.
    auto *bound = find<QComboBox>(u"cmbEncoders"_s);
    EXPECT_TRUE(bound->toolTip().contains(u"neither sent"_s)) << qPrintable(bound->toolTip());
    EXPECT_EQ(bound->accessibleDescription(), bound->toolTip());
}

} // namespace
} // namespace ondalink::testing
