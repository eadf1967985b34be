#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The MIB is clean under smilint at level 6: nothing printed at all. Usage: smilint_test.sh MIB
set -uo pipefail
mib="$1"
here="$(cd "$(dirname "$0")" && pwd)"
if ! command -v smilint >/dev/null; then
  echo "SKIP: no smilint"
  exit 77
fi
# Debian ships no IETF modules (they are not free); where they are missing, smilint reads the few
# definitions the MIB imports from smi/ instead, and still checks everything the MIB itself says.
if [[ "$(smilint -l 1 "$mib" 2>&1)" == *"failed to locate MIB module"* ]]; then
  export SMIPATH="$here/smi"
fi
out="$(smilint -l 6 "$mib" 2>&1)"
if [[ -n "$out" ]]; then
  echo "FAIL: smilint -l 6 $mib is not clean:"
  echo "$out"
  exit 1
fi
# A walk of what smilint understood: the table and the notifications are where they should be.
tree="$(smidump -f tree "$mib" 2>&1)"
for name in onlElementTable onlElementOffline onlElementOnline onlElementSilent onlElementSounding; do
  if ! grep -q "$name" <<<"$tree"; then
    echo "FAIL: smidump's tree has no $name"
    exit 1
  fi
done
echo "PASS: smilint -l 6 prints nothing for $(basename "$mib")"
