#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Status probes of many simulated elements: a bulk lab of COUNT elements (default 1000) is brought up,
# bench_lab_status probes them from its NMS host every 10 s for ONDALINK_BENCH_SECONDS (default 60),
# and the lab is taken down again. Usage: bench/lab_status.sh BUILD_DIR [COUNT]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(readlink -f "${1:?build directory}")"
count="${2:-1000}"
bench="$build/bench/bench_lab_status"
[ -x "$bench" ] || { echo "no $bench: build the target bench_lab_status" >&2; exit 1; }
export ONDALINK_SIM="$build/tools/element-sim/ondalink-element-sim" ONDALINK_LAB_PREFIX="olbs$$"
export ONDALINK_LAB_STATE="/tmp/ondalink-lab-bench-$$" ONDALINK_LAB_NET=10.81.0
lab="$root/lab/lab"
source "$root/bench/neighbour_limits.sh"
raise_neighbour_limits "$count"
restore() {
  "$lab" down >/dev/null 2>&1 || true
  restore_neighbour_limits
}
trap restore EXIT
"$lab" up "$count" --bulk --encoders $((count / 2)) | sed -n 3p
"$lab" exec env ONDALINK_BENCH_SECONDS="${ONDALINK_BENCH_SECONDS:-60}" "$bench" --benchmark_counters_tabular=true
