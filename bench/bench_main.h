// SPDX-License-Identifier: GPL-3.0-or-later
// Google Benchmark's main, for benchmarks that must make their Qt application first.
#pragma once

#include <benchmark/benchmark.h>

namespace ondalink::bench {

inline int runBenchmarks(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace ondalink::bench
