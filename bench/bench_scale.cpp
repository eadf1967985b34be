// SPDX-License-Identifier: GPL-3.0-or-later
// The real main window (offscreen) on databases of 1,000 and 10,000 elements: Load_Config (file and
// tree), NodeClick, one report stored by the report handler, memory with the list shown, and a
// discovery answered by every element in one burst. ONDALINK_BENCH_DIR chooses where nms.ini lives.
// BENCHMARK() registers each benchmark through a static object of the library's.
// clazy:excludeall=non-pod-global-static
#include "answering_peer.h"
#include "app/workstation.h"
#include "bench_main.h"
#include "console/models/element_list_model.h"
#include "console/models/element_list_proxy.h"
#include "console/widgets/element_tree.h"
#include "console/widgets/properties_panel.h"
#include "element_wire.h"
#include "fake_prober.h"
#include "fake_status.h"
#include "fakes.h"
#include "link/discovery.h"
#include "link/element_report_handler.h"
#include "link/receive_dispatch.h"
#include "link_test_peer.h"
#include "model/mac_text.h"
#include "store/atomic_file.h"
#include "window_widgets.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <ctime>
#include <map>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace ondalink;

namespace {

QString folder() {
    static QTemporaryDir dir(qEnvironmentVariable("ONDALINK_BENCH_DIR", QDir::tempPath()) +
                             u"/bench-scale-XXXXXX"_s);
    return dir.path();
}

QString keyOf(int i) {
    return QString::number(0x02000A000000LL + i, 16).rightJustified(12, u'0').toUpper();
}

quint32 ipOf(int i) {
    return 0x0A000000u + quint32(i) + 1; // 10.0.0.1 on
}

sim::ElementSettings settingsOf(int i) {
    sim::ElementSettings s;
    s.ip = ipOf(i);
    s.name = QByteArray("ELEMENT ").append(QByteArray::number(i));
    return s;
}

sim::ElementIdentity identityOf(int i) {
    sim::ElementIdentity id;
    id.role = i % 2 ? sim::kEncoder : sim::kDecoder;
    id.serial = quint32(1000 + i);
    return id;
}

// Every element answers ARP with the MAC its key names.
void teach(testing::ScriptedResolver &resolver, int elements) {
    for (int i = 0; i < elements; ++i)
        resolver.table.insert(htonl(ipOf(i)), QByteArray::fromHex(keyOf(i).toLatin1()));
}

// A database as a discovery of that many elements writes it.
QString database(int elements) {
    static std::map<int, QString> paths;
    QString &path = paths[elements];
    if (path.isEmpty()) {
        path = folder() + u"/nms-%1.ini"_s.arg(elements);
        QByteArray text;
        for (int i = 0; i < elements; ++i) {
            ElementReport report;
            decodeReport(sim::encodeReport(identityOf(i), settingsOf(i)), report);
            text += "[" + keyOf(i).toLatin1() + "]\r\n";
            for (const auto &[key, value] : discoveryKeys(report.record, report.carried))
                text += key.toUpper().toLatin1() + "=" + value.toLatin1() + "\r\n";
        }
        if (!replaceFileAtomically(path, text))
            qFatal("cannot write the benchmark database");
    }
    return path;
}

struct Window {
    testing::RecordingNotifier notifier;
    testing::ScriptedResolver resolver;
    testing::ScriptedProber prober;
    std::unique_ptr<Workstation> station;
    MainWindow *window = nullptr;

    explicit Window(const QString &path, quint16 pagingPort = 0) {
        MainWindowSettings settings;
        settings.databasePath = path;
        settings.link.bindAddress = QHostAddress(QHostAddress::LocalHost);
        settings.link.localPort = 0;
        settings.link.pagingHost = u"127.0.0.1"_s;
        settings.link.pagingPort = pagingPort;
        station = std::make_unique<Workstation>(WorkstationSeams{notifier, resolver, prober}, settings);
        window = station->window.get();
        if (!station->start())
            qFatal("the window did not start");
    }
};

void memoryCounters(benchmark::State &state) {
    QFile status(u"/proc/self/status"_s);
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        for (const char *field : {"VmRSS", "VmHWM"})
            if (line.startsWith(field))
                state.counters[std::string(field) + "_MiB"] =
                    line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
}

void BM_Load_Config(benchmark::State &state) {
    const int elements = int(state.range(0));
    Window w(database(elements));
    for (auto _ : state)
        w.window->Load_Config();
    if (testing::elementTree(*w.window).shownCount() != elements)
        state.SkipWithError("not every element is listed");
    memoryCounters(state);
}
BENCHMARK(BM_Load_Config)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The same reload with the status view attached: the reachability monitor, the silence watch and the
// event log's names follow the tree from its own reading of the file.
void BM_Load_ConfigWithStatus(benchmark::State &state) {
    const int elements = int(state.range(0));
    Window w(database(elements));
    testing::FakeAsyncProber prober;
    testing::FakeClock clock;
    testing::RecordingSink sink;
    QSettings settings(folder() + u"/user.conf"_s, QSettings::IniFormat);
    StatusConsole &status = w.station->addStatus(
        {prober, clock, sink, w.notifier, settings, folder() + u"/events"_s, folder() + u"/history"_s, {}});
    for (auto _ : state)
        w.window->Load_Config();
    if (int(status.reachability().states().size()) != elements)
        state.SkipWithError("the monitor does not follow the list");
    memoryCounters(state);
}
BENCHMARK(BM_Load_ConfigWithStatus)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Clicks a decoder and an encoder near the end of the list in turn: each click loads the panel anew.
void BM_NodeClick(benchmark::State &state) {
    const int elements = int(state.range(0));
    Window w(database(elements));
    QTreeView *tree = testing::elementTree(*w.window).tree();
    const QModelIndex nodes[] = {tree->model()->index(elements - 2, 0),
                                 tree->model()->index(elements - 1, 0)};
    int turn = 0;
    for (auto _ : state) {
        const QModelIndex &node = nodes[turn++ % 2];
        Q_EMIT tree->clicked(node);
    }
    if (testing::panel(*w.window).selectedMac() != nodes[(turn + 1) % 2].data(Qt::UserRole).toString())
        state.SkipWithError("the click did not select");
}
BENCHMARK(BM_NodeClick)->Arg(10000)->Unit(benchmark::kMillisecond);

// The list as the operator sees it: shown, its pending layout and paint done before the clock stops.
void settle(QTreeView &tree) {
    QCoreApplication::sendPostedEvents();
    tree.viewport()->repaint();
}

qint64 threadCpuNs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The longest of the steps timed, on the wall clock and in this thread's CPU time: on a loaded
// machine the wall clock also counts the time spent waiting for a core.
struct Worst {
    qint64 wallNs = 0;
    qint64 cpuNs = 0;
    QElapsedTimer wall;
    qint64 cpuStart = 0;
    void start() {
        wall.start();
        cpuStart = threadCpuNs();
    }
    void stop() {
        wallNs = std::max(wallNs, wall.nsecsElapsed());
        cpuNs = std::max(cpuNs, threadCpuNs() - cpuStart);
    }
    void report(benchmark::State &state, const std::string &name) const {
        state.counters[name + "_wall_ms"] = double(wallNs) / 1e6;
        state.counters[name + "_cpu_ms"] = double(cpuNs) / 1e6;
    }
};

// One keystroke in the filter box, typing and deleting "1234" in turn: the rows that contain the
// text in their name, MAC or address are kept, the caption counts them and the list repaints.
void BM_FilterKeystroke(benchmark::State &state) {
    const int elements = int(state.range(0));
    Window w(database(elements));
    w.window->show();
    ElementTree &list = testing::elementTree(*w.window);
    const QStringList texts = {u"1"_s, u"12"_s, u"123"_s, u"1234"_s, u"123"_s, u"12"_s, u"1"_s, QString()};
    Worst worst;
    int turn = 0;
    for (auto _ : state) {
        worst.start();
        list.filterBox()->setText(texts.at(turn++ % texts.size()));
        settle(*list.tree());
        worst.stop();
    }
    list.filterBox()->setText(u"ELEMENT 9999"_s);
    if (elements == 10000 && list.shownCount() != 1)
        state.SkipWithError("the filter does not narrow the list");
    worst.report(state, "worst");
}
BENCHMARK(BM_FilterKeystroke)->Arg(10000)->Unit(benchmark::kMillisecond);

// A click on a column's header: each column in turn, ascending, descending and back to the file's
// order, on a list whose rows all have a status, a time and a round trip.
void BM_Sort(benchmark::State &state) {
    const int elements = int(state.range(0));
    Window w(database(elements));
    w.window->show();
    ElementTree &list = testing::elementTree(*w.window);
    const QDateTime start = QDateTime::currentDateTimeUtc();
    for (int i = 0; i < elements; ++i) {
        ElementState status;
        status.key = keyOf(i);
        status.status = i % 7 ? ElementStatus::Online : ElementStatus::Offline;
        status.lastSeen = start.addMSecs(qint64(i * 7919) % 10000);
        status.roundTripMs = (i * 31) % 200;
        list.model().setReachability(status);
    }
    list.model().flushChanges();
    Worst worst;
    int turn = 0;
    for (auto _ : state) {
        const int step = turn++ % (3 * ElementListModel::ColumnCount);
        worst.start();
        if (step % 3 == 2)
            list.showFileOrder();
        else
            list.tree()->sortByColumn(step / 3, step % 3 ? Qt::DescendingOrder : Qt::AscendingOrder);
        settle(*list.tree());
        worst.stop();
    }
    worst.report(state, "worst");
}
BENCHMARK(BM_Sort)->Arg(10000)->Unit(benchmark::kMillisecond);

// Every element's status changes at once (the worst a round of probes can do) on a list sorted by
// status, filtered to half its rows: how long the model takes the changes, and the longest turn of
// the event loop while the rows are updated and moved.
void BM_StatusRound(benchmark::State &state) {
    const int elements = int(state.range(0));
    Window w(database(elements));
    w.window->show();
    ElementTree &list = testing::elementTree(*w.window);
    list.tree()->sortByColumn(ElementListModel::StatusColumn, Qt::AscendingOrder);
    list.filterBox()->setText(u"0"_s);
    settle(*list.tree());
    Worst longestTurn;
    Worst taking; // the model taking all 10,000 changes, before any is shown
    qint64 turns = 0;
    int round = 0;
    for (auto _ : state) {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        ++round;
        taking.start();
        for (int i = 0; i < elements; ++i) {
            ElementState status;
            status.key = keyOf(i);
            status.status = (i + round) % 3 ? ElementStatus::Online : ElementStatus::Offline;
            status.lastSeen = now;
            status.roundTripMs = (i + round) % 100;
            list.model().setReachability(status);
        }
        taking.stop();
        while (list.model().hasPendingChanges()) {
            longestTurn.start();
            QCoreApplication::processEvents();
            settle(*list.tree());
            longestTurn.stop();
            ++turns;
        }
    }
    longestTurn.report(state, "longest_turn");
    taking.report(state, "model_takes_all");
    state.counters["turns_per_round"] = double(turns) / double(state.iterations());
}
BENCHMARK(BM_StatusRound)->Arg(10000)->Unit(benchmark::kMillisecond);

// The handler's write path for one report confirming a write to the selected element (decode, MAC
// lookup, sender and key-count checks, comparison, one replacement of the file), tree reload aside.
void BM_ReportStored(benchmark::State &state) {
    const int elements = int(state.range(0));
    const QString path = folder() + u"/stored.ini"_s;
    QFile::remove(path);
    QFile::copy(database(elements), path);
    ElementDatabase db(path);
    testing::RecordingNotifier notifier;
    testing::ScriptedResolver resolver;
    ConfigurationWrite panel;
    const int i = elements / 2;
    teach(resolver, elements);
    ElementReport shown;
    decodeReport(sim::encodeReport(identityOf(i), settingsOf(i)), shown);
    const ElementRecord &r = shown.record;
    panel.mac = elementKeyToMac(keyOf(i));
    std::tie(panel.name, panel.ip, panel.mask, panel.gw, panel.remote) =
        std::tie(r.name, r.ip, r.mask, r.gw, r.remote);
    std::tie(panel.input, panel.type, panel.tx) = std::tuple(r.input, r.type, r.tx);
    ReportHandlerHooks hooks;
    hooks.shown = [&panel] { return panel; };
    hooks.post = [](const ReceiveDispatch::Work &work) { work({}); }; // every address answers at once
    ElementReportHandler handler(db, notifier, resolver, std::move(hooks));
    sim::ElementSettings s = settingsOf(i);
    int turn = 0;
    for (auto _ : state) {
        s.att = quint8(100 + turn++ % 100); // every report changes the file
        handler.handleReport(sim::encodeReport(identityOf(i), s), Ipv4Address{}, false, {});
    }
    if (notifier.messages.isEmpty() || notifier.messages.last().id != MessageId::ConfigurationSaved ||
        db.read(keyOf(i), u"att"_s) != QString::number(s.att))
        state.SkipWithError("the report was not stored");
}
BENCHMARK(BM_ReportStored)->Arg(10000)->Unit(benchmark::kMillisecond);

// Every element answers one paging request at once, from another thread as a network would; timed
// from the confirmation to the tree listing every element that was stored.
void BM_Discovery(benchmark::State &state) {
    const int elements = int(state.range(0));
    QList<QByteArray> reports;
    for (int i = 0; i < elements; ++i)
        reports.append(sim::encodeReport(identityOf(i), settingsOf(i)));
    testing::AnsweringPeer network(reports);
    for (auto _ : state) {
        const QString path = folder() + u"/discovery.ini"_s;
        QFile::remove(path);
        Window w(path, network.port());
        teach(w.resolver, elements);
        w.notifier.answers.push_back(Answer::Yes);
        QElapsedTimer clock;
        clock.start();
        w.window->AutoDiscovery(); // returns when the three-second wait is over
        const int listedAtTheEnd = testing::elementTree(*w.window).shownCount();
        ElementLinkTestPeer link(w.station->link);
        QEventLoop loop;
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (link.drained())
                loop.quit();
        });
        check.start(5);
        loop.exec();
        state.SetIterationTime(double(clock.elapsed()) / 1000);
        state.counters["listed_at_end_of_wait"] = listedAtTheEnd;
        state.counters["stored"] = double(w.station->database.listing().size());
        state.counters["listed"] = testing::elementTree(*w.window).shownCount();
        state.counters["dropped_queue_full"] = double(link.endpoint().overflowCount());
    }
}
BENCHMARK(BM_Discovery)->Arg(1000)->Arg(10000)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return ondalink::bench::runBenchmarks(argc, argv);
}
