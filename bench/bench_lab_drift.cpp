// SPDX-License-Identifier: GPL-3.0-or-later
// One round of the drift watch over a bulk lab's elements (lab/lab up N --bulk) from its NMS host:
// a discovery stores them, then every element is paged by unicast once and its answer compared
// with its section. What the NMS thread spends on the round, and the longest the event loop was
// held. Run by bench/lab_drift.sh.
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
#include "status/drift_watch.h"
#include "store/element_database.h"
#include "thread_times.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace ondalink;

namespace {

void BM_LabDriftRound(benchmark::State &state) {
    const bench::LabHosts lab = bench::readLab();
    const int roundMs = static_cast<int>(state.range(0)) * 1000;
    double messages = 0, cpuShare = 0, cpuMs = 0, answers = 0, drifted = 0, listed = 0, longestStallMs = 0;
    for (auto _ : state) {
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
        QEventLoop loop;
        // Every answer handled (a loaded machine handles the last ones after the window), then the
        // window's end.
        int handled = 0;
        const QMetaObject::Connection counting = QObject::connect(
            &ElementLinkTestPeer(link).dispatch(), &ReceiveDispatch::datagramHandled, &link, [&] {
                if (++handled == int(lab.elementIps.size()))
                    loop.quit();
            });
        discovery.start();
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        loop.exec();
        QObject::disconnect(counting);
        if (discovery.state() == Discovery::State::Waiting) {
            QObject::connect(&discovery, &Discovery::finished, &loop, &QEventLoop::quit);
            loop.exec();
        }
        const QList<ElementListing> listing = database.listing();
        listed = double(listing.size());

        DriftWatch watch(link, database);
        QObject::connect(&watch, &DriftWatch::driftFound, &watch, [&] { ++drifted; });
        watch.reload(listing);
        // A 1 ms beat: the longest gap between two beats, less the beat, is the longest stall.
        QElapsedTimer beat;
        qint64 lastNs = 0, longestNs = 0;
        QTimer beats;
        beats.setTimerType(Qt::PreciseTimer);
        QObject::connect(&beats, &QTimer::timeout, &beats, [&] {
            const qint64 now = beat.nsecsElapsed();
            longestNs = std::max(longestNs, now - lastNs);
            lastNs = now;
        });
        QElapsedTimer wall;
        const testing::ThreadTimes before = testing::threadTimes();
        wall.start();
        beat.start();
        beats.start(1);
        watch.setIntervalMs(roundMs);
        // The round, and the last answers.
        QTimer::singleShot(roundMs + 3000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
        const testing::ThreadTimes used = testing::threadTimes() - before;
        cpuMs = double(used.cpuUs) / 1000.0;
        cpuShare = 100.0 * double(used.cpuUs) / (double(wall.nsecsElapsed()) / 1000.0);
        longestStallMs = double(longestNs) / 1e6 - 1.0;
        answers = double(watch.answersCompared());
        messages = double(notifier.messages.size());
        if (!notifier.messages.isEmpty()) {
            const MessageText text = ondalink::render(notifier.messages.first());
            QTextStream(stderr) << text.primary << u' ' << text.informative << Qt::endl;
        }
    }
    state.counters["elements"] = double(lab.elementIps.size());
    state.counters["listed"] = listed;
    state.counters["compared"] = answers;
    state.counters["drifted"] = drifted;
    state.counters["messages"] = messages; // boxes the operator would have seen: none
    state.counters["cpu_ms"] = cpuMs;
    state.counters["cpu_percent"] = cpuShare;
    state.counters["longest_stall_ms"] = longestStallMs;
}
// One round spread over 20 s.
BENCHMARK(BM_LabDriftRound)->Arg(20)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    // The discovery's paging request is a broadcast: only ever from the NMS host of a lab.
    const bench::LabHosts lab = bench::readLab();
    if (!lab.onNmsHost()) {
        QTextStream(stderr) << "not on the NMS host of a lab: run bench/lab_drift.sh" << Qt::endl;
        return 77;
    }
    return ondalink::bench::runBenchmarks(argc, argv);
}
