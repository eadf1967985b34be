#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Brings a lab of one encoder and one decoder up, with two more elements behind a router, pages it by
# broadcast from the NMS host, moves the decoder's address with a configuration write, takes
# elements off the network and back, makes an encoder silent through its simulator's
# control port, and takes the lab down again.
# Usage: lab_up_test.sh SIMULATOR LAB_SCRIPT. Exits 77 (skipped) where namespaces cannot be made.
set -euo pipefail
sim="$1"
lab="$2"
work="$(mktemp -d /tmp/ondalink-lab-test.XXXXXX)"
export ONDALINK_SIM="$sim" ONDALINK_LAB_PREFIX="olt$$" ONDALINK_LAB_STATE="$work/state" ONDALINK_LAB_NET=10.77.0
trap '"$lab" down >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  for log in "$work"/state/[er]*.log; do [ -f "$log" ] && { echo "--- $log" >&2; cat "$log" >&2; }; done
  exit 1
}
expect_line() { # text, pattern, what
  grep -Eq "$2" <<<"$1" || fail "$3: no line matching /$2/ in:"$'\n'"$1"
}
expect_no_line() { # text, pattern, what
  ! grep -Eq "$2" <<<"$1" || fail "$3: a line matching /$2/ in:"$'\n'"$1"
}
page() { "$lab" exec "$sim" --probe 255.255.255.255:1901 --probe-wait 1500; }
# A datagram (the paging request unless a hex payload follows) to one address, answers collected briefly.
probe() {
  local payload=()
  [ $# -lt 2 ] || payload=(--payload "$2")
  "$lab" exec "$sim" --probe "$1" "${payload[@]}" --probe-wait 500
}

rc=0
"$lab" up 2 --encoders 1 --routed 2 || rc=$?
if [ "$rc" -eq 77 ]; then
  echo "SKIPPED: network namespaces cannot be made here (the lab says why above)"
  exit 77
fi
[ "$rc" -eq 0 ] || fail "lab up ended with $rc"

answers="$(page)"
expect_line "$answers" '^answers: 2$' "a broadcast page is answered by both LAN elements, not the routed ones"
expect_line "$answers" '^REPORT from 10\.77\.0\.11 len 44 ip 10\.77\.0\.11 role 1 sn 1001 ' "the encoder's report"
expect_line "$answers" '^REPORT from 10\.77\.0\.12 len 48 ip 10\.77\.0\.12 role 2 sn 2002 ' "the decoder's report"
expect_line "$("$lab" exec ip neigh show 10.77.0.11)" 'lladdr 02:4f:4c:01:00:01' "the NMS host learnt the encoder's MAC"

level="$("$lab" exec "$sim" --probe 10.77.0.11:2977 --payload 564f4c --probe-wait 1500)"
expect_line "$level" '^REPORT from 10\.77\.0\.11 len 1440 peak 4194304$' "the encoder answers a level request"

# Decoder write: 10.77.0.60/24, gateway .254, remote .11, digital L/R unicast, "MOVED", then its own five bytes.
name_hex="$(printf 'MOVED           ' | od -An -tx1 | tr -d ' \n')"
write="0a4d003cffffff000a4d00fe0a4d000b000000${name_hex}0103010a14"
moved="$("$lab" exec "$sim" --probe 10.77.0.12:2976 --payload "$write" --probe-wait 1500)"
expect_line "$moved" '^REPORT from 10\.77\.0\.60 len 48 ip 10\.77\.0\.60 role 2 sn 2002 name "MOVED' \
  "the decoder answers the write from its new address"
expect_line "$("$lab" element 2 ip -4 -br addr show dev eth0)" '10\.77\.0\.60/24' "the decoder host carries the new address"
answers="$(page)"
expect_line "$answers" '^answers: 2$' "both elements still answer a page"
expect_line "$answers" '^REPORT from 10\.77\.0\.60 len 48' "the moved decoder answers from its new address"

# Behind the router: unicast and ping get through, broadcast and ARP do not.
expect_line "$(probe 10.77.1.11:1901)" '^REPORT from 10\.77\.1\.11 len 44 ip 10\.77\.1\.11 role 1 sn 3001 ' \
  "a routed encoder answers a unicast page"
expect_line "$(probe 10.77.1.12:1901)" '^REPORT from 10\.77\.1\.12 len 48 ip 10\.77\.1\.12 role 2 sn 4002 ' \
  "a routed decoder answers a unicast page"
expect_line "$(probe 10.77.1.255:1901)" '^answers: 0$' "the routed subnet's broadcast is not forwarded"
neighbours="$("$lab" exec ip neigh show)"
expect_no_line "$neighbours" '^10\.77\.1\.' "the NMS host has no neighbour entry for a routed element"
expect_line "$neighbours" '^10\.77\.0\.254 .*lladdr 02:4f:4c:00:00:fe' "the NMS host went through the router"
[ "$("$lab" exec cat /proc/sys/net/ipv4/ip_forward)" = 0 ] || fail "the NMS host forwards"
has_ping=""
if "$lab" exec ping -c 1 -W 1 10.77.1.11 >/dev/null 2>&1; then
  has_ping=1
elif command -v ping >/dev/null; then
  fail "a routed element does not answer ping"
fi

# Off the network and back: no answer, not even to ping; then the same address, MAC and routes.
for element in 1:10.77.0.11 r1:10.77.1.11; do
  i="${element%%:*}" address="${element#*:}"
  "$lab" element-down "$i"
  expect_line "$(probe "$address:1901")" '^answers: 0$' "element $i is down"
  [ -z "$has_ping" ] || ! "$lab" exec ping -c 1 -W 1 "$address" >/dev/null || fail "element $i answers ping while down"
  "$lab" element-up "$i"
  expect_line "$(probe "$address:1901")" "^REPORT from ${address//./\\.} " "element $i answers again"
done
expect_line "$("$lab" element 1 ip -br link show dev eth0)" '02:4f:4c:01:00:01' "element 1 kept its MAC"

# The simulator's control port reaches the element named, a routed one too (what each command does is
# SimControl's to check).
expect_line "$("$lab" sim-control r1 silent)" '^ok: silent; peak 0, silent, up$' "element r1 told to be silent"
expect_line "$(probe 10.77.1.11:2977 564f4c)" '^REPORT from 10\.77\.1\.11 len 1440 peak 0$' "a silent encoder's level"
! "$lab" sim-control 1 shout >/dev/null 2>&1 || fail "sim-control took an unknown command"

"$lab" down
if [ "$(id -u)" -eq 0 ] && ip netns list | grep -q "^$ONDALINK_LAB_PREFIX-"; then
  fail "namespaces left after down: $(ip netns list | grep "^$ONDALINK_LAB_PREFIX-" | tr '\n' ' ')"
fi
[ ! -e "$work/state" ] || fail "the state folder is left after down"
echo "PASS"
