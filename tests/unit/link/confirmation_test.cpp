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
              std::tuple(Confirmation::Refusal::None, QList<ElementKey>(), false));
    EXPECT_EQ(keys(c), (QStringList{u"name= DEC ONE        "_s, u"ip=192.168.1.10"_s, u"mask=255.255.255.0"_s,
                                    u"gw=192.168.1.1"_s, u"remote=192.168.1.20"_s, u"input=1"_s, u"type=0"_s,
                                    u"tx=1"_s, u"role=2"_s, u"sn=256"_s, u"ver=3.4"_s, u"att=14"_s,
                                    u"buf=8"_s, u"sdm=1"_s, u"sdl=1"_s, u"sdt=220"_s}))
        << "no sfn: only a discovery stores it";
    EXPECT_EQ(c.state, (ConfirmedState{2, 256, 3.4, 8, 14, 1, 1, 220, {}}));
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
    std::tie(shown.tx, shown.ip, shown.name, shown.remote, shown.gw, shown.mask) =
        std::tuple(0, u"192.168.1.99"_s, u"other"_s, u"192.168.1.21"_s, u"192.168.1.2"_s, u"255.255.0.0"_s);
    const Confirmation c = confirm(report, shown, 0);
    EXPECT_EQ(c.mismatches, (QList<ElementKey>{ElementKey::Name, ElementKey::Ip, ElementKey::Mask,
                                               ElementKey::Gw, ElementKey::Remote, ElementKey::Tx}));
    EXPECT_EQ(c.state.unconfirmed, c.mismatches) << "the panel keeps them marked as changed";
    EXPECT_TRUE(c.failed);
    EXPECT_EQ(keys(c).filter(QRegularExpression(u"^(name|ip|mask|gw|remote|tx)="_s)), QStringList());
    EXPECT_EQ(keys(c).size(), 10) << "the rest is still stored";
}

TEST_F(ConfirmTest, AddressesAreComparedAsTheirFourNumbersAndStoredInPlainForm) {
    // clang-format off
    const struct { QString ConfigurationWrite::*field; const char *key; QString typed; bool mismatch; QString stored; }
        rows[] = {
        {&ConfigurationWrite::ip, "ip", u"192.168.1.10"_s, false, u"192.168.1.10"_s},    // plain: kept as typed
        {&ConfigurationWrite::ip, "ip", u"192.168.001.010"_s, false, u"192.168.1.10"_s}, // leading zeros: decimal
        {&ConfigurationWrite::ip, "ip", u"192.168.1.100"_s, true, {}}, // another address
        {&ConfigurationWrite::ip, "ip", u"192.168.01.1O"_s, true, {}}, // not an address: compared as text
        {&ConfigurationWrite::mask, "mask", u"255.255.255.000"_s, false, u"255.255.255.0"_s},
        {&ConfigurationWrite::gw, "gw", u" 192.168.1.1 "_s, false, u"192.168.1.1"_s},
        {&ConfigurationWrite::remote, "remote", u"192.168.1.020"_s, false, u"192.168.1.20"_s},
    };
    // clang-format on
    const ConfigurationWrite good = shown;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.key + (u' ' + row.typed).toStdString());
        shown = good;
        shown.*row.field = row.typed;
        const Confirmation c = confirm(report, shown, 0);
        EXPECT_EQ(c.mismatches.size(), row.mismatch ? 1 : 0);
        const QStringList stored =
            keys(c).filter(QRegularExpression(u"^"_s + QLatin1StringView(row.key) + u'='));
        EXPECT_EQ(stored,
                  row.mismatch ? QStringList() : QStringList{QLatin1StringView(row.key) + u'=' + row.stored});
    }
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
