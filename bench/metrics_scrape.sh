#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One real scrape of 10,000 elements over loopback, timed by curl: the first and the median of 20.
# Usage: bench/metrics_scrape.sh BUILD_DIR
set -euo pipefail
build="${1:-build}"
out="$(mktemp)"
"$build/bench/metrics_bench" --serve >"$out" &
server=$!
trap 'kill "$server" 2>/dev/null; rm -f "$out"' EXIT
for _ in $(seq 50); do
  [[ -s "$out" ]] && break
  sleep 0.1
done
port="$(head -1 "$out")"
url="http://127.0.0.1:$port/metrics"
echo "size: $(curl -s "$url" | wc -c) bytes, $(curl -s "$url" | grep -vc '^#') samples"
times=()
for _ in $(seq 20); do
  times+=("$(curl -s -o /dev/null -w '%{time_total}' "$url")")
done
printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {printf "time_total over 20 scrapes: min %s s, median %s s, max %s s\n", a[1], a[int((NR+1)/2)], a[NR]}'
