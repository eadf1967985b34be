// SPDX-License-Identifier: GPL-3.0-or-later
// One Prometheus scrape of 10,000 elements: the text alone, mixed statuses, a tenth of them watched
// encoders. "--serve" instead listens on loopback with the same board and prints its port, for a
// real scrape timed with curl (bench/metrics_scrape.sh).
#include "bench_main.h"
#include "service/metrics/metrics_server.h"
#include "service/metrics/metrics_text.h"
#include "service/status_board.h"

#include <QCoreApplication>
#include <QDateTime>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

using namespace Qt::StringLiterals;
using namespace ondalink;

namespace {

constexpr int kElements = 10000;

void fill(StatusBoard &board) {
    QList<StatusBoard::Listed> listed;
    listed.reserve(kElements);
    for (int i = 0; i < kElements; ++i) {
        const QString key = u"00A0F1%1"_s.arg(i, 6, 16, QLatin1Char('0')).toUpper();
        listed.append({key, u"Element \"%1\" Caf\u00e9"_s.arg(i),
                       u"10.%1.%2.%3"_s.arg(i >> 16).arg((i >> 8) & 255).arg(i & 255),
                       i % 2 ? ElementRole::Decoder : ElementRole::Encoder});
    }
    board.replaceListing(listed);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int i = 0; i < kElements; ++i) {
        const QString &key = listed[i].key;
        switch (i % 4) {
        case 0:
        case 1:
            board.setReachability(key, ElementStatus::Online, now.addMSecs(-i), 1 + i % 40);
            break;
        case 2:
            board.setReachability(key, ElementStatus::Offline, now.addSecs(-300), std::nullopt);
            break;
        default:
            break; // never heard
        }
        if (i % 20 == 0) { // encoders, a tenth of all
            board.setSilence(key, i % 60 == 0 ? SilenceState::Silent : SilenceState::Sounding);
            board.setLevel(key, -20.5 - i % 50);
        }
    }
    board.setCounterSource([] { return ServiceCounters{123456, 7, 3, 1}; });
}

void bmMetricsText(benchmark::State &state) {
    StatusBoard board;
    fill(board);
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray text = metricsText(board);
        bytes = text.size();
        benchmark::DoNotOptimize(text.constData());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
}
BENCHMARK(bmMetricsText)->Unit(benchmark::kMillisecond);

int serve() {
    StatusBoard board;
    fill(board);
    MetricsServer server(board);
    MetricsOptions options;
    options.port = 0;
    QString error;
    if (!server.listen(options, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("%u\n", server.port());
    std::fflush(stdout);
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--serve") == 0)
        return serve();
    return bench::runBenchmarks(argc, argv);
}
