// SPDX-License-Identifier: GPL-3.0-or-later
// The element database at scale: listing, one read, one write and one report-sized write; the
// configuration history of a first discovery and of an element with a full history.
// BENCHMARK() registers each benchmark through a static object of the library's.
// clazy:excludeall=non-pod-global-static
#include "store/atomic_file.h"
#include "store/configuration_history.h"
#include "store/element_database.h"
#include "store/ini_edit.h"
#include "store/profile_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <map>

using namespace Qt::StringLiterals;
using namespace ondalink;

namespace {

QString keyOf(int i) {
    return QString::number(0x00A0C9000000LL + i, 16).rightJustified(12, u'0').toUpper();
}

// A decoder's seventeen keys, as a discovery stores them.
QList<std::pair<QString, QString>> decoderKeys(int i, int variant = 0) {
    const QString n = QString::number(i);
    return {{u"name"_s, (u"DEC "_s + n).leftJustified(16)},
            {u"ip"_s, u"10.%1.%2.%3"_s.arg(i >> 16).arg((i >> 8) & 255).arg(i & 255)},
            {u"mask"_s, u"255.0.0.0"_s},
            {u"gw"_s, u"10.0.0.1"_s},
            {u"remote"_s, u"10.0.0.2"_s},
            {u"input"_s, u"1"_s},
            {u"type"_s, u"0"_s},
            {u"tx"_s, u"0"_s},
            {u"role"_s, u"2"_s},
            {u"sn"_s, QString::number(100000 + i)},
            {u"ver"_s, u"3.4"_s},
            {u"sfn"_s, u"0"_s},
            {u"buf"_s, u"4"_s},
            {u"att"_s, QString::number(200 + variant)},
            {u"sdm"_s, u"0"_s},
            {u"sdl"_s, QString::number(37 + variant)},
            {u"sdt"_s, u"43"_s}};
}

// One generated database per size, kept for the whole run.
const QString &database(int elements) {
    static QTemporaryDir dir;
    static std::map<int, QString> paths;
    auto &path = paths[elements];
    if (path.isEmpty()) {
        path = dir.filePath(u"nms-%1.ini"_s.arg(elements));
        QByteArray text;
        for (int i = 0; i < elements; ++i) {
            text += "[" + keyOf(i).toLatin1() + "]\r\n";
            for (const auto &[key, value] : decoderKeys(i))
                text += key.toUpper().toLatin1() + "=" + value.toLatin1() + "\r\n";
        }
        if (!replaceFileAtomically(path, text))
            qFatal("cannot write the benchmark database");
    }
    return path;
}

void BM_Listing(benchmark::State &state) {
    const ElementDatabase db(database(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        const QList<ElementListing> elements = db.listing();
        benchmark::DoNotOptimize(elements.data());
    }
    state.counters["elements"] = static_cast<double>(state.range(0));
    state.counters["bytes"] = static_cast<double>(QFile(db.path()).size());
}
BENCHMARK(BM_Listing)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The last element is the furthest from the start of the file.
void BM_ReadFromINI(benchmark::State &state) {
    const QString &path = database(10000);
    const QString last = keyOf(9999);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadFromINI(last, u"sdt"_s, path));
}
BENCHMARK(BM_ReadFromINI)->Unit(benchmark::kMicrosecond);

void BM_WriteToINI(benchmark::State &state) {
    const QString &path = database(10000);
    const QString middle = keyOf(5000);
    int value = 0;
    for (auto _ : state) {
        if (!WriteToINI(middle, u"att"_s, QString::number(100 + (++value % 100)), path))
            state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_WriteToINI)->Unit(benchmark::kMicrosecond);

void BM_WriteSectionToINI(benchmark::State &state) {
    const QString &path = database(10000);
    const QString middle = keyOf(5000);
    int variant = 0;
    for (auto _ : state) {
        if (!WriteSectionToINI(middle, decoderKeys(5000, ++variant % 50), path))
            state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_WriteSectionToINI)->Unit(benchmark::kMicrosecond);

// The same report store without the disk: reading the file, finding the section and splicing.
void BM_WriteSectionInMemory(benchmark::State &state) {
    const QByteArray file = readWholeFile(database(10000)).bytes;
    const QByteArray section = keyOf(5000).toLatin1();
    int variant = 0;
    for (auto _ : state) {
        ini::KeyValues pairs;
        for (const auto &[key, value] : decoderKeys(5000, ++variant % 50))
            pairs.append({key.toUpper().toLatin1(), value.toLatin1()});
        benchmark::DoNotOptimize(ini::setKeys(file, section, pairs));
    }
}
BENCHMARK(BM_WriteSectionInMemory)->Unit(benchmark::kMicrosecond);

ConfigurationVersion historyVersion(int i, int variant) {
    ConfigurationVersion version;
    version.time = QDateTime::currentDateTimeUtc();
    version.keys = decoderKeys(i, variant);
    return version;
}

// A first discovery: one new file per element, 10,000 of them, in one fresh folder per iteration.
void BM_HistoryFirstDiscovery(benchmark::State &state) {
    const int elements = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        ConfigurationHistory history(dir.filePath(u"history"_s));
        state.ResumeTiming();
        for (int i = 0; i < elements; ++i) {
            if (!history.append(keyOf(i), historyVersion(i, 0)))
                state.SkipWithError("history not written");
        }
        state.PauseTiming();
        dir.remove();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * elements);
}
BENCHMARK(BM_HistoryFirstDiscovery)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);

// One more version for an element whose history is full (1,000 versions): read, drop the oldest, rewrite.
void BM_HistoryAppendToFull(benchmark::State &state) {
    QTemporaryDir dir;
    ConfigurationHistory history(dir.filePath(u"history"_s), 1000);
    const QString key = keyOf(7);
    for (int v = 0; v < 1000; ++v)
        history.append(key, historyVersion(7, v % 2));
    int variant = 0;
    for (auto _ : state) {
        if (!history.append(key, historyVersion(7, ++variant % 2)))
            state.SkipWithError("history not written");
    }
}
BENCHMARK(BM_HistoryAppendToFull)->Unit(benchmark::kMillisecond);

// Another discovery that finds every element as it was: each element's file is read and only its
// newest line parsed; nothing is written. Each history holds 100 versions.
void BM_HistoryRediscoveryUnchanged(benchmark::State &state) {
    const int elements = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    ConfigurationHistory history(dir.filePath(u"history"_s));
    QByteArray lines;
    for (int v = 0; v < 100; ++v)
        lines += historyLine(historyVersion(0, v)) + '\n';
    QDir().mkpath(history.folder());
    for (int i = 0; i < elements; ++i) {
        // The same 100 lines for every element: what matters is the size of the file read.
        if (!replaceFileAtomically(history.pathFor(keyOf(i)), lines)) {
            state.SkipWithError("history not prepared");
            return;
        }
    }
    const ConfigurationVersion same = historyVersion(0, 99);
    for (auto _ : state) {
        for (int i = 0; i < elements; ++i) {
            if (!history.append(keyOf(i), same))
                state.SkipWithError("history not read");
        }
    }
    state.SetItemsProcessed(state.iterations() * elements);
}
BENCHMARK(BM_HistoryRediscoveryUnchanged)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
