#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer + UndefinedBehaviorSanitizer) and runs each
# for a bounded time, starting from its seed corpus in tests/fuzz/corpus. A finding fails the script and
# leaves its input in <build dir>/fuzz-findings.
# Usage: scripts/fuzz.sh [seconds per target, default 60] [build dir, default build-fuzz]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
dir="${2:-$root/build-fuzz}"
targets=(fuzz_dispatch fuzz_level fuzz_codecs fuzz_ini fuzz_import)

CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DONDALINK_FUZZ=ON -DONDALINK_SANITIZE=OFF -DONDALINK_BUILD_TESTS=ON -DONDALINK_BUILD_BENCH=OFF \
  -DONDALINK_WERROR=ON >/dev/null
cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"

mkdir -p "$dir/fuzz-findings"
for target in "${targets[@]}"; do
  corpus="$dir/fuzz-corpus/$target" # grows from run to run; the seeds in the repository stay as they are
  mkdir -p "$corpus"
  echo "fuzz: $target for ${seconds}s"
  ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}" \
    "$dir/tests/fuzz/$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$dir/fuzz-findings/$target-" "$corpus" "$root/tests/fuzz/corpus/$target" 2>&1 |
    grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|Done|==[0-9]+==|SUMMARY|.*expectation failed)' || true
  # The pipe hides libFuzzer's status: a finding leaves a crash, leak, timeout or oom file behind.
  if compgen -G "$dir/fuzz-findings/$target-*" >/dev/null; then
    echo "fuzz: $target found an input that fails: $(ls "$dir/fuzz-findings/$target-"*)" >&2
    exit 1
  fi
done
echo "fuzz: no findings"
