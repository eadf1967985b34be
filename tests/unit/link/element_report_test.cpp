// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/element_report.h"
#include "link_fixture.h"
#include "model/encodings.h"
#include "store/profile_file.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

TEST(ElementReportDecode, TakesFieldsOnlyAsFarAsTheDatagramReaches) {
    const OptionalFields all =
        OptionalField::Att | OptionalField::Sdm | OptionalField::Sdl | OptionalField::Sdt;
    // clang-format off
    const struct { int role; QByteArray tail; double ver; int sfn, buf, att, sdm, sdl, sdt;
                   OptionalFields carried; } rows[] = {
        {1, bytesOf({9}), 2.0, 0, 0, 0, 0, 0, 0, {}}, // half a version is none
        {1, bytesOf({3, 4, 1, 7, 9, 9, 9, 9}), 3.4, 1, 7, 0, 0, 0, 0, {}}, // bytes past 44 ignored
        {0, bytesOf({2, 0, 0, 1, 9, 9, 9, 9}), 2.0, 0, 1, 0, 0, 0, 0, {}}, // any role but 2 is an encoder
        {2, {}, 2.0, 0, 1, 255, 0, 0, 0, OptionalField::Att},
        {2, bytesOf({10, 3, 4, 1, 12}), 3.4, 1, 12, 10, 0, 0, 0, OptionalField::Att},
        {2, bytesOf({10, 3, 41, 1, 12, 2, 200, 250}), 34.1, 1, 12, 10, 2, 200, 250, all},
        // A mode the list does not have is not taken.
        {2, bytesOf({10, 3, 4, 1, 12, 3, 5, 6}), 3.4, 1, 12, 10, 0, 5, 6, all ^ OptionalField::Sdm},
    };
    // clang-format on
    for (const auto &row : rows) {
        const QByteArray datagram = Report{.role = row.role, .tail = row.tail}.bytes();
        SCOPED_TRACE(datagram.toHex().toStdString());
        ElementReport report;
        ASSERT_EQ(decodeReport(datagram, report), ReportCheck::Ok);
        const ElementRecord &r = report.record;
        EXPECT_DOUBLE_EQ(r.ver, row.ver);
        EXPECT_EQ(std::tuple(r.sfn, r.buf, r.att, r.sdm, r.sdl, r.sdt),
                  std::tuple(row.sfn, row.buf, row.att, row.sdm, row.sdl, row.sdt));
        EXPECT_EQ(report.carried, row.carried);
    }
}

Message retrieving(PhraseId field) {
    return {MessageId::ReportFieldCorrupted, {phrase(field)}};
}
const Message kInputMessage = retrieving(PhraseId::AudioInput);

TEST(ElementReportDecode, FirstFailingCheckWinsAndNamesItsField) {
    // clang-format off
    const std::pair<Report, std::optional<PhraseId>> rows[] = { // no field: the report is taken
        {{.input = 2, .type = 2, .tx = 2, .role = 3, .sn = 0}, PhraseId::AudioInput},
        {{.type = 2, .tx = 2, .role = 3, .sn = 0}, PhraseId::AudioType},
        {{.tx = 255, .role = 3, .sn = 0}, PhraseId::TxType},
        {{.role = 3, .sn = 0}, PhraseId::ElementType},
        {{.role = 1, .sn = 0, .tail = bytesOf({255, 255})}, PhraseId::SerialNumber},
        {{.sn = 0x80000000u}, PhraseId::SerialNumber},
        {{.tail = bytesOf({20, 33, 100})}, PhraseId::Version}, // 3310.0 is past what the version holds
        {{.role = 1, .tail = bytesOf({255, 99})}, {}},
        {{.role = 0, .sn = 0x7FFFFFFFu}, {}}};
    // clang-format on
    ElementReport report;
    for (const auto &[in, field] : rows) {
        const ReportCheck check = decodeReport(in.bytes(), report);
        EXPECT_EQ(check == ReportCheck::Ok, !field) << in.bytes().toHex().toStdString();
        if (field) {
            EXPECT_EQ(reportCheckMessage(check), retrieving(*field));
        }
    }
    EXPECT_EQ(decodeReport(Report().bytes().left(39), report), ReportCheck::TooShort);
}

const QStringList kAllKeys{u"NAME"_s, u"IP"_s,  u"MASK"_s, u"GW"_s,  u"REMOTE"_s, u"INPUT"_s,
                           u"TYPE"_s, u"TX"_s,  u"ROLE"_s, u"SN"_s,  u"VER"_s,    u"SFN"_s,
                           u"BUF"_s,  u"ATT"_s, u"SDM"_s,  u"SDL"_s, u"SDT"_s};
const Message kSuccess(MessageId::ConfigurationSaved);

class ReportHandler : public LinkTest {
protected:
    void SetUp() override {
        settings.macLookupMs = 200;
        makeLink();
        peer->responseTimer().start(); // a write waits for its answer
    }
    QStringList storedKeys(const QString &section = kSelectedKey) const {
        QStringList keys;
        LoadIniSectionKeysLB(section, keys, database.path());
        return keys;
    }
};

TEST_F(ReportHandler, DiscoveryStoresEachElementSilentlyUnderItsArpMac) {
    peer->setDiscovering(true);
    // clang-format off
    const struct { int ipLast, role; QByteArray tail; const char *mac; int keys; } rows[] = {
        {10, 1, {}, "00A0C9000001", 13},
        {11, 2, decoderTail(10, 12, 2, 200, 250), "00A0C9000002", 17},
        {12, 2, decoderTail().left(5), "00A0C9000003", 14}, // 45 bytes: nothing from the report before
    };
    // clang-format on
    const QByteArray evilName("a\r\n[EVIL]\r\nX=1\0z", 16);
    for (const auto &row : rows) {
        answerArp(row.ipLast, row.mac);
        // The last arrived during the discovery and is handled after it ended.
        peer->setDiscovering(row.ipLast != 12);
        const Report report{.ipLast = row.ipLast, .role = row.role, .name = evilName, .tail = row.tail};
        ASSERT_TRUE(handle(report.bytes(), true));
        EXPECT_EQ(storedKeys(QString::fromLatin1(row.mac)), kAllKeys.mid(0, row.keys));
    }
    EXPECT_EQ(LoadIniSectionsArray(database.path()),
              (QStringList{kSelectedKey, u"00A0C9000002"_s, u"00A0C9000003"_s}));
    EXPECT_EQ(std::tuple(stored(u"name"_s), stored(u"ver"_s)), std::tuple(u"A??[EVIL]??X=1?Z"_s, u"2"_s));
    EXPECT_EQ(std::tuple(stored(u"ip"_s, u"00A0C9000002"_s), stored(u"sdt"_s, u"00A0C9000002"_s)),
              std::tuple(u"192.168.1.11"_s, u"250"_s));
    EXPECT_EQ(
        std::tuple(notifier.messages.size(), confirmed == ConfirmedState(), peer->responseTimer().isActive()),
        std::tuple(0, true, false))
        << "silent, the panel untouched, the write answered";
    EXPECT_EQ(reloads, 1) << "only the report handled after the discovery reloads";
}

TEST_F(ReportHandler, RejectedReportsStoreNothing) {
    ASSERT_TRUE(handle(Report{.input = 2, .type = 2, .tx = 2}.bytes()));
    EXPECT_EQ(notifier.messages, QList<Message>{kInputMessage}) << "only the first failing check";
    EXPECT_TRUE(peer->responseTimer().isActive()) << "the pending write still times out";
    ASSERT_TRUE(handle(Report().bytes().left(0)) && handle(Report().bytes().left(39)));
    EXPECT_EQ(std::tuple(reloads, resolver.attempts), std::tuple(0, 0))
        << "what is not a report, or stores nothing, leaves the list as it is";

    // A late ARP answer, and none, are mac_wait_test.cpp's.
}

// What is stored and shown, clamped or refused is the pure confirmation's (confirmation_test.cpp);
// here: that the handler stores it, says so, emits it and reloads the list.
TEST_F(ReportHandler, AConfirmationIsStoredAnnouncedEmittedAndReloaded) {
    selectMatchingElement();
    ASSERT_TRUE(handle(Report{.tail = decoderTail(10, 12, 1, 0, 250)}.bytes()));
    EXPECT_EQ(notifier.messages, QList<Message>{kSuccess});
    EXPECT_EQ(std::tuple(database.keyCount(kSelectedKey), stored(u"att"_s)), std::tuple(16, u"14"_s));
    EXPECT_EQ(confirmed, (ConfirmedState{2, 256, 3.4, 8, 14, 1, 1, 220, {}}));
    EXPECT_EQ(std::tuple(peer->responseTimer().isActive(), reloads), std::tuple(false, 1));

    ASSERT_TRUE(handle(Report{.role = 1}.bytes())); // no attenuation carried: the stored one stays
    EXPECT_EQ(std::tuple(confirmed.att, stored(u"att"_s), stored(u"role"_s)),
              std::tuple(std::nullopt, u"14"_s, u"1"_s));
    EXPECT_EQ(notifier.messages, QList<Message>(2, kSuccess));
}

TEST_F(ReportHandler, ARefusalOrAMismatchIsSaidAndStoresNothingOfIt) {
    panel.mac = u"00:A0:C9:00:00:02"_s;
    ASSERT_TRUE(handle(Report().bytes()));
    EXPECT_EQ(notifier.ids(), QList<MessageId>{MessageId::OtherElement});
    EXPECT_EQ(std::tuple(database.exists(), confirmed == ConfirmedState()), std::tuple(false, true));
    for (int i = 0; i < 18; ++i)
        ASSERT_TRUE(database.write(u"00A0C9000003"_s, u"k%1"_s.arg(i), u"v"_s));
    answerArp(10, "00a0c9000003");
    panel.mac = u"00:A0:C9:00:00:03"_s;
    ASSERT_TRUE(handle(Report().bytes()));
    EXPECT_EQ(notifier.ids().constLast(), MessageId::SectionCorrupted);
    EXPECT_EQ(storedKeys(u"00A0C9000003"_s).size(), 18);

    notifier.messages.clear();
    ASSERT_TRUE(database.writeSection(kSelectedKey, {{u"ip"_s, u"old ip"_s}, {u"tx"_s, u"old tx"_s}}));
    answerArp(10, "00a0c9000001");
    selectMatchingElement();
    std::tie(panel.ip, panel.tx) = std::tuple(u"192.168.1.99"_s, 0);
    ASSERT_TRUE(handle(Report().bytes()));
    EXPECT_EQ(notifier.messages, (QList<Message>{{MessageId::FieldNotSaved, {phrase(PhraseId::ElementIp)}},
                                                 {MessageId::FieldNotSaved, {phrase(PhraseId::AudioTx)}}}));
    EXPECT_EQ(std::tuple(stored(u"ip"_s), stored(u"tx"_s), stored(u"mask"_s)),
              std::tuple(u"old ip"_s, u"old tx"_s, u"255.255.255.0"_s));
    EXPECT_EQ(confirmed.unconfirmed, (QList<ElementKey>{ElementKey::Ip, ElementKey::Tx}))
        << "a failed confirmation is shown too, its mismatches marked";
}

TEST_F(ReportHandler, AnUnwritableDatabaseIsNeverReportedAsSaved) {
    ASSERT_TRUE(QDir().mkdir(database.path())); // nothing can replace a folder, whoever runs this
    selectMatchingElement();
    ASSERT_TRUE(handle(Report{.tail = decoderTail()}.bytes()));
    EXPECT_EQ(notifier.messages, QList<Message>{Message(MessageId::DatabaseNotWritten,
                                                        {QDir::toNativeSeparators(database.path())})});
    EXPECT_EQ(confirmed.role, kRoleDecoder) << "the panel still shows what the element reported";
}

TEST_F(ReportHandler, AStormOfIdenticalFailuresShowsOneMessageAndThenACount) {
    peer->reportHandler().setRepeatQuietMs(600000);
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(handle(Report{.input = 7}.bytes()));
    EXPECT_EQ(std::tuple(notifier.messages, reloads), std::tuple(QList<Message>{kInputMessage}, 0))
        << "a flood of corrupt reports does not rebuild the list";
    selectMatchingElement();
    ASSERT_TRUE(handle(Report().bytes())); // something else: the count comes first
    EXPECT_EQ(
        notifier.messages,
        (QList<Message>{kInputMessage, {MessageId::RepeatedReports, {u"19"_s}, kInputMessage}, kSuccess}));
}

} // namespace
} // namespace ondalink::testing
