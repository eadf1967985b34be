#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Brings a lab of one encoder and one decoder up, pages it by broadcast from the NMS host, moves the
# decoder's address with a configuration write, and takes the lab down again.
# Usage: lab_up_test.sh SIMULATOR LAB_SCRIPT. Exits 77 (skipped) where namespaces cannot be made.
set -euo pipefail
sim="$1"
lab="$2"
work="$(mktemp -d /tmp/ondalink-lab-test.XXXXXX)"
export ONDALINK_SIM="$sim" ONDALINK_LAB_PREFIX="olt$$" ONDALINK_LAB_STATE="$work/state" ONDALINK_LAB_NET=10.77.0
trap '"$lab" down >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  for log in "$work"/state/e*.log; do [ -f "$log" ] && { echo "--- $log" >&2; cat "$log" >&2; }; done
  exit 1
}
expect_line() { # text, pattern, what
  grep -Eq "$2" <<<"$1" || fail "$3: no line matching /$2/ in:"$'\n'"$1"
}
page() { "$lab" exec "$sim" --probe 255.255.255.255:1901 --probe-wait 1500; }

rc=0
"$lab" up 2 --encoders 1 || rc=$?
if [ "$rc" -eq 77 ]; then
  echo "SKIPPED: network namespaces cannot be made here (the lab says why above)"
  exit 77
fi
[ "$rc" -eq 0 ] || fail "lab up ended with $rc"

answers="$(page)"
expect_line "$answers" '^answers: 2$' "a broadcast page is answered by both elements"
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

"$lab" down
if [ "$(id -u)" -eq 0 ] && ip netns list | grep -q "^$ONDALINK_LAB_PREFIX-"; then
  fail "namespaces left after down: $(ip netns list | grep "^$ONDALINK_LAB_PREFIX-" | tr '\n' ' ')"
fi
[ ! -e "$work/state" ] || fail "the state folder is left after down"
echo "PASS"
