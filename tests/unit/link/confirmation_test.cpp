// SPDX-License-Identifier: GPL-3.0-or-later
// The confirmation as a pure function: a decoded report, what the panel shows and the stored
// section's size in; the keys to store, the mismatches and the state to show out.
#include "link/confirmation.h"
#include "link_fixture.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

class ConfirmTest : public ::testing::Test {
protected:
    ConfirmTest() {
        const Report sent{.tail = decoderTail(10, 12, 1, 0, 250)};
        EXPECT_EQ(decodeReport(sent.bytes(), report), ReportCheck::Ok);
        report.record.mac = kSelectedMac;
        std::tie(shown.mac, shown.role, shown.name, shown.ip, shown.mask, shown.gw, shown.remote) =
            std::tuple(kSelectedMac, ElementRole::Decoder, u"Dec One"_s, u"192.168.1.10"_s,
                       u"255.255.255.0"_s, u"192.168.1.1"_s, u"192.168.1.20"_s);
        std::tie(shown.input, shown.type, shown.tx) = std::tuple(1, 0, 1);
    }
    QStringList keys(const Confirmation &c) const {
        QStringList out;
        for (const auto &[key, value] : c.keys)
            out.append(key + u'=' + value);
        return out;
    }

    ElementReport report;
    ConfigurationWrite shown;
};

TEST_F(ConfirmTest, AMatchingReportStoresThePanelsValuesAndTheClampedSettings) {
    shown.name = u" dec one "_s; // equal once trimmed and upper-cased: stored as the panel has it
    const Confirmation c = confirm(report, shown, 3);
    EXPECT_EQ(std::tuple(c.refusal, c.mismatches, c.failed),
              std::tuple(Confirmation::Refusal::None, QList<PhraseId>(), false));
    EXPECT_EQ(keys(c), (QStringList{u"name= DEC ONE        "_s, u"ip=192.168.1.10"_s, u"mask=255.255.255.0"_s,
                                    u"gw=192.168.1.1"_s, u"remote=192.168.1.20"_s, u"input=1"_s, u"type=0"_s,
                                    u"tx=1"_s, u"role=2"_s, u"sn=256"_s, u"ver=3.4"_s, u"att=14"_s,
                                    u"buf=8"_s, u"sdm=1"_s, u"sdl=1"_s, u"sdt=220"_s}))
        << "no sfn: only a discovery stores it";
    EXPECT_EQ(c.state, (ConfirmedState{2, 256, 3.4, 8, 14, 1, 1, 220}));
}

TEST_F(ConfirmTest, SettingsAReportDoesNotCarryAreNeitherStoredNorShown) {
    ASSERT_EQ(decodeReport(Report{.role = 1}.bytes(), report), ReportCheck::Ok); // 40 bytes
    report.record.mac = kSelectedMac;
    const Confirmation c = confirm(report, shown, 0);
    EXPECT_EQ(keys(c).mid(8), (QStringList{u"role=1"_s, u"sn=256"_s, u"ver=2"_s, u"buf=0"_s}));
    EXPECT_EQ(std::tuple(c.state.att, c.state.sdm, c.state.sdl, c.state.sdt),
              std::tuple(std::nullopt, std::nullopt, std::nullopt, std::nullopt));
}

TEST_F(ConfirmTest, EveryMismatchIsNamedInTheFixedOrderAndItsKeyIsNotStored) {
    shown.tx = 0;
    shown.ip = u"192.168.1.99"_s;
    shown.name = u"other"_s;
    const Confirmation c = confirm(report, shown, 0);
    EXPECT_EQ(c.mismatches, (QList<PhraseId>{PhraseId::ElementName, PhraseId::ElementIp, PhraseId::AudioTx}));
    EXPECT_TRUE(c.failed);
    const QStringList stored = keys(c);
    EXPECT_EQ(stored.filter(QRegularExpression(u"^(name|ip|tx)="_s)), QStringList());
    EXPECT_EQ(stored.size(), 13) << "the rest is still stored";
}

TEST_F(ConfirmTest, AddressesAreComparedAsTheirFourNumbersAndStoredInPlainForm) {
    const QList<PhraseId> none, ip{PhraseId::ElementIp};
    const std::tuple<QString, QList<PhraseId>, QString> rows[] = {
        // typed, mismatches, ip stored
        {u"192.168.1.10"_s, none, u"192.168.1.10"_s},    // plain: kept as typed
        {u"192.168.001.010"_s, none, u"192.168.1.10"_s}, // leading zeros are still decimal
        {u" 192.168.1.10"_s, none, u"192.168.1.10"_s},   // blanks around a part
        {u"192 . 168 . 1 . 10 "_s, none, u"192.168.1.10"_s},
        {u"192.168.1.100"_s, ip, u""_s}, // another address
        {u"192.168.01.1O"_s, ip, u""_s}, // not an address: compared as text
    };
    for (const auto &[typed, mismatches, stored] : rows) {
        shown.ip = typed;
        const Confirmation c = confirm(report, shown, 0);
        EXPECT_EQ(c.mismatches, mismatches) << qPrintable(typed);
        EXPECT_EQ(keys(c).filter(QRegularExpression(u"^ip="_s)).join(u','),
                  stored.isEmpty() ? u""_s : u"ip="_s + stored)
            << qPrintable(typed);
    }
    // Mask, gateway and remote address the same way, each under its own caption.
    std::tie(shown.mask, shown.gw, shown.remote) =
        std::tuple(u"255.255.255.000"_s, u" 192.168.1.1 "_s, u"192.168.1.020"_s);
    shown.ip = u"192.168.1.10"_s;
    Confirmation c = confirm(report, shown, 0);
    EXPECT_EQ(std::tuple(c.mismatches, keys(c).mid(1, 4)),
              std::tuple(QList<PhraseId>(), QStringList{u"ip=192.168.1.10"_s, u"mask=255.255.255.0"_s,
                                                        u"gw=192.168.1.1"_s, u"remote=192.168.1.20"_s}));
    std::tie(shown.mask, shown.gw, shown.remote) =
        std::tuple(u"255.255.0.0"_s, u"192.168.1.2"_s, u"192.168.1.21"_s);
    c = confirm(report, shown, 0);
    EXPECT_EQ(c.mismatches,
              (QList<PhraseId>{PhraseId::ElementMask, PhraseId::ElementGw, PhraseId::RemoteIp}));
}

TEST_F(ConfirmTest, UnknownRoleFailsWithoutAMismatchOfItsOwn) {
    report.record.role = 0;
    const Confirmation c = confirm(report, shown, 0);
    EXPECT_EQ(std::tuple(c.mismatches.isEmpty(), c.failed, c.state.role), std::tuple(true, true, 0));
}

TEST_F(ConfirmTest, RefusedWhenNotFromTheSelectedElementOrTheSectionIsNotOurs) {
    const std::tuple<QString, int, Confirmation::Refusal> rows[] = {
        {u""_s, 0, Confirmation::Refusal::OtherElement},                  // nothing selected
        {u"00:a0:c9:00:00:01"_s, 0, Confirmation::Refusal::OtherElement}, // compared exactly
        {u"00:A0:C9:00:00:02"_s, 0, Confirmation::Refusal::OtherElement},
        {kSelectedMac, 17, Confirmation::Refusal::None},
        {kSelectedMac, 18, Confirmation::Refusal::CorruptSection},
    };
    for (const auto &[selected, storedKeys, refusal] : rows) {
        shown.mac = selected;
        const Confirmation c = confirm(report, shown, storedKeys);
        EXPECT_EQ(c.refusal, refusal) << selected.toStdString() << ' ' << storedKeys;
        EXPECT_EQ(c.keys.isEmpty(), refusal != Confirmation::Refusal::None);
    }
}

} // namespace
} // namespace ondalink::testing
