// SPDX-License-Identifier: GPL-3.0-or-later
#include "element_report_handler_fixture.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

using testing::kElementKey;
using testing::kElementMac;
using testing::ReportBytes;
using ReportHandler = testing::ReportHandlerTest;

const QStringList kEncoderKeys{u"NAME"_s, u"IP"_s,   u"MASK"_s, u"GW"_s,  u"REMOTE"_s, u"INPUT"_s, u"TYPE"_s,
                               u"TX"_s,   u"ROLE"_s, u"SN"_s,   u"VER"_s, u"SFN"_s,    u"BUF"_s};
const QString kMacMessage = u"An error occured while retrieving 'Element MAC':\rFeedback is corrupted."_s;

// --- discovery ---

TEST_F(ReportHandler, DiscoveryStoresAnEncoderSilently) {
    discoveryNow = true;
    ReportBytes encoder;
    encoder.role = 1;
    encoder.tail = testing::encoderTail(3);
    ASSERT_TRUE(handle(encoder.bytes(), true));
    EXPECT_EQ(storedKeys(), kEncoderKeys);
    EXPECT_EQ(stored(u"name"_s), u"DEC ONE         "_s);
    EXPECT_EQ(stored(u"ver"_s), u"3.4"_s);
    EXPECT_EQ(stored(u"buf"_s), u"3"_s);
    EXPECT_TRUE(notifier.messages.isEmpty());
    EXPECT_EQ(responseStops, 1);
    EXPECT_EQ(reloads, 0) << "the discovery reloads when it ends";
    EXPECT_EQ(panel.type, u"-"_s) << "a discovery leaves the panel alone";
    EXPECT_EQ(handler->snapshot().mac, kElementMac);
}

TEST_F(ReportHandler, DiscoveryStoresADecoderAsReported) {
    discoveryNow = true;
    ReportBytes decoder;
    decoder.tail = testing::decoderTail(10, 12, 2, 200, 250);
    ASSERT_TRUE(handle(decoder.bytes(), true));
    EXPECT_EQ(storedKeys(), kEncoderKeys + QStringList({u"ATT"_s, u"SDM"_s, u"SDL"_s, u"SDT"_s}));
    EXPECT_EQ(stored(u"sdt"_s), u"250"_s);
    EXPECT_TRUE(notifier.messages.isEmpty());
}

TEST_F(ReportHandler, ShortDecoderTakesNothingFromThePreviousElement) {
    discoveryNow = true;
    ReportBytes first;
    first.tail = testing::decoderTail(100, 4, 2, 99, 77);
    ASSERT_TRUE(handle(first.bytes(), true));

    ReportBytes second; // another element, 45 bytes: no silence-detection settings
    second.ip = {192, 168, 1, 11};
    second.tail = testing::decoderTail().left(5);
    answerArp(u"192.168.1.11"_s, QByteArray::fromHex("00a0c9000002"));
    ASSERT_TRUE(handle(second.bytes(), true));
    EXPECT_EQ(storedKeys(u"00A0C9000002"_s).size(), 14);
    EXPECT_EQ(stored(u"sdl"_s, u"00A0C9000002"_s), u"<none>"_s);
    EXPECT_EQ(stored(u"sdm"_s, u"00A0C9000002"_s), u"<none>"_s);
}

TEST_F(ReportHandler, NameCannotChangeTheStructureOfTheDatabase) {
    discoveryNow = true;
    ReportBytes evil;
    evil.role = 1;
    evil.name = QByteArray("a\r\n[EVIL]\r\nX=1\0z", 16);
    ASSERT_TRUE(handle(evil.bytes(), true));
    EXPECT_EQ(LoadIniSectionsArray(database->path()), QStringList{kElementKey});
    EXPECT_EQ(storedKeys(), kEncoderKeys);
    EXPECT_EQ(stored(u"name"_s), u"A??[EVIL]??X=1?Z"_s);
    EXPECT_EQ(database->read(u"EVIL"_s, u"x"_s, u"<none>"_s), u"<none>"_s);
    EXPECT_TRUE(notifier.messages.isEmpty());
}

TEST_F(ReportHandler, ReloadFollowsTheFlagAsItIsAtTheEnd) {
    ReportBytes encoder;
    encoder.role = 1;
    discoveryNow = false; // arrived during the discovery, handled after it ended
    ASSERT_TRUE(handle(encoder.bytes(), true));
    EXPECT_EQ(storedKeys(), kEncoderKeys);
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(stored(u"ver"_s), u"2"_s);
}

// --- checks, short datagrams, MAC lookup ---

TEST_F(ReportHandler, FailedCheckShowsOnlyTheFirstAndStoresNothing) {
    ReportBytes bad;
    bad.input = 2;
    bad.type = 2;
    bad.tx = 2;
    ASSERT_TRUE(handle(bad.bytes(), false));
    ASSERT_EQ(notifier.messages.size(), 1);
    EXPECT_EQ(notifier.messages.first(),
              critical(u"An error occured while retrieving 'Audio Input':\rFeedback is corrupted."_s));
    EXPECT_FALSE(database->exists());
    EXPECT_EQ(responseStops, 0) << "the pending write still times out";
    EXPECT_EQ(resolver.attempts, 0);
    EXPECT_EQ(reloads, 1);
}

TEST_F(ReportHandler, ShorterThanAReportIsDroppedWithoutATrace) {
    for (int length : {0, 2, 39}) {
        ASSERT_TRUE(handle(ReportBytes().bytes().left(length), false)) << length;
    }
    EXPECT_TRUE(notifier.messages.isEmpty());
    EXPECT_EQ(reloads, 0);
    EXPECT_EQ(responseStops, 0);
    EXPECT_FALSE(database->exists());
    EXPECT_EQ(handler->shortDatagramsDropped(), 3);
}

TEST_F(ReportHandler, ElementThatNeverAnswersArpGivesUpAtTheBound) {
    makeHandler(40);
    resolver.table.clear();
    ASSERT_TRUE(handle(ReportBytes().bytes(), false));
    EXPECT_EQ(notifier.texts(), QStringList{kMacMessage});
    EXPECT_GT(resolver.attempts, 1) << "retried within the bound";
    EXPECT_FALSE(database->exists());
    EXPECT_EQ(responseStops, 1);
    EXPECT_EQ(reloads, 1);
}

TEST_F(ReportHandler, LateArpAnswerIsStillTaken) {
    discoveryNow = true;
    resolver.failuresBefore = 4;
    ASSERT_TRUE(handle(ReportBytes().bytes(), true));
    EXPECT_EQ(resolver.attempts, 5);
    EXPECT_EQ(storedKeys().size(), 14); // a 40-byte decoder report
}

TEST_F(ReportHandler, HardwareAddressOfAnotherLengthIsNoMac) {
    answerArp(u"192.168.1.10"_s, QByteArray::fromHex("00a0c9000001aa"));
    ASSERT_TRUE(handle(ReportBytes().bytes(), true));
    EXPECT_EQ(notifier.texts(), QStringList{kMacMessage});
    EXPECT_FALSE(database->exists());
}

// --- confirmation ---

TEST_F(ReportHandler, ConfirmationStoresShowsAndTellsSuccess) {
    selectMatchingElement();
    panel.name = u" dec one "_s; // the text that was sent, so the one stored
    ASSERT_TRUE(handle(testing::reportOf(2, testing::decoderTail()).bytes(), false));
    ASSERT_EQ(notifier.messages.size(), 1);
    EXPECT_EQ(notifier.messages.first(),
              information(u"New configuration has been sucessfuly saved and loaded!"_s,
                          u"Configuration changed"_s));
    EXPECT_EQ(storedKeys(), (QStringList{u"NAME"_s, u"IP"_s, u"MASK"_s, u"GW"_s, u"REMOTE"_s, u"INPUT"_s,
                                         u"TYPE"_s, u"TX"_s, u"ROLE"_s, u"SN"_s, u"VER"_s, u"ATT"_s, u"BUF"_s,
                                         u"SDM"_s, u"SDL"_s, u"SDT"_s}));
    EXPECT_EQ(stored(u"name"_s), u" DEC ONE        "_s);
    EXPECT_EQ(stored(u"sfn"_s), u"<none>"_s) << "sfn is only stored by a discovery";
    EXPECT_EQ(panel.type, u"DECODER"_s);
    EXPECT_EQ(panel.serial, u"256"_s);
    EXPECT_EQ(panel.version, u"3.4"_s);
    EXPECT_EQ(panel.att, 200);
    EXPECT_EQ(panel.sdm, 1);
    EXPECT_EQ(responseStops, 1);
    EXPECT_EQ(reloads, 1);
}

TEST_F(ReportHandler, SenderMustBeTheSelectedElement) {
    for (const QString &selected : {u"00:A0:C9:00:00:02"_s, u"00:a0:c9:00:00:01"_s, u"-"_s}) {
        makeHandler(5000); // each selection on its own, not as a repeat of the one before
        notifier.messages.clear();
        selectMatchingElement();
        panel.mac = selected;
        ASSERT_TRUE(handle(ReportBytes().bytes(), false));
        EXPECT_EQ(notifier.texts(),
                  QStringList{u"The response received does not match the selected element.\r"
                              u"Cannot save this element info."_s})
            << selected.toStdString();
    }
    EXPECT_FALSE(database->exists());
    EXPECT_EQ(panel.type, u"-"_s);
}

TEST_F(ReportHandler, SectionWithEighteenKeysIsNotTouched) {
    selectMatchingElement();
    KeyValues eighteen;
    for (int i = 0; i < 18; ++i)
        eighteen.append({u"k%1"_s.arg(i), u"v"_s});
    ASSERT_TRUE(database->writeSection(kElementKey, eighteen));
    const QByteArray before = [&] {
        QFile f(database->path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    ASSERT_TRUE(handle(ReportBytes().bytes(), false));
    EXPECT_EQ(notifier.texts(),
              QStringList{u"The data stored in your computer about this element, is corrupted.\r"
                          u"Cannot save this element info."_s});
    QFile after(database->path());
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
}

TEST_F(ReportHandler, MismatchedFieldsKeepTheirStoredValueAndEachSaysSo) {
    ASSERT_TRUE(database->writeSection(kElementKey, {{u"ip"_s, u"old ip"_s}, {u"tx"_s, u"old tx"_s}}));
    selectMatchingElement();
    panel.ip = u"192.168.1.99"_s;
    panel.tx = 0;
    ASSERT_TRUE(handle(ReportBytes().bytes(), false));
    EXPECT_EQ(notifier.texts(),
              (QStringList{u"An error occured while saving 'Element IP':\rFeedback is corrupted."_s,
                           u"An error occured while saving 'Audio TX':\rFeedback is corrupted."_s}));
    EXPECT_EQ(stored(u"ip"_s), u"old ip"_s);
    EXPECT_EQ(stored(u"tx"_s), u"old tx"_s);
    EXPECT_EQ(stored(u"mask"_s), u"255.255.255.0"_s);
    EXPECT_EQ(stored(u"input"_s), u"1"_s);
}

TEST_F(ReportHandler, RoleZeroShowsUnknownWithoutSuccess) {
    selectMatchingElement();
    ASSERT_TRUE(handle(testing::reportOf(0).bytes(), false));
    EXPECT_TRUE(notifier.messages.isEmpty());
    EXPECT_EQ(panel.type, u"UNKNOWN"_s);
    EXPECT_EQ(stored(u"role"_s), u"0"_s);
}

struct ClampRow {
    quint8 att, buf, sdl, sdt;
    int shownAtt, shownBuf, shownSdl, shownSdt;
};

class ReportClamps : public testing::ReportHandlerTest, public ::testing::WithParamInterface<ClampRow> {};

TEST_P(ReportClamps, DecoderSettingsAreBroughtIntoRange) {
    const ClampRow &row = GetParam();
    selectMatchingElement();
    ASSERT_TRUE(handle(
        testing::reportOf(2, testing::decoderTail(row.att, row.buf, 0, row.sdl, row.sdt)).bytes(), false));
    EXPECT_EQ(panel.att, row.shownAtt);
    EXPECT_EQ(panel.buf, row.shownBuf);
    EXPECT_EQ(panel.sdl, row.shownSdl);
    EXPECT_EQ(panel.sdt, row.shownSdt);
    EXPECT_EQ(stored(u"att"_s), QString::number(row.shownAtt));
    EXPECT_EQ(stored(u"buf"_s), QString::number(row.shownBuf));
    EXPECT_EQ(stored(u"sdl"_s), QString::number(row.shownSdl));
    EXPECT_EQ(stored(u"sdt"_s), QString::number(row.shownSdt));
    EXPECT_EQ(notifier.messages.size(), 1); // the success message
}

INSTANTIATE_TEST_SUITE_P(Ranges, ReportClamps,
                         ::testing::Values(ClampRow{10, 12, 0, 250, 14, 8, 1, 220},
                                           ClampRow{14, 8, 200, 1, 14, 8, 154, 1},
                                           ClampRow{255, 0, 154, 220, 255, 0, 154, 220}));

TEST_F(ReportHandler, EncoderConfirmationLeavesDecoderSettingsAlone) {
    ASSERT_TRUE(database->writeSection(kElementKey, {{u"att"_s, u"90"_s}, {u"sdl"_s, u"37"_s}}));
    selectMatchingElement();
    panel.att = 77;
    panel.sdl = 55;
    ASSERT_TRUE(handle(testing::reportOf(1).bytes(), false)); // 40 bytes
    EXPECT_EQ(panel.type, u"ENCODER"_s);
    EXPECT_EQ(panel.version, u"2.0"_s);
    EXPECT_EQ(stored(u"ver"_s), u"2"_s);
    EXPECT_EQ(panel.att, 77);
    EXPECT_EQ(panel.sdl, 55);
    EXPECT_EQ(stored(u"att"_s), u"90"_s);
    EXPECT_EQ(stored(u"sdl"_s), u"37"_s);
    EXPECT_EQ(stored(u"sdm"_s), u"<none>"_s);
    EXPECT_EQ(notifier.messages.size(), 1);
}

TEST_F(ReportHandler, VersionShownWithOneDecimalAndAPoint) {
    QLocale::setDefault(QLocale(QLocale::German));
    selectMatchingElement();
    const bool handled = handle(testing::reportOf(1, testing::encoderTail()).bytes(), false);
    QLocale::setDefault(QLocale::c());
    ASSERT_TRUE(handled);
    EXPECT_EQ(panel.version, u"3.4"_s);
    EXPECT_EQ(stored(u"ver"_s), u"3,4"_s);
}

TEST_F(ReportHandler, UnwritableDatabaseIsNeverReportedAsSaved) {
    // A folder where the file should be: nothing can replace it, whoever runs the test.
    database = std::make_unique<ElementDatabase>(dir() + u"/nms.ini"_s);
    ASSERT_TRUE(QDir(dir()).mkdir(u"nms.ini"_s));
    makeHandler(5000);
    selectMatchingElement();
    ASSERT_TRUE(handle(testing::reportOf(2, testing::decoderTail()).bytes(), false));
    ASSERT_EQ(notifier.messages.size(), 1);
    EXPECT_EQ(notifier.messages.first().icon, MessageIcon::Critical);
    EXPECT_TRUE(notifier.messages.first().text.startsWith(u"The local database could not be written"_s));
    EXPECT_EQ(panel.type, u"DECODER"_s) << "the panel still shows what the element reported";

    makeHandler(5000);
    notifier.messages.clear();
    discoveryNow = true;
    ASSERT_TRUE(handle(ReportBytes().bytes(), true));
    EXPECT_EQ(notifier.messages.size(), 1) << "a discovery that cannot store says so";
}

} // namespace
} // namespace ondalink
