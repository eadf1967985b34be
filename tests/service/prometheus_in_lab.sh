#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The monitoring service scraped by a real Prometheus in the lab: on the NMS host, ondalink-nmsd probes
# the lab's elements every 2 s and Prometheus scrapes it every second. Every element must show up 1,
# then element 2 taken down must show 0 while the others stay 1, and 1 again once it is back.
# Always stops what it started and takes the lab down. Exits 77 where the lab or Prometheus cannot run.
# Usage: prometheus_in_lab.sh NMSD SIMULATOR LAB_SCRIPT
set -euo pipefail
nmsd="$(readlink -f "$1")"
sim="$(readlink -f "$2")"
lab="$(readlink -f "$3")"
if ! command -v prometheus >/dev/null || ! command -v python3 >/dev/null; then
  echo "SKIPPED: prometheus or python3 is not installed"
  exit 77
fi
work="$(mktemp -d /tmp/ondalink-prom.XXXXXX)"
export ONDALINK_SIM="$sim" ONDALINK_LAB="$lab" ONDALINK_LAB_PREFIX="oprm$$" ONDALINK_LAB_STATE="$work/state"
export ONDALINK_LAB_NET=10.79.0
nmsd_port=19745
prom_port=19090

# Each process started in the lab writes its own pid first: the lab's exec stays its parent.
stop() {
  local pidfile
  for pidfile in "$work"/*.pid; do
    [ -f "$pidfile" ] || continue
    kill "$(cat "$pidfile")" 2>/dev/null || true
  done
  wait 2>/dev/null || true
  "$lab" down >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap stop EXIT

rc=0
"$lab" up 3 --encoders 1 || rc=$?
if [ "$rc" -eq 77 ]; then
  echo "SKIPPED: the lab needs network namespaces, which cannot be made here (see above)"
  exit 77
fi
[ "$rc" -eq 0 ] || { echo "FAIL: lab up ended with $rc" >&2; exit 1; }

# The database: one section per lab element, named by its MAC as 12 hex digits.
declare -A mac_of
elements=()
while read -r host _ address mac role name _; do
  [[ "$host" =~ ^e[0-9]+$ ]] || continue
  key="$(tr -d ':' <<<"$mac" | tr '[:lower:]' '[:upper:]')"
  number="${host#e}"
  elements+=("$number")
  mac_of[$number]="$(tr '[:lower:]' '[:upper:]' <<<"$mac")"
  if [ "$role" = encoder ]; then role_byte=1; else role_byte=2; fi
  printf '[%s]\r\nNAME=%-16s\r\nIP=%s\r\nROLE=%s\r\n' "$key" "$name" "$address" "$role_byte"
done <"$work/state/hosts" >"$work/nms.ini"

cat >"$work/nmsd.conf" <<CONF
# The lab's service: fast probes, Prometheus on the NMS host's loopback, no SNMP.
database = $work/nms.ini
event_folder = $work/events
journal = no
probe_interval = 2
snmp = no
prometheus = yes
prometheus_listen = 127.0.0.1:$nmsd_port
CONF

cat >"$work/prometheus.yml" <<CONF
global:
  scrape_interval: 1s
  evaluation_interval: 1s
scrape_configs:
  - job_name: ondalink-nmsd
    static_configs:
      - targets: ['127.0.0.1:$nmsd_port']
CONF

"$lab" exec bash -c 'echo $$ >"$1/nmsd.pid"; exec "$2" --config "$1/nmsd.conf"' _ "$work" "$nmsd" \
  2>"$work/nmsd.log" &
for _ in $(seq 100); do
  grep -q 'ondalink-nmsd: ready' "$work/nmsd.log" 2>/dev/null && break
  sleep 0.1
done
if ! grep -q 'ondalink-nmsd: ready' "$work/nmsd.log"; then
  echo "FAIL: ondalink-nmsd did not say it was ready in 10 s; it wrote:"
  cat "$work/nmsd.log"
  exit 1
fi

"$lab" exec bash -c 'echo $$ >"$1/prometheus.pid"; exec prometheus --config.file="$1/prometheus.yml" \
  --storage.tsdb.path="$1/tsdb" --web.listen-address="127.0.0.1:$2"' _ "$work" "$prom_port" \
  >"$work/prometheus.log" 2>&1 &

# Prints "MAC VALUE" for each ondalink_element_up series Prometheus has now, nothing when it cannot
# answer yet.
query_up() {
  "$lab" exec python3 - "$prom_port" <<'PY' 2>/dev/null || true
import json, sys, urllib.request
url = "http://127.0.0.1:%s/api/v1/query?query=ondalink_element_up" % sys.argv[1]
with urllib.request.urlopen(url, timeout=2) as reply:
    answer = json.load(reply)
if answer.get("status") == "success":
    for series in answer["data"]["result"]:
        print(series["metric"].get("mac", "?"), series["value"][1])
PY
}

# The expected "MAC VALUE" lines, sorted: every element 1, DOWN (a number, or none) 0.
expected_up() {
  local down="$1" number
  for number in "${elements[@]}"; do
    if [ "$number" = "$down" ]; then echo "${mac_of[$number]} 0"; else echo "${mac_of[$number]} 1"; fi
  done | sort
}

# Waits up to SECONDS for Prometheus to answer what expected_up DOWN says.
wait_for() {
  local down="$1" seconds="$2" what="$3" seen="" i
  local want
  want="$(expected_up "$down")"
  for i in $(seq "$seconds"); do
    seen="$(query_up | sort)"
    [ "$seen" = "$want" ] && { echo "ok: $what"; return 0; }
    sleep 1
  done
  echo "FAIL: $what: after $seconds s Prometheus had"
  echo "${seen:-  (no ondalink_element_up series)}" | sed 's/^/    /'
  echo "  expected"
  echo "$want" | sed 's/^/    /'
  echo "--- ondalink-nmsd"
  cat "$work/nmsd.log"
  echo "--- prometheus (last lines)"
  tail -20 "$work/prometheus.log"
  return 1
}

wait_for none "${ONDALINK_PROM_WAIT:-30}" "every element is up"
"$lab" element-down 2 >/dev/null
# Three missed probes at 2 s, then a scrape and Prometheus's evaluation.
wait_for 2 30 "element 2 down is 0, the others 1"
"$lab" element-up 2 >/dev/null
wait_for none 30 "element 2 back is 1 again"
