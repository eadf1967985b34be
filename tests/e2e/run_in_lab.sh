#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Brings up a lab of two encoders and two decoders, and an encoder behind a router, runs the end-to-end suite on its NMS host, and
# always takes the lab down again. Exits 77 (skipped) where network namespaces cannot be made.
# Usage: run_in_lab.sh E2E_BINARY SIMULATOR LAB_SCRIPT [gtest options...]
set -euo pipefail
binary="$(readlink -f "$1")"
sim="$(readlink -f "$2")"
lab="$(readlink -f "$3")"
shift 3
work="$(mktemp -d /tmp/ondalink-e2e.XXXXXX)"
export ONDALINK_SIM="$sim" ONDALINK_LAB="$lab" ONDALINK_LAB_PREFIX="oe2e$$" ONDALINK_LAB_STATE="$work/state"
export ONDALINK_LAB_NET=10.78.0 ONDALINK_E2E_WORK="$work"
trap '"$lab" down >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

rc=0
"$lab" up 4 --encoders 2 --routed 1 || rc=$?
if [ "$rc" -eq 77 ]; then
  echo "SKIPPED: the end-to-end suite needs network namespaces, which cannot be made here (see above)"
  exit 77
fi
[ "$rc" -eq 0 ] || { echo "FAIL: lab up ended with $rc" >&2; exit 1; }

rc=0
"$lab" exec "$binary" "$@" || rc=$?
if [ "$rc" -ne 0 ]; then
  for log in "$work"/state/e*.log; do [ -s "$log" ] && { echo "--- $log"; cat "$log"; }; done
fi
exit "$rc"
