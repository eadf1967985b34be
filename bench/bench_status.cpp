// SPDX-License-Identifier: GPL-3.0-or-later
// Status of 10,000 elements: one interval of probes whose answers come at once, on the real event
// loop; the longest the loop was held (a tick, or a burst of answers and their status signals) must
// stay under a frame (16 ms). Also the reload of the list from nms.ini.
#include "bench_main.h"
#include "fake_status.h"
#include "status/reachability_monitor.h"
#include "store/element_database.h"
#include "thread_times.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace ondalink;

namespace {

constexpr int kElements = 10000;

// Answers every probe on the next turn of the event loop, as a fast LAN would.
class InstantProber : public AsyncEchoProber {
public:
    bool isPermitted() const override { return true; }
    quint64 probe(Ipv4Address address, int /*timeoutMs*/) override {
        if (m_inFlight >= maxInFlight())
            return 0;
        ++m_inFlight;
        const quint64 token = ++m_token;
        QMetaObject::invokeMethod(
            this,
            [this, token, address] {
                --m_inFlight;
                Q_EMIT finished(token, address, EchoResult{EchoStatus::Success, 1});
            },
            Qt::QueuedConnection);
        return token;
    }
    int inFlight() const override { return m_inFlight; }

private:
    int m_inFlight = 0;
    quint64 m_token = 0;
};

void writeElements(ElementDatabase &database) {
    QList<std::pair<QString, QList<std::pair<QString, QString>>>> sections;
    for (int n = 0; n < kElements; ++n)
        sections.append({u"02AB%1"_s.arg(n, 8, 16, QChar(u'0')).toUpper(),
                         {{u"name"_s, u"Element %1"_s.arg(n).leftJustified(16)},
                          {u"ip"_s, u"10.%1.%2.%3"_s.arg(n >> 16).arg((n >> 8) & 0xFF).arg(n & 0xFF)},
                          {u"role"_s, u"1"_s}}});
    database.writeSections(sections);
}

void BM_StatusOfTenThousand(benchmark::State &state) {
    QTemporaryDir dir;
    ElementDatabase database(dir.filePath(u"nms.ini"_s));
    writeElements(database);
    const int intervalMs = static_cast<int>(state.range(0));
    double longestMs = 0, longestCpuMs = 0, online = 0, updates = 0;
    for (auto _ : state) {
        InstantProber prober;
        ReachabilityOptions options;
        options.intervalMs = intervalMs;
        ReachabilityMonitor monitor(database, prober, systemClock(), options);
        int changed = 0;
        QObject::connect(&monitor, &ReachabilityMonitor::statusChanged, [&] { ++changed; });
        QObject::connect(&monitor, &ReachabilityMonitor::elementUpdated, [&] { ++updates; });
        // A 1 ms timer measures how long the loop is held between its turns.
        QElapsedTimer gap;
        // The thread's own time on a core in each gap tells the loop's work from a wait for a core
        // on a loaded machine.
        qint64 longestNs = 0, longestCpuUs = 0, cpuUs = testing::threadTimes().cpuUs;
        QTimer watch;
        watch.setTimerType(Qt::PreciseTimer);
        watch.setInterval(1);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            longestNs = std::max(longestNs, gap.nsecsElapsed());
            const qint64 now = testing::threadTimes().cpuUs;
            longestCpuUs = std::max(longestCpuUs, now - cpuUs);
            cpuUs = now;
            gap.restart();
        });
        QEventLoop loop;
        // The last element falls due just before the interval ends; its tick may come up to one
        // tick (100 ms) later.
        // Precise: a coarse single shot this long may fire 5 % early.
        QTimer::singleShot(intervalMs + 150, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        gap.start();
        watch.start();
        loop.exec();
        longestMs = std::max(longestMs, double(longestNs) / 1e6 - 1.0);
        longestCpuMs = std::max(longestCpuMs, double(longestCpuUs) / 1e3);
        online = changed;
    }
    state.counters["online"] = online;
    state.counters["updates"] = updates / double(state.iterations());
    state.counters["longest_gap_ms"] = longestMs;
    state.counters["longest_gap_cpu_ms"] = longestCpuMs;
}
BENCHMARK(BM_StatusOfTenThousand)->Arg(10000)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_ReloadTenThousand(benchmark::State &state) {
    QTemporaryDir dir;
    ElementDatabase database(dir.filePath(u"nms.ini"_s));
    writeElements(database);
    testing::FakeAsyncProber prober;
    ReachabilityOptions options;
    options.intervalMs = 0;
    ReachabilityMonitor monitor(database, prober, systemClock(), options);
    for (auto _ : state)
        monitor.reload();
    state.counters["elements"] = double(monitor.elementCount());
}
BENCHMARK(BM_ReloadTenThousand)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
