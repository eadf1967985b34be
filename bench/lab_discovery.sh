#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Discovery of many simulated elements, each with its own MAC and address: for every count a bulk
# lab is brought up, bench_lab_discovery runs on its NMS host, and the lab is taken down again.
# Usage: bench/lab_discovery.sh BUILD_DIR [COUNT...]   (default counts: 50 200 500)
# nms.ini goes to a temporary folder in each of ONDALINK_BENCH_DIRS (default: $TMPDIR or /tmp), so
# that a disk and a tmpfs can be compared on the same lab. Exits 77 where namespaces cannot be made.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(readlink -f "${1:?build directory}")"
shift
counts=("$@")
[ "${#counts[@]}" -gt 0 ] || counts=(50 200 500)
bench="$build/bench/bench_lab_discovery"
[ -x "$bench" ] || { echo "no $bench: build the target bench_lab_discovery" >&2; exit 1; }
export ONDALINK_SIM="$build/tools/element-sim/ondalink-element-sim" ONDALINK_LAB_PREFIX="olbd$$"
export ONDALINK_LAB_STATE="/tmp/ondalink-lab-bench-$$" ONDALINK_LAB_NET=10.79.0
lab="$root/lab/lab"
trap '"$lab" down >/dev/null 2>&1 || true' EXIT

for n in "${counts[@]}"; do
  echo "== $n elements"
  rc=0
  "$lab" up "$n" --bulk --encoders $((n / 2)) | sed -n 3p || rc=$?
  [ "$rc" -eq 0 ] || exit "$rc"
  for dir in ${ONDALINK_BENCH_DIRS:-${TMPDIR:-/tmp}}; do
    echo "-- nms.ini in $dir ($(stat -f -c %T "$dir"))"
    "$lab" exec env TMPDIR="$dir" "$bench" --benchmark_counters_tabular=true 2>&1 |
      grep -E '^(Benchmark|BM_)' | grep -v -E '_(stddev|cv)'
  done
  "$lab" down >/dev/null
done
