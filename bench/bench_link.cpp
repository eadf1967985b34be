// SPDX-License-Identifier: GPL-3.0-or-later
// The element link on loopback: a discovery answered by 1,000 reports in one burst, and level
// monitoring at a 1 ms interval. Event-driven work is timed by hand (UseManualTime).
// BENCHMARK() registers each benchmark through a static object of the library's.
// clazy:excludeall=non-pod-global-static
#include "bench_main.h"
#include "console/widgets/level_display.h"
#include "element_wire.h"
#include "fakes.h"
#include "link/datagrams.h"
#include "link/discovery.h"
#include "link/element_link.h"
#include "link/level_monitor.h"
#include "link/receive_dispatch.h"
#include "link_test_peer.h"
#include "model/ipv4.h"
#include "store/element_database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>
#include <QtEndian>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <ctime>

using namespace Qt::StringLiterals;
using namespace ondalink;

namespace {

constexpr int kBurst = 1000;

// Runs the event loop until the loop is quit by whoever waits on it, or the deadline passes.
void runLoop(QEventLoop &loop, int deadlineMs) {
    QTimer::singleShot(deadlineMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

QByteArray reportOf(int i) {
    sim::ElementIdentity identity;
    identity.serial = quint32(1000 + i);
    sim::ElementSettings settings;
    settings.ip = 0x0A000000u + quint32(i); // 10.0.x.y
    settings.name = QByteArray("BURST ").append(QByteArray::number(i)).leftJustified(16, ' ');
    return sim::encodeReport(identity, settings);
}

// Seconds from the first send until the receiver has taken all kBurst datagrams.
double plainReceiveSeconds(const QList<QByteArray> &reports, int receiveBuffer) {
    QUdpSocket receiver;
    receiver.bind(QHostAddress(QHostAddress::LocalHost), 0);
    receiver.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, receiveBuffer);
    int taken = 0;
    QEventLoop loop;
    QByteArray buffer(65536, Qt::Uninitialized);
    QObject::connect(&receiver, &QUdpSocket::readyRead, &receiver, [&] {
        while (receiver.hasPendingDatagrams())
            if (receiver.readDatagram(buffer.data(), buffer.size()) >= 0)
                ++taken;
        if (taken == kBurst)
            loop.quit();
    });
    QUdpSocket sender;
    QElapsedTimer clock;
    clock.start();
    for (const QByteArray &report : reports)
        sender.writeDatagram(report, QHostAddress(QHostAddress::LocalHost), receiver.localPort());
    runLoop(loop, 30000);
    return clock.nsecsElapsed() / 1e9;
}

// A discovery that 1,000 elements answer at once, each report stored in nms.ini; ARP answers at once.
void BM_DiscoveryBurst(benchmark::State &state) {
    QList<QByteArray> reports;
    testing::ScriptedResolver resolver;
    for (int i = 0; i < kBurst; ++i) {
        reports.append(reportOf(i));
        QByteArray mac = QByteArray::fromHex("02a0c900");
        mac.append(char(i >> 8)).append(char(i & 255));
        resolver.table.insert(Ipv4Address{(10u << 24) | quint32(i)}.toNetworkOrder(), mac);
    }
    double stored = 0, linkRate = 0, plainRate = 0, dropped = 0, granted = 0, worst = 0;
    for (auto _ : state) {
        const QString base = qEnvironmentVariableIsEmpty("ONDALINK_BENCH_DIR")
                                 ? QDir::tempPath()
                                 : qEnvironmentVariable("ONDALINK_BENCH_DIR");
        QTemporaryDir dir(base + u"/bench-XXXXXX"_s);
        ElementDatabase database(dir.filePath(u"nms.ini"_s));
        testing::RecordingNotifier notifier;
        QUdpSocket network; // takes the paging request
        network.bind(QHostAddress(QHostAddress::LocalHost), 0);
        LinkSettings settings;
        settings.bindAddress = QHostAddress(QHostAddress::LocalHost);
        settings.localPort = 0;
        settings.pagingHost = u"127.0.0.1"_s;
        settings.pagingPort = network.localPort();
        settings.pagingWaitMs = 600000; // ended below, once everything is in
        ElementLink link(database, notifier, resolver, {}, settings);
        link.open();
        ElementLinkTestPeer inside(link);
        granted = inside.endpoint().receiveBufferGranted();
        Discovery discovery(link);
        int handled = 0;
        QEventLoop loop;
        QObject::connect(&inside.dispatch(), &ReceiveDispatch::datagramHandled, &link, [&] {
            if (++handled == kBurst)
                loop.quit();
        });
        discovery.start();

        const double plain = plainReceiveSeconds(reports, settings.receiveBufferBytes);
        QUdpSocket elements;
        QElapsedTimer clock;
        clock.start();
        for (const QByteArray &report : reports)
            elements.writeDatagram(report, QHostAddress(QHostAddress::LocalHost),
                                   inside.endpoint().localPort());
        runLoop(loop, 120000);
        const double seconds = clock.nsecsElapsed() / 1e9;
        state.SetIterationTime(seconds);
        discovery.cancel();

        // The fewest stored and the slowest run count: the window is three seconds every time.
        const double storedNow = double(database.listing().size());
        stored = stored == 0 ? storedNow : std::min(stored, storedNow);
        worst = std::max(worst, seconds);
        linkRate += handled / seconds / double(state.max_iterations);
        plainRate += kBurst / plain / double(state.max_iterations);
        dropped = std::max(dropped, double(kBurst - handled));
        if (!notifier.messages.isEmpty())
            state.SkipWithError(
                ondalink::render(notifier.messages.first()).primary.toLocal8Bit().constData());
    }
    state.counters["fewest_stored"] = stored;
    state.counters["slowest_s"] = worst;
    state.counters["dropped"] = dropped;
    state.counters["reports_per_s"] = linkRate;
    state.counters["plain_per_s"] = plainRate;
    state.counters["plain_over_link"] = plainRate / linkRate;
    state.counters["rcvbuf_bytes"] = granted;
}
BENCHMARK(BM_DiscoveryBurst)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// An encoder on its own thread: every "VOL" gets a 1440-byte reply of a half-scale peak.
class LevelElement : public QObject {
public:
    void start() {
        m_socket = new QUdpSocket(this);
        m_socket->bind(QHostAddress(QHostAddress::LocalHost), 0);
        port = m_socket->localPort();
        QByteArray group = QByteArray::fromHex("400000");
        for (int i = 0; i < kLevelSampleCount; ++i)
            m_reply.append(i % 2 ? QByteArray::fromHex("c00000") : group);
        connect(m_socket, &QUdpSocket::readyRead, this, [this] {
            while (m_socket->hasPendingDatagrams()) {
                const QNetworkDatagram request = m_socket->receiveDatagram();
                ++requests;
                m_socket->writeDatagram(m_reply, request.senderAddress(), quint16(request.senderPort()));
            }
        });
    }
    std::atomic<quint16> port{0};
    std::atomic<int> requests{0};

private:
    QUdpSocket *m_socket = nullptr;
    QByteArray m_reply;
};

// Counts the peaks a monitor reports.
struct PeakCounter {
    explicit PeakCounter(LevelMonitor &monitor) {
        QObject::connect(&monitor, &LevelMonitor::peakChanged, &monitor, [this](quint32) { ++shown; });
    }
    int shown = 0;
};

// Monitoring at 1 ms for a few seconds (ONDALINK_BENCH_SECONDS, default 5).
void BM_LevelMonitoring1ms(benchmark::State &state) {
    const int seconds = qEnvironmentVariableIntValue("ONDALINK_BENCH_SECONDS") > 0
                            ? qEnvironmentVariableIntValue("ONDALINK_BENCH_SECONDS")
                            : 5;
    QThread thread;
    auto *element = new LevelElement;
    element->moveToThread(&thread);
    thread.start();
    QMetaObject::invokeMethod(element, &LevelElement::start, Qt::BlockingQueuedConnection);

    QTemporaryDir dir;
    ElementDatabase database(dir.filePath(u"nms.ini"_s));
    testing::RecordingNotifier notifier;
    testing::ScriptedResolver resolver;
    ConfigurationWrite panel;
    panel.mac = u"02:A0:C9:00:00:01"_s;
    database.write(u"02A0C9000001"_s, u"ip"_s, u"127.0.0.1"_s);
    LinkSettings settings;
    settings.bindAddress = QHostAddress(QHostAddress::LocalHost);
    settings.localPort = 0;
    settings.controlPort = element->port;
    ElementLink link(
        database, notifier, resolver, [&panel] { return panel; }, settings);
    link.open();
    LevelMonitor monitor(link, notifier);
    PeakCounter view(monitor);
    monitor.setInterval(1);

    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const double cpuBefore = threadCpuSeconds();
        QElapsedTimer clock;
        clock.start();
        monitor.setEnabled(true);
        QEventLoop loop;
        runLoop(loop, seconds * 1000);
        monitor.setEnabled(false);
        wall = clock.nsecsElapsed() / 1e9;
        cpu = threadCpuSeconds() - cpuBefore;
        state.SetIterationTime(wall);
    }
    const int shownWhileOn = view.shown - 1; // the switch-off blanks once
    state.counters["requests_per_s"] = element->requests / wall;
    state.counters["replies_per_s"] = shownWhileOn / wall;
    state.counters["replies_lost"] = double(element->requests - shownWhileOn);
    state.counters["nms_thread_cpu_pct"] = 100.0 * cpu / wall;
    if (!notifier.messages.isEmpty())
        state.SkipWithError(ondalink::render(notifier.messages.first()).primary.toLocal8Bit().constData());
    thread.quit();
    thread.wait();
    delete element;
}
BENCHMARK(BM_LevelMonitoring1ms)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// A real element's answer behind 100 reports whose addresses never answer ARP: from its arrival to its
// section in nms.ini, during a discovery (arg 1) and as the confirmation of a write (arg 0).
void BM_AnswerBehindSilentAddresses(benchmark::State &state) {
    const bool discovering = state.range(0) == 1;
    testing::ScriptedResolver resolver;
    resolver.table.insert(qToBigEndian(0x0A000001u), QByteArray::fromHex("02a0c9000001"));
    double worstMs = 0;
    for (auto _ : state) {
        QTemporaryDir dir;
        ElementDatabase database(dir.filePath(u"nms.ini"_s));
        database.write(u"02A0C9000001"_s, u"ip"_s, u"10.0.0.1"_s);
        testing::RecordingNotifier notifier;
        sim::ElementIdentity identity;
        identity.role = sim::kEncoder;
        identity.serial = 1001;
        sim::ElementSettings element;
        element.ip = 0x0A000001u;
        element.name = QByteArray("REAL").leftJustified(16, ' ');
        ConfigurationWrite shown;
        shown.mac = u"02:A0:C9:00:00:01"_s;
        std::tie(shown.name, shown.ip, shown.mask, shown.gw, shown.remote) =
            std::tuple(u"REAL"_s, u"10.0.0.1"_s, u"255.255.255.0"_s, u"10.0.0.254"_s, u"10.0.0.2"_s);
        element.mask = 0xFFFFFF00u;
        element.gw = 0x0A0000FEu;
        element.remote = 0x0A000002u;
        std::tie(shown.input, shown.type, shown.tx) = std::tuple(element.input, element.type, element.tx);
        LinkSettings settings;
        settings.bindAddress = QHostAddress(QHostAddress::LocalHost);
        settings.localPort = 0;
        ElementLink link(
            database, notifier, resolver, [&shown] { return shown; }, settings);
        link.open();
        ElementLinkTestPeer inside(link);
        inside.setDiscovering(discovering);
        for (int i = 0; i < 100; ++i) {
            element.ip = 0x0A000100u + quint32(i); // 10.0.1.x: nobody answers ARP
            inside.endpoint().deliver(sim::encodeReport(identity, element));
        }
        element.ip = 0x0A000001u;
        const QByteArray answer = sim::encodeReport(identity, element);
        QEventLoop loop;
        QElapsedTimer clock;
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (database.read(u"02A0C9000001"_s, u"sn"_s) == u"1001"_s)
                loop.quit();
        });
        check.start(1);
        clock.start();
        inside.endpoint().deliver(answer);
        runLoop(loop, 10000);
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        worstMs = std::max(worstMs, ms);
        state.SetIterationTime(ms / 1000);
        if (database.read(u"02A0C9000001"_s, u"sn"_s) != u"1001"_s)
            state.SkipWithError("the answer was not stored within 10 s");
    }
    state.counters["worst_ms"] = worstMs;
}
BENCHMARK(BM_AnswerBehindSilentAddresses)
    ->ArgName("discovery")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// One level reply alone: the scan of 480 samples and the display of the peak.
void BM_ShowLevel(benchmark::State &state) {
    QByteArray reply;
    for (int i = 0; i < kLevelSampleCount; ++i)
        reply.append(QByteArray::fromHex(i == 300 ? "4a1234" : "01f0e0"));
    for (auto _ : state) {
        LevelDisplay shown = levelDisplay(levelPeak(reply));
        benchmark::DoNotOptimize(shown);
    }
}
BENCHMARK(BM_ShowLevel);

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    return ondalink::bench::runBenchmarks(argc, argv);
}
