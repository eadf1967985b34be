// SPDX-License-Identifier: GPL-3.0-or-later
// The service's status without a window: the board follows the monitors and the database file as
// another program rewrites it, and nothing the service hears is ever written to the database.
#include "claim_in_thread.h"
#include "element_wire.h"
#include "fake_status.h"
#include "fakes.h"
#include "service/monitoring_service.h"
#include "status/reachability_monitor.h"
#include "store/atomic_file.h"

#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

using Sections = QList<std::pair<QString, QList<std::pair<QString, QString>>>>;

class MonitoringServiceTest : public ::testing::Test {
protected:
    QString path() const { return dir.filePath(u"nms.ini"_s); }
    // Another program's write: the whole file, through a temporary file renamed over it.
    void write(const Sections &sections) const {
        QByteArray text;
        for (const auto &[key, values] : sections) {
            text += '[' + key.toLatin1() + "]\r\n";
            for (const auto &[name, value] : values)
                text += name.toLatin1() + '=' + value.toLatin1() + "\r\n";
        }
        ASSERT_TRUE(replaceFileAtomically(path(), text));
    }
    // Every element probed once: the clock goes through a whole interval.
    void probeAll() {
        for (int t = 0; t < config.reachability.intervalMs; t += 100) {
            service->reachability().tick();
            clock.advance(100);
        }
    }
    static Sections element(const char *key, const char *ip, const char *role = "1") {
        return {{QString::fromLatin1(key),
                 {{u"name"_s, u"Element"_s},
                  {u"ip"_s, QString::fromLatin1(ip)},
                  {u"role"_s, QString::fromLatin1(role)}}}};
    }
    void make() {
        config.database = path();
        config.eventFolder = dir.filePath(u"events"_s);
        LinkSettings link;
        link.bindAddress = QHostAddress(QHostAddress::LocalHost);
        QUdpSocket free;
        free.bind(QHostAddress(QHostAddress::LocalHost), 0);
        link.localPort = free.localPort();
        link.endpointOwner = u"ondalink-nmsd"_s;
        service = std::make_unique<MonitoringService>(config, ServiceSeams{prober, clock, resolver, notifier},
                                                      link);
    }
    QByteArray bytes() const { return readWholeFile(path()).bytes; }

    QTemporaryDir dir;
    ServiceConfig config;
    testing::FakeAsyncProber prober;
    testing::FakeClock clock;
    testing::ScriptedResolver resolver;
    testing::RecordingNotifier notifier;
    std::unique_ptr<MonitoringService> service;
};

TEST_F(MonitoringServiceTest, TheBoardFollowsTheProbesAndADatabaseRewrittenByAnotherProgram) {
    write(element("00A000000001", "10.0.0.1") + element("00A000000002", "10.0.0.2", "2"));
    make();
    QString error;
    ASSERT_TRUE(service->start(&error)) << qPrintable(error);
    const StatusBoard &board = service->board();
    ASSERT_EQ(board.rows().size(), 2);
    EXPECT_EQ(board.rows()[1].role, ElementRole::Decoder);

    probeAll();
    EXPECT_EQ(prober.finishAll({EchoStatus::Success, 3}), 2);
    EXPECT_EQ(board.row(u"00A000000001"_s)->status, ElementStatus::Online);
    EXPECT_EQ(board.row(u"00A000000001"_s)->roundTripMs, 3);
    EXPECT_EQ(board.counters().probesSent, static_cast<quint64>(prober.sent.size()));

    // Element 2 goes, element 3 comes; element 1 keeps its status and its index.
    write(element("00A000000001", "10.0.0.1") + element("00A000000003", "10.0.0.3"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return board.row(u"00A000000003"_s) != nullptr; }, 5000));
    EXPECT_EQ(board.row(u"00A000000002"_s), nullptr);
    EXPECT_EQ(board.row(u"00A000000001"_s)->status, ElementStatus::Online);
    EXPECT_EQ(board.row(u"00A000000001"_s)->index, 1u);
    EXPECT_EQ(board.row(u"00A000000003"_s)->index, 3u);
    EXPECT_EQ(board.counters().databaseReloads, 1u);

    // A second rewrite is seen too: the watch survived the rename.
    write(element("00A000000004", "10.0.0.4"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return board.rows().size() == 1; }, 5000));
    EXPECT_EQ(board.counters().databaseReloads, 2u);
}

TEST_F(MonitoringServiceTest, ADatabaseThatDoesNotExistYetIsWaitedForAndOneThatGoesKeepsItsElements) {
    make();
    QString error;
    ASSERT_TRUE(service->start(&error));
    const StatusBoard &board = service->board();
    EXPECT_TRUE(board.rows().isEmpty());

    write(element("00A000000001", "10.0.0.1"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return board.rows().size() == 1; }, 5000));

    ASSERT_TRUE(QFile::remove(path()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return board.counters().databaseReloadFailures == 1; }, 5000));
    EXPECT_EQ(board.rows().size(), 1);
}

TEST_F(MonitoringServiceTest, ADatabaseThatCannotBeReadStopsTheStart) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"nms.ini"_s)); // a folder where the file should be
    make();
    QString error;
    EXPECT_FALSE(service->start(&error));
    EXPECT_TRUE(error.contains(path())) << qPrintable(error);
}

TEST_F(MonitoringServiceTest, AReportFromAnElementCountsAsTrafficAndIsNeverStored) {
    write(element("00A000000001", "127.0.0.1"));
    const QByteArray before = bytes();
    const QDateTime written = QFileInfo(path()).lastModified();
    resolver.table.insert(htonl(INADDR_LOOPBACK), QByteArray::fromHex("00A000000001"));
    make();
    QString error;
    ASSERT_TRUE(service->start(&error));

    sim::ElementSettings settings;
    settings.name = "CHANGED BY HAND";
    QUdpSocket element;
    ASSERT_TRUE(element.bind(QHostAddress(QHostAddress::LocalHost), 0));
    element.writeDatagram(sim::encodeReport({}, settings), QHostAddress(QHostAddress::LocalHost),
                          service->link().settings().localPort);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return service->board().row(u"00A000000001"_s)->status == ElementStatus::Online; }, 5000));
    QTest::qWait(MonitoringService::kSettleMs * 2);
    EXPECT_EQ(bytes(), before);
    EXPECT_EQ(QFileInfo(path()).lastModified(), written);
    EXPECT_EQ(service->board().counters().databaseReloads, 0u);
}

TEST_F(MonitoringServiceTest, AWindowHoldingThePortIsNamedAndNothingStarts) {
    write(element("00A000000001", "10.0.0.1"));
    make();
    testing::ClaimInThread window(service->link().settings().localPort, u"ondalink-nms"_s);
    QString error;
    EXPECT_FALSE(service->start(&error));
    EXPECT_TRUE(error.contains(u"ondalink-nms, process "_s)) << qPrintable(error);
    EXPECT_TRUE(service->board().rows().isEmpty());
    EXPECT_TRUE(prober.sent.isEmpty());
}

} // namespace
} // namespace ondalink
