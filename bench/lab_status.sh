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
# The kernel's ARP table is one for all namespaces: the NMS host and the element host each hold an entry
# per element, and past gc_thresh3 (1,024 by default) new entries fail ("neighbor table overflow") and
# those elements never answer. Raised for the run where we may, and put back afterwards.
neigh=/proc/sys/net/ipv4/neigh/default
saved=()
if [ -w "$neigh/gc_thresh3" ] && [ "$(cat "$neigh/gc_thresh3")" -lt $((4 * count)) ]; then
  saved=("$(cat "$neigh/gc_thresh1")" "$(cat "$neigh/gc_thresh2")" "$(cat "$neigh/gc_thresh3")")
  echo $((2 * count)) >"$neigh/gc_thresh1"
  echo $((3 * count)) >"$neigh/gc_thresh2"
  echo $((4 * count)) >"$neigh/gc_thresh3"
fi
restore() {
  "$lab" down >/dev/null 2>&1 || true
  if [ "${#saved[@]}" -eq 3 ]; then
    echo "${saved[0]}" >"$neigh/gc_thresh1"
    echo "${saved[1]}" >"$neigh/gc_thresh2"
    echo "${saved[2]}" >"$neigh/gc_thresh3"
  fi
}
trap restore EXIT
"$lab" up "$count" --bulk --encoders $((count / 2)) | sed -n 3p
"$lab" exec env ONDALINK_BENCH_SECONDS="${ONDALINK_BENCH_SECONDS:-60}" "$bench" --benchmark_counters_tabular=true
