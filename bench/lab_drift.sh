#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One drift round over many simulated elements: a bulk lab of COUNT elements (default 1000) is brought up,
# bench_lab_drift discovers them from its NMS host and runs one drift round over them (20 s),
# and the lab is taken down again. Usage: bench/lab_drift.sh BUILD_DIR [COUNT]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(readlink -f "${1:?build directory}")"
count="${2:-1000}"
bench="$build/bench/bench_lab_drift"
[ -x "$bench" ] || { echo "no $bench: build the target bench_lab_drift" >&2; exit 1; }
export ONDALINK_SIM="$build/tools/element-sim/ondalink-element-sim" ONDALINK_LAB_PREFIX="olbd$$"
export ONDALINK_LAB_STATE="/tmp/ondalink-lab-drift-$$" ONDALINK_LAB_NET=10.83.0
lab="$root/lab/lab"
source "$root/bench/neighbour_limits.sh"
raise_neighbour_limits "$count"
restore() {
  "$lab" down >/dev/null 2>&1 || true
  restore_neighbour_limits
}
trap restore EXIT
"$lab" up "$count" --bulk --encoders $((count / 2)) | sed -n 3p
"$lab" exec "$bench" --benchmark_counters_tabular=true
