// SPDX-License-Identifier: GPL-3.0-or-later
// The program's window on the NMS host of a lab (lab/lab up N), on the system's ports, while element
// hosts send 20,000 hostile datagrams in ten seconds to its port: random lengths and bytes, blocks of
// a level reply's length, reports with a corrupt coded field, empty datagrams. Meanwhile an element
// is shown, with its level monitored, and other elements are selected by mouse clicks. Measured: the
// longest gap between the ticks of a 5 ms timer, and the latency of an event posted from another
// thread every 100 ms that asks the window an accessibility question. Run by bench/lab_flood.sh.
//
// The same binary is the sender: bench_lab_flood --send ADDR:PORT --count N --ms T --seed S, run on
// an element host by the measuring side.
// BENCHMARK() registers each benchmark through a static object of the library's.
// clazy:excludeall=non-pod-global-static
#include "app/workstation.h"
#include "bench_main.h"
#include "console/widgets/element_tree.h"
#include "diag/linux/async_icmp_prober.h"
#include "diag/linux/icmp_prober.h"
#include "diag/linux/neighbour_resolver.h"
#include "element_wire.h"
#include "fake_status.h"
#include "fakes.h"
#include "lab_hosts.h"
#include "link/datagrams.h"
#include "link/discovery.h"
#include "link/element_link.h"
#include "link/level_monitor.h"
#include "link/receive_dispatch.h"
#include "link/udp_endpoint.h"
#include "link_test_peer.h"
#include "status/clock.h"
#include "status/event_log.h"
#include "store/element_database.h"
#include "thread_times.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QTreeView>
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <netinet/in.h>
#include <random>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace ondalink;

namespace {

constexpr int kDatagrams = 20000;
constexpr int kFloodMs = 10000;
constexpr int kSenders = 2;
constexpr int kStallProbeMs = 5;
constexpr int kWatchdogMs = 100;
constexpr int kSelectionEveryMs = 1500;

// ---- The sender ----------------------------------------------------------------------------------

// One datagram of the flood: 40% random bytes of random length, 20% level-reply blocks, 25% reports
// with one coded field out of range (cut or padded to 40-48 bytes now and then), 15% empty.
QByteArray floodDatagram(std::mt19937 &random) {
    const auto randomBytes = [&](int length) {
        QByteArray bytes(length, Qt::Uninitialized);
        for (char &c : bytes)
            c = char(random());
        return bytes;
    };
    const unsigned shape = random() % 100;
    if (shape < 40)
        return randomBytes(int(random() % 2001));
    if (shape < 60)
        return randomBytes(kLevelReplyLength);
    if (shape < 85) {
        sim::ElementIdentity id;
        id.role = random() % 2 == 0 ? 1 : 2;
        id.serial = random() % 100000;
        sim::ElementSettings settings;
        settings.ip = 0x0A000000u | (random() & 0xFFFFFFu);
        QByteArray report = sim::encodeReport(id, settings);
        const int offsets[] = {16, 17, 18, 35, 36}; // input, type, TX, role, serial
        const int kind = int(random() % 5);
        report[offsets[kind]] = char(kind == 4 ? 0x80 : 7 + random() % 100);
        if (random() % 4 == 0)
            report.resize(40 + int(random() % 9), '\0');
        return report;
    }
    return {};
}

// Sends count datagrams evenly over ms milliseconds; prints what was sent.
int sendFlood(const QString &target, int count, int ms, quint32 seed) {
    const QStringList parts = target.split(u':');
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(quint16(parts.value(1).toUInt()));
    if (parts.size() != 2 || ::inet_pton(AF_INET, parts.first().toLatin1().constData(), &to.sin_addr) != 1) {
        std::fprintf(stderr, "--send ADDR:PORT\n");
        return 2;
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0)
        return 1;
    std::mt19937 random(seed);
    timespec next{};
    ::clock_gettime(CLOCK_MONOTONIC, &next);
    const long stepNs = long(ms) * 1000000L / std::max(count, 1);
    int sent = 0, refused = 0;
    for (int i = 0; i < count; ++i) {
        const QByteArray datagram = floodDatagram(random);
        if (::sendto(fd, datagram.constData(), size_t(datagram.size()), 0, reinterpret_cast<sockaddr *>(&to),
                     sizeof to) == datagram.size())
            ++sent;
        else
            ++refused;
        next.tv_nsec += stepNs;
        while (next.tv_nsec >= 1000000000L) {
            next.tv_nsec -= 1000000000L;
            ++next.tv_sec;
        }
        ::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
    }
    ::close(fd);
    std::printf("sent %d, refused %d\n", sent, refused);
    return 0;
}

// ---- The measuring side --------------------------------------------------------------------------

// Times every event the application delivers from its own loop (not those nested in another), and
// keeps the slowest: where a stall comes from when the stall probe shows one.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;

    using Kind = QPair<const QMetaObject *, int>; // receiver's class, event type

    struct Slow {
        qint64 ns = 0;
        QString what;
    };

    bool notify(QObject *receiver, QEvent *event) override {
        if (!m_timing)
            return QApplication::notify(receiver, event);
        if (m_depth > 0) {
            // Inside another event only the paints are counted: what a repaint spends its time on.
            if (event->type() != QEvent::Paint)
                return QApplication::notify(receiver, event);
            const Kind kind{receiver->metaObject(), int(event->type())};
            QElapsedTimer clock;
            clock.start();
            const bool result = QApplication::notify(receiver, event);
            Total &total = m_totals[kind];
            total.ns += clock.nsecsElapsed();
            ++total.count;
            return result;
        }
        // Read before delivery: the event or its receiver may be gone after it.
        const Kind kind{receiver->metaObject(), int(event->type())};
        const QString name = receiver->objectName();
        const QObject *parent = receiver->parent();
        const QMetaObject *parentClass = parent != nullptr ? parent->metaObject() : nullptr;
        ++m_depth;
        QElapsedTimer clock;
        clock.start();
        const bool result = QApplication::notify(receiver, event);
        const qint64 ns = clock.nsecsElapsed();
        --m_depth;
        if (m_slowest.size() < kKept || ns > m_slowest.last().ns)
            keep(ns, describe(kind, name, parentClass));
        Total &total = m_totals[kind];
        total.ns += ns;
        ++total.count;
        return result;
    }

    struct Total {
        qint64 ns = 0;
        qint64 count = 0;
    };

    // Every kind of event (receiver class, event type) with its total time, the costliest first. The
    // paints are part of the repaint (UpdateRequest) that made them.
    QList<QPair<QString, Total>> totals() const {
        QList<QPair<QString, Total>> list;
        for (auto it = m_totals.cbegin(); it != m_totals.cend(); ++it)
            list.append({QString::fromLatin1(it.key().first->className()) + u", event "_s +
                             QString::number(it.key().second),
                         it.value()});
        std::sort(list.begin(), list.end(),
                  [](const auto &a, const auto &b) { return a.second.ns > b.second.ns; });
        return list;
    }

    void startTiming() {
        m_slowest.clear();
        m_totals.clear();
        m_timing = true;
    }
    void stopTiming() { m_timing = false; }
    const QList<Slow> &slowest() const { return m_slowest; }

private:
    static constexpr qsizetype kKept = 5;

    static QString describe(const Kind &kind, const QString &name, const QMetaObject *parentClass) {
        QString what = QString::fromLatin1(kind.first->className());
        if (!name.isEmpty())
            what += u" "_s + name;
        if (parentClass != nullptr)
            what += u" in "_s + QString::fromLatin1(parentClass->className());
        return what + u", event "_s + QString::number(kind.second);
    }

    void keep(qint64 ns, const QString &what) {
        m_slowest.append({ns, what});
        std::sort(m_slowest.begin(), m_slowest.end(),
                  [](const Slow &a, const Slow &b) { return a.ns > b.ns; });
        if (m_slowest.size() > kKept)
            m_slowest.removeLast();
    }

    int m_depth = 0;
    bool m_timing = false;
    QList<Slow> m_slowest;
    QHash<Kind, Total> m_totals;
};

// Receives the watchdog's events: each carries the moment it was posted, and is answered with an
// accessibility question to the window, as a screen reader would ask it.
class WatchdogReceiver : public QObject {
public:
    static inline const QEvent::Type kType = QEvent::Type(QEvent::registerEventType());

    class Stamp : public QEvent {
    public:
        explicit Stamp(std::chrono::steady_clock::time_point postedAt) : QEvent(kType), posted(postedAt) {}
        std::chrono::steady_clock::time_point posted;
    };

    explicit WatchdogReceiver(QWidget &window) : m_window(window) {}

    bool event(QEvent *event) override {
        if (event->type() != kType)
            return QObject::event(event);
        if (QAccessibleInterface *a = QAccessible::queryAccessibleInterface(&m_window))
            m_answer = a->text(QAccessible::Name).size() + a->childCount();
        const auto latency = std::chrono::steady_clock::now() - static_cast<Stamp *>(event)->posted;
        const qint64 ms = std::chrono::duration_cast<std::chrono::milliseconds>(latency).count();
        longestMs = std::max(longestMs, ms);
        if (ms > 500)
            ++late;
        ++answered;
        return true;
    }

    qint64 longestMs = 0;
    int late = 0;
    int answered = 0;

private:
    QWidget &m_window;
    int m_answer = 0;
};

// Time on a core of every thread of this process, by thread name, in µs.
QHash<QString, qint64> threadCpuByName() {
    QHash<QString, qint64> cpu;
    const QDir tasks(u"/proc/self/task"_s);
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile name(tasks.filePath(task + u"/comm"_s)), stat(tasks.filePath(task + u"/schedstat"_s));
        if (!name.open(QIODevice::ReadOnly) || !stat.open(QIODevice::ReadOnly))
            continue;
        cpu[QString::fromLatin1(name.readAll().trimmed())] +=
            stat.readAll().simplified().split(' ').value(0).toLongLong() / 1000;
    }
    return cpu;
}

bool discoverInto(const QString &iniPath, int elements) {
    ElementDatabase database(iniPath);
    testing::RecordingNotifier notifier;
    NeighbourResolver resolver;
    ElementLink link(database, notifier, resolver, {});
    if (!link.open())
        return false;
    Discovery discovery(link);
    QEventLoop loop;
    QObject::connect(&discovery, &Discovery::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(15000, &loop, &QEventLoop::quit);
    discovery.start();
    loop.exec();
    return database.listing().size() == elements;
}

void clickRow(QTreeView &tree, int row) {
    const QModelIndex index = tree.model()->index(row, 0);
    if (!index.isValid())
        return;
    tree.scrollTo(index);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualRect(index).center());
}

void BM_LabFlood(benchmark::State &state) {
    auto &app = *static_cast<TimedApplication *>(QCoreApplication::instance());
    const bench::LabHosts lab = bench::readLab();
    const QString labCommand = qEnvironmentVariable("ONDALINK_LAB");
    for (auto _ : state) {
        QTemporaryDir dir(QDir::tempPath() + u"/bench-XXXXXX"_s);
        const QString ini = dir.filePath(u"nms.ini"_s);
        if (!discoverInto(ini, int(lab.elementIps.size()))) {
            state.SkipWithError("the discovery did not find every element");
            break;
        }
        testing::RecordingNotifier notifier; // no modal box: the flood's messages are recorded
        NeighbourResolver resolver;
        IcmpProber prober;
        MainWindowSettings settings;
        settings.databasePath = ini;
        Workstation station({notifier, resolver, prober}, settings);
        MainWindow &window = *station.window;
        if (!station.start()) {
            state.SkipWithError("start-up failed");
            break;
        }
        // The status view as the program has it: probes, and the event log the flood must not flood.
        AsyncIcmpProber probes;
        testing::RecordingSink sink;
        QSettings user(dir.filePath(u"user.conf"_s), QSettings::IniFormat);
        StatusConsole &status = station.addStatus({probes,
                                                   systemClock(),
                                                   sink,
                                                   notifier,
                                                   user,
                                                   dir.filePath(u"events"_s),
                                                   dir.filePath(u"history"_s),
                                                   {}});
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            state.SkipWithError("the window is not shown");
            break;
        }
        auto *tree = window.findChild<QTreeView *>(u"TreeView1"_s);
        auto *startMonitoring = window.findChild<QAction *>(u"actStartMonitoring"_s);
        const int rows = tree->model()->rowCount();
        int row = rows - 1; // the last element is a decoder: its level is monitored
        QElapsedTimer sinceClick;
        qint64 longestClickMs = 0;
        const auto select = [&] {
            sinceClick.start();
            clickRow(*tree, row);
            if (startMonitoring->isEnabled())
                startMonitoring->trigger();
            row = (row + 1) % rows;
            longestClickMs = std::max(longestClickMs, sinceClick.elapsed());
        };
        select();
        QTest::qWait(500);
        notifier.messages.clear();

        // Evidence that the operator's side really ran: elements loaded by the clicks, level peaks.
        int loaded = 0, peaks = 0, reloads = 0;
        QObject counting; // goes before the counts do
        QObject::connect(window.findChild<ElementTree *>(), &ElementTree::NodeClick, &counting,
                         [&] { ++loaded; });
        QObject::connect(&station.level, &LevelMonitor::peakChanged, &counting, [&] { ++peaks; });
        QObject::connect(&station.link, &ElementLink::reloadTreeRequested, &counting, [&] { ++reloads; });

        ElementLinkTestPeer peer(station.link);
        const quint64 handledBefore = peer.dispatch().dispatchedCount();
        const quint64 filteredBefore = peer.endpoint().filteredCount();
        const quint64 overflowBefore = peer.endpoint().overflowCount();

        // The stall probe. What the main thread did over the longest gap tells a loop that was busy
        // (time on a core close to the gap) from one that was not given a core (a loaded machine).
        QElapsedTimer sinceTick;
        qint64 longestGapMs = 0, longestGapAfterClickMs = 0;
        testing::ThreadTimes atTick = testing::threadTimes(), overLongest;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const qint64 gap = sinceTick.restart();
            const testing::ThreadTimes now = testing::threadTimes();
            if (gap > longestGapMs) {
                longestGapMs = gap;
                longestGapAfterClickMs = sinceClick.elapsed() - gap; // where it began
                overLongest = now - atTick;
            }
            atTick = now;
        });
        // The watchdog: from its own thread, so that a held loop cannot delay the posting.
        WatchdogReceiver receiver(window);
        std::atomic<bool> watching = true;
        std::thread watchdog([&] {
            while (watching) {
                QCoreApplication::postEvent(&receiver,
                                            new WatchdogReceiver::Stamp(std::chrono::steady_clock::now()));
                std::this_thread::sleep_for(std::chrono::milliseconds(kWatchdogMs));
            }
        });
        QTimer selection;
        QObject::connect(&selection, &QTimer::timeout, select);

        QList<QProcess *> senders;
        int running = kSenders;
        QEventLoop loop;
        for (int i = 0; i < kSenders; ++i) {
            auto *sender = new QProcess(&window);
            sender->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            // The loop is the context: the connection ends with it, before the count it reads.
            QObject::connect(sender, &QProcess::finished, &loop, [&] {
                if (--running == 0) // clazy:exclude=lambda-in-connect
                    loop.quit();
            });
            const QStringList args{u"element"_s,
                                   QString::number(i % lab.elementIps.size() + 1),
                                   QCoreApplication::applicationFilePath(),
                                   u"--send"_s,
                                   lab.nmsIp + u":2976"_s,
                                   u"--count"_s,
                                   QString::number(kDatagrams / kSenders),
                                   u"--ms"_s,
                                   QString::number(kFloodMs),
                                   u"--seed"_s,
                                   QString::number(std::random_device()() % 1000000)};
            senders.append(sender);
            sender->start(labCommand, args);
        }
        QElapsedTimer flood;
        flood.start();
        const QHash<QString, qint64> threadsBefore = threadCpuByName();
        app.startTiming();
        sinceTick.start();
        atTick = testing::threadTimes();
        probe.start(kStallProbeMs);
        selection.start(kSelectionEveryMs);
        QTimer::singleShot(kFloodMs * 3, &loop, &QEventLoop::quit);
        loop.exec();
        selection.stop();
        // What has arrived is handled before the probe stops.
        QEventLoop drain;
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, &drain, [&] {
            if (peer.drained())
                drain.quit();
        });
        check.start(10);
        QTimer::singleShot(10000, &drain, &QEventLoop::quit);
        drain.exec();
        const double floodMs = double(flood.nsecsElapsed()) / 1e6;
        probe.stop();
        app.stopTiming();
        const QHash<QString, qint64> threadsAfter = threadCpuByName();
        for (auto it = threadsAfter.cbegin(); it != threadsAfter.cend(); ++it)
            std::fprintf(stderr, "threads named %s: %.1f ms on a core\n", it.key().toLocal8Bit().constData(),
                         double(it.value() - threadsBefore.value(it.key())) / 1e3);
        watching = false;
        watchdog.join();
        QCoreApplication::sendPostedEvents(&receiver);
        int failedSenders = 0;
        QByteArray said;
        for (QProcess *sender : senders) {
            sender->waitForFinished(1000);
            said += sender->readAllStandardOutput().trimmed() + "; ";
            if (sender->exitStatus() != QProcess::NormalExit || sender->exitCode() != 0)
                ++failedSenders;
        }
        state.SetLabel(said.chopped(2).toStdString());
        if (failedSenders > 0) {
            state.SkipWithError("a sender failed");
            break;
        }
        state.SetIterationTime(floodMs / 1e3);
        state.counters["longest_stall_ms"] = double(longestGapMs);
        state.counters["click_ms"] = double(longestClickMs);
        state.counters["its_start_after_click_ms"] = double(longestGapAfterClickMs);
        state.counters["its_cpu_ms"] = double(overLongest.cpuUs) / 1e3;
        state.counters["its_wait_ms"] = double(overLongest.waitUs) / 1e3;
        state.counters["its_majflt"] = double(overLongest.majorFaults);
        state.counters["its_sleeps"] = double(overLongest.sleeps);
        state.counters["watchdog_max_ms"] = double(receiver.longestMs);
        state.counters["watchdog_late"] = receiver.late;
        state.counters["watchdog_n"] = receiver.answered;
        state.counters["handled"] = double(peer.dispatch().dispatchedCount() - handledBefore);
        state.counters["by_length"] = double(peer.endpoint().filteredCount() - filteredBefore);
        state.counters["queue_full"] = double(peer.endpoint().overflowCount() - overflowBefore);
        state.counters["boxes"] = double(notifier.messages.size());
        state.counters["loaded"] = loaded;
        state.counters["peaks"] = peaks;
        state.counters["tree_reloads"] = reloads;
        const QList<EventRow> &events = status.eventLog().rows();
        state.counters["event_rows"] = double(events.size());
        state.counters["refused_rows"] =
            double(std::count_if(events.cbegin(), events.cend(),
                                 [](const EventRow &e) { return e.event == u"Element refused"_s; }));
        for (const auto &[what, total] : app.totals().mid(0, 8))
            std::fprintf(stderr, "costliest events: %.1f ms in %lld, %s\n", double(total.ns) / 1e6,
                         total.count, what.toLocal8Bit().constData());
        for (const TimedApplication::Slow &slow : app.slowest())
            std::fprintf(stderr, "slowest event: %.1f ms, %s\n", double(slow.ns) / 1e6,
                         slow.what.toLocal8Bit().constData());
    }
}
BENCHMARK(BM_LabFlood)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    const QStringList args = [&] {
        QStringList list;
        for (int i = 0; i < argc; ++i)
            list.append(QString::fromLocal8Bit(argv[i]));
        return list;
    }();
    if (args.value(1) == u"--send"_s) {
        const auto option = [&](const QString &name, int fallback) {
            const qsizetype at = args.indexOf(name);
            return at < 0 ? fallback : args.value(at + 1).toInt();
        };
        return sendFlood(args.value(2), option(u"--count"_s, 1000), option(u"--ms"_s, 1000),
                         quint32(option(u"--seed"_s, 1)));
    }
    TimedApplication app(argc, argv);
    // Only ever against the NMS host of a lab: the system's ports, and a flood from its element hosts.
    const bench::LabHosts lab = bench::readLab();
    if (!lab.onNmsHost() || lab.elementIps.isEmpty() || qEnvironmentVariable("ONDALINK_LAB").isEmpty()) {
        QTextStream(stderr) << "not on the NMS host of a lab: run bench/lab_flood.sh" << Qt::endl;
        return 77;
    }
    return ondalink::bench::runBenchmarks(argc, argv);
}
