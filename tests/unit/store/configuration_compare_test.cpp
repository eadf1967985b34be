// SPDX-License-Identifier: GPL-3.0-or-later
// Comparing an element's stored settings with what it reports: what counts as the same setting,
// and which keys are compared at all.
#include "store/configuration_compare.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

// A decoder's section as a discovery stores it.
KeyValues decoderSection() {
    return {{u"name"_s, u"DEC 1           "_s},
            {u"ip"_s, u"10.0.0.5"_s},
            {u"mask"_s, u"255.255.255.0"_s},
            {u"gw"_s, u"10.0.0.1"_s},
            {u"remote"_s, u"10.0.0.9"_s},
            {u"input"_s, u"1"_s},
            {u"type"_s, u"0"_s},
            {u"tx"_s, u"1"_s},
            {u"role"_s, u"2"_s},
            {u"sn"_s, u"256"_s},
            {u"ver"_s, u"3.4"_s},
            {u"sfn"_s, u"0"_s},
            {u"buf"_s, u"4"_s},
            {u"att"_s, u"200"_s},
            {u"sdm"_s, u"1"_s},
            {u"sdl"_s, u"37"_s},
            {u"sdt"_s, u"43"_s}};
}

KeyValues with(KeyValues values, const QString &key, const QString &value) {
    for (auto &[name, text] : values) {
        if (name == key)
            text = value;
    }
    return values;
}

KeyValues without(KeyValues values, const QString &key) {
    values.removeIf([&](const auto &kv) { return kv.first == key; });
    return values;
}

// Each setting on its own: a change of it, and only of it, is found, named as each side holds it.
TEST(ConfigurationCompare, EverySettingIsComparedOnItsOwn) {
    const KeyValues stored = decoderSection();
    const std::vector<std::pair<ElementKey, QString>> changed{
        {ElementKey::Name, u"DEC 9"_s},
        {ElementKey::Ip, u"10.0.0.6"_s},
        {ElementKey::Mask, u"255.255.0.0"_s},
        {ElementKey::Gw, u"10.0.0.254"_s},
        {ElementKey::Remote, u"10.0.0.8"_s},
        {ElementKey::Input, u"0"_s},
        {ElementKey::Type, u"1"_s},
        {ElementKey::Tx, u"0"_s},
        {ElementKey::Role, u"1"_s},
        {ElementKey::Sfn, u"1"_s},
        {ElementKey::Buf, u"7"_s},
        {ElementKey::Att, u"14"_s},
        {ElementKey::Sdm, u"2"_s},
        {ElementKey::Sdl, u"100"_s},
        {ElementKey::Sdt, u"1"_s},
    };
    for (const auto &[key, value] : changed) {
        SCOPED_TRACE(keyName(key).toStdString());
        const QList<FieldChange> changes = configurationChanges(stored, with(stored, keyName(key), value));
        ASSERT_EQ(changes.size(), 1);
        EXPECT_EQ(changes.front().key, key);
        EXPECT_EQ(changes.front().after, value);
        EXPECT_FALSE(changes.front().before.isEmpty());
    }
    EXPECT_TRUE(configurationChanges(stored, stored).isEmpty());
    // The unit's serial and firmware are not its settings.
    EXPECT_TRUE(
        configurationChanges(stored, with(with(stored, u"sn"_s, u"999"_s), u"ver"_s, u"4.1"_s)).isEmpty());
    // Several at once, in key order, whatever order the report's keys come in.
    KeyValues reordered = with(with(stored, u"sdt"_s, u"9"_s), u"name"_s, u"X"_s);
    std::reverse(reordered.begin(), reordered.end());
    const QList<FieldChange> both = configurationChanges(stored, reordered);
    ASSERT_EQ(both.size(), 2);
    EXPECT_EQ(both.at(0).key, ElementKey::Name);
    EXPECT_EQ(both.at(1).key, ElementKey::Sdt);
    EXPECT_EQ(both.at(0).before, u"DEC 1"_s) << "a name is named without its padding";
}

TEST(ConfigurationCompare, TheSameSettingWrittenAnotherWayIsNoChange) {
    const KeyValues stored =
        with(with(with(decoderSection(), u"ip"_s, u"010.000.000.005"_s), u"buf"_s, u" 04"_s), u"name"_s,
             u"dec 1"_s);
    EXPECT_TRUE(configurationChanges(stored, decoderSection()).isEmpty());
    EXPECT_TRUE(sameSetting(ElementKey::Gw, u" 10.0.0.1"_s, u"10.000.0.001"_s));
    EXPECT_FALSE(sameSetting(ElementKey::Gw, u"10.0.0.1"_s, u"10.0.0.10"_s));
    // 010 is ten, not eight.
    EXPECT_FALSE(sameSetting(ElementKey::Ip, u"010.0.0.1"_s, u"8.0.0.1"_s));
    // Texts that are no address or number compare as they are.
    EXPECT_FALSE(sameSetting(ElementKey::Remote, u"none"_s, u"10.0.0.1"_s));
    EXPECT_TRUE(sameSetting(ElementKey::Remote, u"none"_s, u"none "_s));
    EXPECT_FALSE(sameSetting(ElementKey::Sdm, u"x"_s, u"1"_s));
}

// An encoder's report has no decoder settings: those its section still holds are not compared. A
// decoder setting the section lacks is compared with what loading would show.
TEST(ConfigurationCompare, DecoderSettingsCountOnlyWhereTheReportCarriesThem) {
    const KeyValues encoderSection = with(decoderSection(), u"role"_s, u"1"_s);
    KeyValues encoderReport = encoderSection;
    for (const char *key : {"att", "sdm", "sdl", "sdt"})
        encoderReport = without(encoderReport, QString::fromLatin1(key));
    EXPECT_TRUE(configurationChanges(with(encoderSection, u"sdm"_s, u"2"_s), encoderReport).isEmpty());

    const KeyValues bare = without(without(decoderSection(), u"sdl"_s), u"att"_s);
    // sdl's load default is 37, att's 0.
    const QList<FieldChange> changes = configurationChanges(bare, decoderSection());
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes.front(), (FieldChange{ElementKey::Att, u"0"_s, u"200"_s}));
}

TEST(ConfigurationCompare, ChangesReadAsStoredToReported) {
    const QList<FieldChange> changes{{ElementKey::Name, u"ENC 1"_s, u"ENC 9"_s},
                                     {ElementKey::Input, u"0"_s, u"1"_s}};
    EXPECT_EQ(describeChanges(changes), u"Name: ENC 1 → ENC 9; Audio input: 0 → 1"_s);
    for (const ElementKeySchema &k : elementKeySchema())
        EXPECT_NE(settingLabel(k.key), keyName(k.key)) << "every field has a label of its own";
}

} // namespace
} // namespace ondalink
