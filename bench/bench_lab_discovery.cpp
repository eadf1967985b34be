// SPDX-License-Identifier: GPL-3.0-or-later
// A real discovery on the NMS host of a bulk lab (lab/lab up N --bulk): the paging broadcast on
// the system's ports, every simulated element answering from its own address and MAC, the Linux
// neighbour table for the MACs, each report stored in nms.ini. Run by bench/lab_discovery.sh.
// BENCHMARK() registers each benchmark through a static object of the library's.
// clazy:excludeall=non-pod-global-static
#include "bench_main.h"
#include "diag/linux/neighbour_resolver.h"
#include "fakes.h"
#include "lab_hosts.h"
#include "link/discovery.h"
#include "link/element_link.h"
#include "link/receive_dispatch.h"
#include "link_test_peer.h"
#include "store/element_database.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace ondalink;

namespace {

// Arg 1: the NMS host forgets every MAC first, so that each report waits for an ARP exchange.
// Arg 0: the neighbour table as the previous discovery left it.
void BM_LabDiscovery(benchmark::State &state) {
    const bench::LabHosts lab = bench::readLab();
    const bool cold = state.range(0) == 1;
    double inWindow = 0, total = 0, lastMs = 0, firstMs = 0;
    for (auto _ : state) {
        if (cold && QProcess::execute(u"ip"_s, {u"-4"_s, u"neigh"_s, u"flush"_s, u"all"_s}) != 0) {
            state.SkipWithError("ip neigh flush failed");
            break;
        }
        QTemporaryDir dir(QDir::tempPath() + u"/bench-XXXXXX"_s);
        ElementDatabase database(dir.filePath(u"nms.ini"_s));
        testing::RecordingNotifier notifier;
        NeighbourResolver resolver;
        ElementLink link(database, notifier, resolver, {}); // the system's ports and broadcast
        if (!link.open()) {
            state.SkipWithError("port 2976 is taken");
            break;
        }
        Discovery discovery(link);
        int handled = 0;
        qint64 firstHandledNs = 0, lastHandledNs = 0;
        QElapsedTimer clock;
        QEventLoop loop;
        QObject::connect(&ElementLinkTestPeer(link).dispatch(), &ReceiveDispatch::datagramHandled, &link,
                         [&] {
                             lastHandledNs = clock.nsecsElapsed();
                             if (handled == 0)
                                 firstHandledNs = lastHandledNs;
                             if (++handled == int(lab.elementIps.size()))
                                 loop.quit();
                         });
        QObject::connect(&discovery, &Discovery::finished, &link,
                         [&] { inWindow = double(database.listing().size()); });
        clock.start();
        discovery.start();
        // Past the window until every report has been handled; an element that never resolves
        // holds the queue for five seconds.
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        loop.exec();
        if (discovery.state() ==
            Discovery::State::Waiting) { // everything is in before the window's end: wait for it
            QObject::connect(&discovery, &Discovery::finished, &loop, &QEventLoop::quit);
            loop.exec();
        }
        total = double(database.listing().size());
        firstMs = double(firstHandledNs) / 1e6;
        lastMs = double(lastHandledNs) / 1e6;
        state.SetIterationTime(double(lastHandledNs) / 1e9);
        if (!notifier.messages.isEmpty())
            state.SkipWithError(
                ondalink::render(notifier.messages.first()).primary.toLocal8Bit().constData());
    }
    state.counters["elements"] = int(lab.elementIps.size());
    state.counters["in_window"] = inWindow;
    state.counters["stored"] = total;
    state.counters["first_ms"] = firstMs;
    state.counters["last_ms"] = lastMs;
}
// One discovery per run, three runs each: every run is a row of its own.
BENCHMARK(BM_LabDiscovery)
    ->ArgName("cold")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    // The paging request is a broadcast: only ever from the NMS host of a lab.
    const bench::LabHosts lab = bench::readLab();
    if (!lab.onNmsHost()) {
        QTextStream(stderr) << "not on the NMS host of a lab: run bench/lab_discovery.sh" << Qt::endl;
        return 77;
    }
    return ondalink::bench::runBenchmarks(argc, argv);
}
