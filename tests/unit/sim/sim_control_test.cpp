// SPDX-License-Identifier: GPL-3.0-or-later
#include "element_simulator.h"
#include "paging_probe.h"
#include "sim_arguments.h"
#include "sim_control.h"

#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>
#include <gtest/gtest.h>

using namespace ondalink::sim;
using namespace Qt::StringLiterals;

namespace {

const QByteArray kPaging("LINKWAVE KORVALEN PAGING REQUEST");

TEST(SimArguments, OutOfRangeOrUnknownValuesAreRefusedWithAReason) {
    // clang-format off
    const std::pair<const char *, bool> rows[] = { // each refusal next to the value it just misses
        {"--firmware 25.5", true}, {"--firmware 3.45", false}, {"--firmware 3276.7", false},
        {"--corrupt input=255 --corrupt sn=2147483648 --corrupt 41=255", true},
        {"--corrupt input=256", false}, {"--corrupt colour=1", false}, {"--corrupt sn", false},
        {"--role decoder", true}, {"--role router", false},
        {"--ip 10.0.0.255", true}, {"--ip 10.0.0.256", false},
        {"--peak 8388607", true}, {"--peak 8388608", false},
        {"--serial 4294967295", true}, {"--serial 4294967296", false},
        {"--probe 127.0.0.1:1901", true}, {"--probe host:0", false},
        {"--count 12 --bind 10.77.0.11", true}, {"--count 12", false},
        {"--control-port 65535", true}, {"--control-port 65536", false}, {"--control-port -1", false},
        {"--tell silent --control-port 20001", true}, {"--tell silent", false},
        {"--tell silent --control-port 0", false},
        {"--sdl 300", false}, {"--level loud", false}, {"stray", false}};
    // clang-format on
    for (const auto &[line, accepted] : rows) {
        SimArguments parser;
        const QStringList words = QString::fromLatin1(line).split(u' ');
        EXPECT_EQ(parser.parse(QStringList{QStringLiteral("sim")} + words), accepted) << line;
        EXPECT_EQ(parser.error().isEmpty(), accepted) << line;
    }
}

TEST(SimControl, CommandsAreParsedAndAnythingElseRefusedWithAReason) {
    // clang-format off
    const struct { QByteArray text; std::optional<ControlAction> action; qint32 peak; const char *why; } rows[] = {
        {"level 12345", ControlAction::Level, 12345, ""}, {"LEVEL\t0\n", ControlAction::Level, 0, ""},
        {"  level   8388607 \r\n", ControlAction::Level, 8388607, ""},
        {"level 8388608", {}, 0, "level needs one number"}, {"level -1", {}, 0, "level needs one number"},
        {"level +5", {}, 0, "level needs one number"}, {"level 0x10", {}, 0, "level needs one number"},
        {"level", {}, 0, "level needs one number"}, {"level 1 2", {}, 0, "level needs one number"},
        // The bare words alone are the next test's, by what they do.
        {"Loud\n", ControlAction::Loud, 0, ""}, {"down now", {}, 0, "down takes no argument"},
        {"reboot", {}, 0, "unknown command \"reboot\""}, {"", {}, 0, "empty"}, {" \n", {}, 0, "empty"},
        {QByteArray("up\0", 3), {}, 0, "not plain text"}, {"silent\xe9", {}, 0, "not plain text"},
        {QByteArray(65, 'a'), {}, 0, "longer than 64 bytes"},
    };
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text.toHex().toStdString());
        const ControlParse parsed = parseControl(row.text);
        ASSERT_EQ(parsed.command.has_value(), row.action.has_value()) << parsed.error.toStdString();
        if (row.action) {
            EXPECT_EQ(parsed.command->action, *row.action);
            EXPECT_EQ(parsed.command->peak, row.peak);
            EXPECT_TRUE(parsed.error.isEmpty());
        } else {
            EXPECT_TRUE(parsed.error.startsWith(QString::fromUtf8(row.why))) << parsed.error.toStdString();
        }
    }
}

// One element on loopback with a control channel, and an NMS socket that asks it things.
class ControlledElement {
public:
    explicit ControlledElement(const LevelSignal &signal) : element(config(signal)), channel({&element}) {}

    static SimConfig config(const LevelSignal &signal) {
        SimConfig c;
        c.level = signal;
        c.endpoint.bindAddress = QHostAddress(QHostAddress::LocalHost);
        c.endpoint.pagingPort = c.endpoint.configPort = c.endpoint.levelPort = 0;
        return c;
    }

    bool start() { return element.start() && channel.start(0) && nms.bind(QHostAddress::LocalHost, 0); }

    // The reply to a command, or empty when none came.
    QString tell(const QByteArray &command) {
        nms.writeDatagram(command, QHostAddress::LocalHost, channel.port());
        if (!QTest::qWaitFor([&] { return nms.hasPendingDatagrams(); }, 5000))
            return {};
        return QString::fromUtf8(nms.receiveDatagram().data());
    }

    // What the element sends back to a datagram on one of its ports, or a null array.
    QByteArray ask(const QByteArray &data, quint16 port) {
        QSignalSpy handled(&element, &ElementSimulator::datagramHandled);
        nms.writeDatagram(data, QHostAddress::LocalHost, port);
        if (!handled.wait(5000) || !handled.at(0).at(1).toBool())
            return {};
        if (!QTest::qWaitFor([&] { return nms.hasPendingDatagrams(); }, 5000))
            return {};
        return nms.receiveDatagram().data();
    }

    QString levelReply() {
        const QByteArray reply = ask("VOL", element.levelPort());
        return reply.isNull() ? u"none"_s : describeReport(QHostAddress::LocalHost, reply).section(u' ', 5);
    }

    ElementSimulator element;
    ControlChannel channel;
    QUdpSocket nms;
};

TEST(SimControl, CommandsChangeWhatTheElementAnswers) {
    // clang-format off
    const struct { const char *name; LevelSignal start; QList<QByteArray> commands; const char *lastReply;
                   const char *level; bool pages; } rows[] = {
        {"a new peak", {}, {"level 12345"}, "ok: peak set to 12345; peak 12345, loud, up", "peak 12345", true},
        {"silent", {}, {"silent"}, "ok: silent; peak 0, silent, up", "peak 0", true},
        {"silent then loud", {LevelShape::Sine, 700000, 0}, {"silent", "loud"},
         "ok: loud; peak 700000, loud, up", "peak 700000", true},
        {"a peak set while silent waits for loud", {}, {"silent", "level 99"},
         "ok: peak set to 99; peak 0, silent, up", "peak 0", true},
        {"a peak set while silent comes back", {}, {"silent", "level 99", "loud"},
         "ok: loud; peak 99, loud, up", "peak 99", true},
        {"started silent, loud is a sine", {LevelShape::Zero, 5000, 0}, {"loud"}, "ok: loud; peak 5000, loud, up",
         "peak 5000", true},
        {"down answers nothing", {}, {"down"}, "ok: down, answering nothing; peak 4194304, loud, down", "none",
         false},
        {"down then up", {}, {"down", "up"}, "ok: up, answering; peak 4194304, loud, up", "peak 4194304", true},
        {"a refusal changes nothing", {}, {"silent", "loud please"}, "refused: loud takes no argument",
         "peak 0", true},
        {"status only tells", {}, {"down", "status"}, "ok: status; peak 4194304, loud, down", "none", false},
    };
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ControlledElement lab(row.start);
        ASSERT_TRUE(lab.start()) << lab.element.errorString().toStdString()
                                 << lab.channel.errorString().toStdString();
        QString reply;
        for (const QByteArray &command : row.commands)
            reply = lab.tell(command);
        EXPECT_EQ(reply.toStdString(), row.lastReply);
        EXPECT_EQ(lab.levelReply().toStdString(), row.level);
        const QByteArray report = lab.ask(kPaging, lab.element.pagingPort());
        EXPECT_EQ(!report.isNull(), row.pages);
        // A write while down is not applied either.
        QByteArray write = lab.element.currentReport().left(35);
        write.replace(19, 4, "XXXX");
        lab.ask(write, lab.element.configPort());
        EXPECT_EQ(lab.element.settings().name.startsWith("XXXX"), row.pages);
    }
}

// A setting changed behind the program's back: the next report carries it, in its place; a setting
// the element does not have, or a value it cannot hold, changes nothing.
TEST(SimControl, SetChangesWhatTheNextReportSays) {
    for (const char *refused : {"set", "set name", "set colour 1", "set sdm 256", "set sdm -1", "set sdm x",
                                "set gw 10.0.0", "set name seventeen chars!!"}) {
        const ControlParse parsed = parseControl(QByteArray(refused));
        EXPECT_FALSE(parsed.command.has_value()) << refused;
        EXPECT_TRUE(parsed.error.startsWith(u"set needs"_s) || parsed.error.contains(u"needs"_s) ||
                    parsed.error.contains(u"at most 16"_s))
            << refused << ": " << parsed.error.toStdString();
    }
    const ControlParse named = parseControl("SET Name  Studio  b ");
    ASSERT_TRUE(named.command.has_value());
    EXPECT_EQ(std::tuple(named.command->key, named.command->value), std::tuple(u"name"_s, u"Studio  b"_s));

    ControlledElement lab({});
    ASSERT_TRUE(lab.start());
    const QByteArray before = lab.ask(kPaging, lab.element.pagingPort());
    EXPECT_TRUE(lab.tell("set name Studio b").startsWith(u"ok: name set to Studio b"_s));
    EXPECT_TRUE(lab.tell("set gw 10.1.2.254").startsWith(u"ok:"_s));
    EXPECT_TRUE(lab.tell("set input 1").startsWith(u"ok:"_s));
    // An encoder has no silence detector.
    EXPECT_TRUE(lab.tell("set sdm 2").startsWith(u"refused: sdm is a decoder's setting"_s));
    const QByteArray after = lab.ask(kPaging, lab.element.pagingPort());
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.mid(19, 16), QByteArray("Studio b        "));
    EXPECT_EQ(after.mid(8, 4), QByteArray::fromHex("0a0102fe"));
    EXPECT_EQ(after.at(16), 1);
    QByteArray unchanged = after;
    unchanged.replace(19, 16, before.mid(19, 16))
        .replace(8, 4, before.mid(8, 4))
        .replace(16, 1, before.mid(16, 1));
    EXPECT_EQ(unchanged, before) << "only the settings told changed";
}

TEST(SimControl, OneCommandReachesEveryElementOfTheProcessAndEachReplies) {
    std::vector<std::unique_ptr<ElementSimulator>> elements;
    std::vector<ElementSimulator *> played;
    for (quint32 serial : {7u, 8u}) {
        SimConfig config = ControlledElement::config({});
        config.identity.serial = serial;
        elements.push_back(std::make_unique<ElementSimulator>(config));
        played.push_back(elements.back().get());
    }
    ControlChannel channel(played);
    ASSERT_TRUE(channel.start(0));
    QUdpSocket nms;
    ASSERT_TRUE(nms.bind(QHostAddress::LocalHost, 0));
    nms.writeDatagram("silent", QHostAddress::LocalHost, channel.port());
    ASSERT_TRUE(QTest::qWaitFor([&] { return nms.hasPendingDatagrams(); }, 5000));
    EXPECT_EQ(nms.receiveDatagram().data(),
              "sn 7 ok: silent; peak 0, silent, up\nsn 8 ok: silent; peak 0, silent, up");
    for (const auto &element : elements)
        EXPECT_TRUE(element->isSilent());
}

TEST(SimControl, TheClientSaysWhenNoReplyCame) {
    QUdpSocket silentPeer; // takes the command, never answers
    ASSERT_TRUE(silentPeer.bind(QHostAddress::LocalHost, 0));
    QString error;
    EXPECT_FALSE(tellSimulator(silentPeer.localPort(), u"status"_s, 200, error).has_value());
    EXPECT_TRUE(error.startsWith(u"no reply on control port"_s)) << error.toStdString();
    ASSERT_TRUE(silentPeer.hasPendingDatagrams());
    EXPECT_EQ(silentPeer.receiveDatagram().data(), "status");
}

} // namespace
