#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The window under a flood, in a lab: N simulated elements (default 4), bench_lab_flood on the NMS
# host with the system's ports, two element hosts sending 20,000 hostile datagrams in ten seconds to
# its port 2976. Three runs; each prints the longest stall of the event loop and the watchdog's
# longest wait, and the slowest events it saw. The lab is taken down at the end.
# Usage: bench/lab_flood.sh BUILD_DIR [ELEMENTS]   (a Release build: cmake -DCMAKE_BUILD_TYPE=Release)
# Exits 77 where namespaces cannot be made.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(readlink -f "${1:?build directory}")"
elements="${2:-4}"
bench="$build/bench/bench_lab_flood"
[ -x "$bench" ] || { echo "no $bench: build the target bench_lab_flood" >&2; exit 1; }
export ONDALINK_SIM="$build/tools/element-sim/ondalink-element-sim" ONDALINK_LAB_PREFIX="${ONDALINK_LAB_PREFIX:-olfl$$}"
export ONDALINK_LAB_STATE="/tmp/ondalink-lab-flood-$$" ONDALINK_LAB_NET="${ONDALINK_LAB_NET:-10.78.0}"
export ONDALINK_LAB="$root/lab/lab"
trap '"$ONDALINK_LAB" down >/dev/null 2>&1 || true' EXIT

rc=0
"$ONDALINK_LAB" up "$elements" >/dev/null || rc=$?
[ "$rc" -eq 0 ] || exit "$rc"
echo "== $elements elements, load before: $(cut -d' ' -f1-3 /proc/loadavg)"
"$ONDALINK_LAB" exec env QT_QPA_PLATFORM=offscreen "$bench" --benchmark_repetitions=3 --benchmark_counters_tabular=true 2>&1 |
  grep -E '^(Benchmark|BM_|slowest|costliest|threads)' | grep -v -E '_(stddev|cv)'
echo "== load after: $(cut -d' ' -f1-3 /proc/loadavg)"
