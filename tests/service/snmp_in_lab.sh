#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The monitoring service's SNMP side in the lab: a real snmpd (AgentX master) and snmptrapd on the
# NMS host, ondalink-nmsd as subagent; the element table walks, the four notifications arrive, and
# the table is served again after snmpd restarts. Exits 77 where namespaces cannot be made.
# Usage: snmp_in_lab.sh NMSD SIMULATOR LAB_SCRIPT
set -uo pipefail
nmsd="$(readlink -f "$1")"
sim="$(readlink -f "$2")"
lab="$(readlink -f "$3")"
for tool in /usr/sbin/snmpd /usr/sbin/snmptrapd snmpwalk; do
  command -v "$tool" >/dev/null || { echo "SKIP: no $tool"; exit 77; }
done
work="$(mktemp -d /tmp/ondalink-snmp.XXXXXX)"
chmod 755 "$work"
export ONDALINK_SIM="$sim" ONDALINK_LAB_PREFIX="osnmp$$" ONDALINK_LAB_STATE="$work/state" ONDALINK_LAB_NET=10.79.0
port=16161
trapport=16162
# Everything started runs on the NMS host; `lab exec` ends with its command, so each is a shell
# there that records its pid for the cleanup.
cleanup() {
  for f in "$work"/*.pid; do
    [ -f "$f" ] && "$lab" exec kill "$(cat "$f")" >/dev/null 2>&1
  done
  "$lab" down >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

rc=0
"$lab" up 4 --encoders 2 || rc=$?
[ "$rc" -eq 77 ] && { echo "SKIPPED: no network namespaces here"; exit 77; }
[ "$rc" -eq 0 ] || fail "lab up ended with $rc"

# The database: one section per lab element, from the lab's own list of hosts.
: >"$work/nms.ini"
while read -r host _ ip mac role name _; do
  [[ "$host" =~ ^e[0-9]+$ ]] || continue
  key="$(tr -d ':' <<<"$mac" | tr a-f A-F)"
  printf '[%s]\r\nNAME=%-16s\r\nIP=%s\r\nROLE=%s\r\n' "$key" "$name" "$ip" \
    "$([ "$role" = encoder ] && echo 1 || echo 2)" >>"$work/nms.ini"
done <"$work/state/hosts"
mac1="$(awk '$1 == "e1" {print toupper($4)}' "$work/state/hosts")"
[ -n "$mac1" ] || fail "no element 1 in the lab's hosts"

cat >"$work/snmpd.conf" <<CONF
master agentx
agentXSocket $work/agentx
agentaddress udp:127.0.0.1:$port
rocommunity public 127.0.0.1
trap2sink 127.0.0.1:$trapport public
CONF
cat >"$work/snmptrapd.conf" <<CONF
disableAuthorization yes
snmpTrapdAddr udp:127.0.0.1:$trapport
CONF
cat >"$work/nmsd.conf" <<CONF
database = $work/nms.ini
event_folder = $work/events
journal = no
probe_interval = 2
offline_after = 2
watch = $mac1
silence_hold = 2
silence_clear = 1
prometheus = no
snmp = yes
agentx_socket = $work/agentx
agentx_ping_interval = 1
CONF

# start NAME COMMAND...: runs COMMAND on the NMS host in the background, its pid and log in the work folder.
start() {
  local name="$1"
  shift
  "$lab" exec bash -c 'pidf="$1"; log="$2"; shift 2; echo $$ >"$pidf"; exec "$@" >"$log" 2>&1' _ \
    "$work/$name.pid" "$work/$name.log" "$@" &
}
start snmptrapd /usr/sbin/snmptrapd -f -On -Lf "$work/traps.log" -C -c "$work/snmptrapd.conf"
start snmpd /usr/sbin/snmpd -f -Lo -C -c "$work/snmpd.conf"
for _ in $(seq 50); do [ -S "$work/agentx" ] && break; sleep 0.1; done
[ -S "$work/agentx" ] || fail "snmpd made no AgentX socket: $(cat "$work/snmpd.log")"
start nmsd "$nmsd" --config "$work/nmsd.conf"
for _ in $(seq 100); do grep -q "ondalink-nmsd: ready" "$work/nmsd.log" 2>/dev/null && break; sleep 0.1; done
grep -q "ondalink-nmsd: ready" "$work/nmsd.log" || fail "the service did not say ready: $(cat "$work/nmsd.log")"

table=.1.3.6.1.4.1.62014.1.2.1
walk() { "$lab" exec snmpwalk -v2c -c public -On -t 1 -r 1 "127.0.0.1:$port" "$table"; }
# Every element online, with its MAC, name and address.
ok=0
for _ in $(seq 20); do
  out="$(walk 2>&1)"
  n_online="$(grep -c "^$table\.7\.[0-9]* = INTEGER: 2" <<<"$out")"
  [ "$n_online" -eq 4 ] && { ok=1; break; }
  sleep 1
done
[ "$ok" -eq 1 ] || fail "not every element online(2) in the walk: $out"
while read -r host _ ip mac _ name _; do
  [[ "$host" =~ ^e[0-9]+$ ]] || continue
  hex="$(tr ':' ' ' <<<"${mac^^}")"
  grep -q "^$table\.2\.[0-9]* = Hex-STRING: $hex" <<<"$out" || fail "no MAC $mac in the walk: $out"
  grep -q "^$table\.3\.[0-9]* = STRING: \"$name\"" <<<"$out" || fail "no name $name in the walk: $out"
  iphex="$(printf '%02X %02X %02X %02X' ${ip//./ })"
  grep -q "^$table\.5\.[0-9]* = Hex-STRING: $iphex" <<<"$out" || fail "no address $ip in the walk: $out"
done <"$work/state/hosts"
echo "PASS: the walk shows the four elements online with MAC, name and address"

hex1="$(tr ':' ' ' <<<"$mac1")"
expect_trap() { # NOTIFICATION_NUMBER NAME SECONDS
  for _ in $(seq "$3"); do
    if grep -q "62014.0.$1	" "$work/traps.log" 2>/dev/null &&
      grep "62014.0.$1	" "$work/traps.log" | grep -q "Hex-STRING: $hex1"; then
      echo "PASS: $2 for element 1"
      return 0
    fi
    sleep 1
  done
  fail "no $2 with MAC $mac1 within $3 s; traps seen: $(cat "$work/traps.log" 2>/dev/null)"
}
"$lab" element-down 1 >/dev/null || fail "lab element-down 1"
# offline_after misses of 2 s probes, then three probe intervals.
expect_trap 1 onlElementOffline 12
"$lab" element-up 1 >/dev/null || fail "lab element-up 1"
expect_trap 2 onlElementOnline 10
"$lab" sim-control 1 silent >/dev/null || fail "lab sim-control 1 silent"
expect_trap 3 onlElementSilent 12
"$lab" sim-control 1 loud >/dev/null || fail "lab sim-control 1 loud"
expect_trap 4 onlElementSounding 12

# snmpd restarts: the service reconnects by itself within a few ping intervals.
"$lab" exec kill "$(cat "$work/snmpd.pid")"
sleep 1
start snmpd /usr/sbin/snmpd -f -Lo -C -c "$work/snmpd.conf"
ok=0
for _ in $(seq 10); do
  out="$(walk 2>&1)"
  [ "$(grep -c "^$table\.7\." <<<"$out")" -eq 4 ] && { ok=1; break; }
  sleep 1
done
[ "$ok" -eq 1 ] || fail "the walk did not come back within 10 s of snmpd's restart: $out; service: $(tail -5 "$work/nmsd.log")"
echo "PASS: the walk works again after snmpd restarts"
