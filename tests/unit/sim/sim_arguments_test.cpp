// SPDX-License-Identifier: GPL-3.0-or-later
#include "element_wire.h"
#include "paging_probe.h"
#include "sim_arguments.h"

#include "loopback_peer.h"

using namespace ondalink::sim;

namespace {

std::optional<RunOptions> parse(const QStringList &arguments, QString *error = nullptr) {
    SimArguments parser;
    if (!parser.parse(QStringList{QStringLiteral("sim")} + arguments)) {
        if (error)
            *error = parser.error();
        return std::nullopt;
    }
    return parser.options();
}

// How the NMS reads the two bytes back: their decimal texts joined, over ten.
double versionOf(quint8 high, quint8 low) {
    return (QString::number(high) + QString::number(low)).toInt() / 10.0;
}

TEST(SimArguments, FirmwareTextBecomesBytesThatReadBackAsIt) {
    for (const char *text : {"3.4", "34.1", "2", "2.0", "0.5", "100.0", "25.5", "10.5", "255.5"}) {
        const auto options = parse({QStringLiteral("--firmware"), QString::fromLatin1(text)});
        ASSERT_TRUE(options) << text;
        const ElementIdentity &id = options->element.identity;
        EXPECT_DOUBLE_EQ(versionOf(id.versionHigh, id.versionLow), QString::fromLatin1(text).toDouble())
            << text;
    }
    for (const char *text : {"3.45", "x", "-1", "3276.7", "3276.6", ""})
        EXPECT_FALSE(parse({QStringLiteral("--firmware"), QString::fromLatin1(text)})) << text;
}

TEST(SimArguments, CorruptFieldsBecomeBytePatchesAtTheirOffsets) {
    const auto options =
        parse({QStringLiteral("--corrupt"), QStringLiteral("input=2"), QStringLiteral("--corrupt"),
               QStringLiteral("sn=2147483648"), QStringLiteral("--corrupt"), QStringLiteral("role=3"),
               QStringLiteral("--corrupt"), QStringLiteral("41=255")});
    ASSERT_TRUE(options);
    const QList<BytePatch> &patches = options->element.faults.patches;
    ASSERT_EQ(patches.size(), 4);
    EXPECT_EQ(std::pair(patches[0].offset, patches[0].bytes), std::pair(16, QByteArray("\x02")));
    EXPECT_EQ(std::pair(patches[1].offset, patches[1].bytes), std::pair(36, QByteArray::fromHex("80000000")));
    EXPECT_EQ(std::pair(patches[2].offset, patches[2].bytes), std::pair(35, QByteArray("\x03")));
    EXPECT_EQ(std::pair(patches[3].offset, patches[3].bytes), std::pair(41, QByteArray("\xff")));
}

TEST(SimArguments, BadValuesAreRefusedWithTheirOption) {
    const QStringList bad[] = {
        {QStringLiteral("--corrupt"), QStringLiteral("colour=1")},
        {QStringLiteral("--corrupt"), QStringLiteral("input=256")},
        {QStringLiteral("--corrupt"), QStringLiteral("sn")},
        {QStringLiteral("--role"), QStringLiteral("router")},
        {QStringLiteral("--ip"), QStringLiteral("10.0.0.256")},
        {QStringLiteral("--sdl"), QStringLiteral("300")},
        {QStringLiteral("--peak"), QStringLiteral("8388608")},
        {QStringLiteral("--level"), QStringLiteral("loud")},
        {QStringLiteral("--count"), QStringLiteral("3")},
        {QStringLiteral("--probe"), QStringLiteral("host:0")},
        {QStringLiteral("--serial"), QStringLiteral("4294967296")},
        {QStringLiteral("stray")},
    };
    for (const QStringList &arguments : bad) {
        QString error;
        EXPECT_FALSE(parse(arguments, &error)) << arguments.join(u' ').toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(SimArguments, SettingsRoleAndEndpointAreTaken) {
    const auto options = parse({QStringLiteral("--role"), QStringLiteral("decoder"), QStringLiteral("--name"),
                                QStringLiteral("Roof"), QStringLiteral("--bind"), QStringLiteral("127.0.0.5"),
                                QStringLiteral("--gw"), QStringLiteral("10.0.0.254"), QStringLiteral("--sdt"),
                                QStringLiteral("220"), QStringLiteral("--count"), QStringLiteral("3"),
                                QStringLiteral("--paging-port"), QStringLiteral("0")});
    ASSERT_TRUE(options);
    const SimConfig &c = options->element;
    EXPECT_EQ(c.identity.role, kDecoder);
    EXPECT_EQ(c.settings.name, QByteArray("Roof            "));
    EXPECT_EQ(c.settings.ip, 0x7F000005u) << "an element bound to an address reports it";
    EXPECT_EQ(c.settings.gw, 0x0A0000FEu);
    EXPECT_EQ(c.settings.sdt, 220);
    EXPECT_EQ(c.endpoint.pagingPort, 0);
    EXPECT_EQ(options->count, 3);
}

TEST(SimConfig, GroupMembersGetTheirOwnAddressSerialAndName) {
    SimConfig first;
    first.endpoint.bindAddress = QHostAddress(QStringLiteral("10.77.0.11"));
    first.settings.ip = 0x0A4D000B;
    first.identity.serial = 100;
    first.settings.name = "ABCDEFGHIJKLMNOP";
    const SimConfig twelfth = nthElement(first, 11);
    EXPECT_EQ(twelfth.endpoint.bindAddress, QHostAddress(QStringLiteral("10.77.0.22")));
    EXPECT_EQ(twelfth.settings.ip, 0x0A4D0016u);
    EXPECT_EQ(twelfth.identity.serial, 111u);
    EXPECT_EQ(twelfth.settings.name, QByteArray("ABCDEFGHIJKLM 12"));
    EXPECT_EQ(nthElement(first, 0).settings.name, QByteArray("ABCDEFGHIJKLMN 1"));
}

TEST(PagingProbe, CollectsTheReportsOfTheElementItPages) {
    SimConfig config = ondalink::sim::testing::loopbackElement(kDecoder);
    config.identity.serial = 0x01020304;
    ElementSimulator element(config);
    ASSERT_TRUE(element.start());
    PagingProbe probe;
    QSignalSpy answered(&probe, &PagingProbe::answered);
    // A window far longer than the exchange, so that a busy machine cannot close it first.
    ASSERT_TRUE(probe.start(QHostAddress(QHostAddress::LocalHost), element.pagingPort(), 60000,
                            kPagingRequest.toByteArray()));
    ASSERT_TRUE(answered.wait(5000));
    const QString line =
        describeReport(answered.at(0).at(0).value<QHostAddress>(), answered.at(0).at(1).toByteArray());
    EXPECT_TRUE(line.contains(QStringLiteral("len 48"))) << line.toStdString();
    EXPECT_TRUE(line.contains(QStringLiteral("role 2 sn 16909060"))) << line.toStdString();
}

} // namespace
