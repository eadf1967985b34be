// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/agentx/element_values.h"

#include <QTimeZone>

#include <gtest/gtest.h>

using namespace ondalink;
using namespace ondalink::mib;

TEST(ElementValues, MacIsItsSixOctetsAndAnythingElseIsNone) {
    EXPECT_EQ(macOctets(QStringLiteral("02:4F:4C:01:00:0A")), QByteArray::fromHex("024f4c01000a"));
    EXPECT_EQ(macOctets(QStringLiteral("00:A0:FF:10:20:30")), QByteArray::fromHex("00a0ff102030"));
    EXPECT_TRUE(macOctets(QStringLiteral("02:4F:4C:01:00")).isEmpty());
    EXPECT_TRUE(macOctets(QStringLiteral("02:4F:4C:01:00:0AB")).isEmpty());
    EXPECT_TRUE(macOctets(QStringLiteral("02:4F:4C:01:00:XZ")).isEmpty());
    EXPECT_TRUE(macOctets(QString()).isEmpty());
}

TEST(ElementValues, LastSeenIsElevenOctetsInUtcOrEightZerosForNever) {
    // 14:05:09.7 at +02:00 is 12:05:09.7 UTC; the year 2026 is 0x07EA.
    const QDateTime when(QDate(2026, 12, 8), QTime(14, 5, 9, 760), QTimeZone(2 * 3600));
    EXPECT_EQ(dateAndTime(when), QByteArray::fromHex("07ea0c080c0509072b0000"));
    EXPECT_EQ(dateAndTime(QDateTime()), QByteArray(8, '\0'));
    const QDateTime newYear(QDate(2027, 1, 1), QTime(0, 0), QTimeZone::utc());
    EXPECT_EQ(dateAndTime(newYear), QByteArray::fromHex("07eb010100000000"
                                                        "2b0000"));
}

TEST(ElementValues, AddressIsIpv4AndFourOctetsOrUnknownAndNone) {
    const InetValue v4 = inetAddress(QStringLiteral("10.77.0.11"));
    EXPECT_EQ(v4.type, 1);
    EXPECT_EQ(v4.octets, QByteArray::fromHex("0a4d000b"));
    for (const char *bad : {"", "10.77.0", "fe80::1", "host"}) {
        const InetValue none = inetAddress(QString::fromLatin1(bad));
        EXPECT_EQ(none.type, 0) << bad;
        EXPECT_TRUE(none.octets.isEmpty()) << bad;
    }
}

TEST(ElementValues, EnumerationsAreTheMibsNumbers) {
    EXPECT_EQ(roleValue(ElementRole::Unknown), 0);
    EXPECT_EQ(roleValue(ElementRole::Encoder), 1);
    EXPECT_EQ(roleValue(ElementRole::Decoder), 2);
    EXPECT_EQ(statusValue(ElementStatus::Unknown), 1);
    EXPECT_EQ(statusValue(ElementStatus::Online), 2);
    EXPECT_EQ(statusValue(ElementStatus::Offline), 3);
    EXPECT_EQ(silenceValue(SilenceState::NotWatched), 1);
    EXPECT_EQ(silenceValue(SilenceState::Waiting), 2);
    EXPECT_EQ(silenceValue(SilenceState::Sounding), 3);
    EXPECT_EQ(silenceValue(SilenceState::Silent), 4);
    EXPECT_EQ(roundTripValue(std::nullopt), -1);
    EXPECT_EQ(roundTripValue(0), 0);
    EXPECT_EQ(roundTripValue(37), 37);
}

TEST(ElementValues, ANameIsAtMostThirtyTwoOctetsCutBetweenCharacters) {
    EXPECT_EQ(nameOctets(QStringLiteral("STUDIO A")), QByteArray("STUDIO A"));
    // Sixteen two-octet characters fit exactly; seventeen are cut to sixteen, not to half of one.
    const QString sixteen(16, QChar(0x00C9));
    EXPECT_EQ(nameOctets(sixteen).size(), 32);
    const QString mixed = QStringLiteral("A") + QString(16, QChar(0x00C9));
    EXPECT_EQ(nameOctets(mixed), (QStringLiteral("A") + QString(15, QChar(0x00C9))).toUtf8());
}
