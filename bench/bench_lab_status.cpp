// SPDX-License-Identifier: GPL-3.0-or-later
// Background status probes of a bulk lab's elements (lab/lab up N --bulk) from its NMS host: real
// ICMP echoes on the event loop, every element once per interval. What the NMS thread spends on it,
// as a share of one core. Run by bench/lab_status.sh.
#include "bench_main.h"
#include "diag/linux/async_icmp_prober.h"
#include "lab_hosts.h"
#include "status/clock.h"
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

void BM_LabStatusProbes(benchmark::State &state) {
    const bench::LabHosts lab = bench::readLab();
    if (!lab.onNmsHost() || lab.elementIps.isEmpty()) {
        state.SkipWithError("not on a lab's NMS host");
        return;
    }
    QTemporaryDir dir;
    ElementDatabase database(dir.filePath(u"nms.ini"_s));
    QList<std::pair<QString, QList<std::pair<QString, QString>>>> sections;
    for (qsizetype n = 0; n < lab.elementIps.size(); ++n)
        sections.append({u"02AB%1"_s.arg(n, 8, 16, QChar(u'0')).toUpper(), {{u"ip"_s, lab.elementIps[n]}}});
    database.writeSections(sections);
    const int seconds = qEnvironmentVariableIntValue("ONDALINK_BENCH_SECONDS") > 0
                            ? qEnvironmentVariableIntValue("ONDALINK_BENCH_SECONDS")
                            : 60;
    const int intervalMs = static_cast<int>(state.range(0)) * 1000;
    double cpuShare = 0, online = 0, probes = 0;
    for (auto _ : state) {
        AsyncIcmpProber prober;
        if (!prober.isPermitted()) {
            state.SkipWithError("ICMP not permitted");
            return;
        }
        ReachabilityOptions options;
        options.intervalMs = intervalMs;
        ReachabilityMonitor monitor(database, prober, systemClock(), options);
        int sent = 0;
        QObject::connect(&prober, &AsyncEchoProber::finished, [&] { ++sent; });
        QEventLoop loop;
        QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        QElapsedTimer wall;
        const testing::ThreadTimes before = testing::threadTimes();
        wall.start();
        loop.exec();
        const testing::ThreadTimes used = testing::threadTimes() - before;
        cpuShare = 100.0 * double(used.cpuUs) / (double(wall.nsecsElapsed()) / 1000.0);
        const QList<ElementState> states = monitor.states();
        online = double(std::count_if(states.cbegin(), states.cend(), [](const ElementState &s) {
            return s.status == ElementStatus::Online;
        }));
        probes = sent;
    }
    state.counters["elements"] = double(lab.elementIps.size());
    state.counters["online"] = online;
    state.counters["echoes"] = probes;
    state.counters["cpu_percent"] = cpuShare;
}
BENCHMARK(BM_LabStatusProbes)->Arg(10)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
