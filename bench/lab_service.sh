#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The monitoring service over many simulated elements: a bulk lab of COUNT elements (default 1000),
# the real snmpd as AgentX master and ondalink-nmsd probing every 10 s, both on the lab's NMS host.
# After a minute's warm-up it measures the service's CPU over ONDALINK_BENCH_SECONDS (default 120),
# then times a walk of the element table (snmpwalk and snmpbulkwalk) and one scrape of /metrics.
# Usage: bench/lab_service.sh BUILD_DIR [COUNT]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(readlink -f "${1:?build directory}")"
count="${2:-1000}"
nmsd="$build/src/ondalink-nmsd"
[ -x "$nmsd" ] || { echo "no $nmsd: build the target ondalink-nmsd" >&2; exit 1; }
work="$(mktemp -d /tmp/ondalink-service-bench.XXXXXX)"
export ONDALINK_SIM="$build/tools/element-sim/ondalink-element-sim" ONDALINK_LAB_PREFIX="olsv$$"
export ONDALINK_LAB_STATE="$work/state" ONDALINK_LAB_NET=10.82.0
lab="$root/lab/lab"
source "$root/bench/neighbour_limits.sh"
raise_neighbour_limits "$count"
restore() {
  for pidf in "$work"/*.pid; do [ -f "$pidf" ] && "$lab" exec kill "$(cat "$pidf")" 2>/dev/null || true; done
  "$lab" down >/dev/null 2>&1 || true
  restore_neighbour_limits
  rm -rf "$work"
}
trap restore EXIT
"$lab" up "$count" --bulk --encoders $((count / 2)) | sed -n 3p

awk '$1 ~ /^e[0-9]+$/ { mac = toupper($4); gsub(":", "", mac);
       printf "[%s]\r\nname=%s\r\nip=%s\r\nrole=%d\r\n", mac, $6, $3, ($5 == "encoder") ? 1 : 2 }' \
  "$work/state/hosts" >"$work/nms.ini"
cat >"$work/snmpd.conf" <<CONF
master agentx
agentXSocket $work/agentx
agentaddress udp:127.0.0.1:16161
rocommunity public 127.0.0.1
CONF
cat >"$work/nmsd.conf" <<CONF
database = $work/nms.ini
event_folder = $work/events
journal = no
probe_interval = 10
prometheus_listen = 127.0.0.1:19745
agentx_socket = $work/agentx
CONF
start() { # NAME COMMAND...: in the background on the NMS host, its pid in the work folder
  local name="$1"
  shift
  "$lab" exec bash -c 'echo $$ >"$1"; shift; exec "$@"' _ "$work/$name.pid" "$@" >"$work/$name.log" 2>&1 &
}
start snmpd /usr/sbin/snmpd -f -Lo -C -c "$work/snmpd.conf"
for _ in $(seq 50); do [ -S "$work/agentx" ] && break; sleep 0.1; done
start nmsd "$nmsd" --config "$work/nmsd.conf"
for _ in $(seq 100); do grep -q "ondalink-nmsd: ready" "$work/nmsd.log" 2>/dev/null && break; sleep 0.1; done
pid="$(cat "$work/nmsd.pid")"
sleep 60
ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
seconds="${ONDALINK_BENCH_SECONDS:-120}"
t0="$(ticks)"
sleep "$seconds"
t1="$(ticks)"
hz="$(getconf CLK_TCK)"
online="$(grep -c '"Online (was Unknown)"' "$work"/events/*.jsonl || true)"
echo "elements $count, interval 10 s: service CPU $(( (t1 - t0) * 1000 / hz )) ms in ${seconds} s" \
  "= $(awk -v t=$((t1 - t0)) -v h="$hz" -v s="$seconds" 'BEGIN { printf "%.2f", 100 * t / h / s }') % of a core;" \
  "RSS $(awk '/VmRSS/ { print $2 }' "/proc/$pid/status") kB; came online $online"
table=.1.3.6.1.4.1.62014.1.2
for tool in snmpwalk snmpbulkwalk; do
  start_ns="$(date +%s%N)"
  cells="$("$lab" exec "$tool" -v2c -c public -On -t 5 -r 0 127.0.0.1:16161 "$table" | wc -l)"
  echo "$tool of the table: $cells cells in $(( ($(date +%s%N) - start_ns) / 1000000 )) ms"
done
for _ in 1 2 3; do
  "$lab" exec curl -s -o /dev/null -w 'scrape of /metrics: %{size_download} bytes in %{time_total} s\n' \
    http://127.0.0.1:19745/metrics
done
