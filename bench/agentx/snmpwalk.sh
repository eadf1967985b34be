#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times snmpwalk and snmpbulkwalk of the element table with ROWS made-up elements, through a real
# snmpd on loopback. Usage: snmpwalk.sh AGENTX_BOARD [ROWS]
set -euo pipefail
board="$1"
rows="${2:-1000}"
tmp="$(mktemp -d)"
port=$((20000 + RANDOM % 20000))
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
cat >"$tmp/snmpd.conf" <<CONF
master agentx
agentXSocket $tmp/agentx
agentaddress udp:127.0.0.1:$port
rocommunity public 127.0.0.1
CONF
/usr/sbin/snmpd -f -Lo -C -c "$tmp/snmpd.conf" -p "$tmp/snmpd.pid" >"$tmp/snmpd.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [[ -S "$tmp/agentx" ]] && break; sleep 0.1; done
"$board" "$tmp/agentx" "$rows" 1 2>"$tmp/board.log" < <(sleep infinity) &
pids+=($!)
table=.1.3.6.1.4.1.62014.1.2
for _ in $(seq 50); do
  snmpget -v2c -c public -On -t 1 -r 0 "127.0.0.1:$port" .1.3.6.1.4.1.62014.1.1.0 2>/dev/null | grep -q Gauge32 && break
  sleep 0.2
done
ps -o pid,comm,time -p "${pids[*]// /,}" >"$tmp/before"
start=$(date +%s.%N)
cells=$(snmpwalk -v2c -c public -On -t 5 "127.0.0.1:$port" "$table" | wc -l)
mid=$(date +%s.%N)
bulk=$(snmpbulkwalk -v2c -c public -On -t 5 "127.0.0.1:$port" "$table" | wc -l)
end=$(date +%s.%N)
ps -o pid,comm,time -p "${pids[*]// /,}"
printf 'rows %d: snmpwalk %d cells in %.2f s; snmpbulkwalk %d cells in %.2f s\n' "$rows" "$cells" \
  "$(echo "$mid - $start" | bc)" "$bulk" "$(echo "$end - $mid" | bc)"
cat "$tmp/board.log"
