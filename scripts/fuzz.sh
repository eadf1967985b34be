#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer + UndefinedBehaviorSanitizer, the tree that
# scripts/test.sh runs the suites in) and runs each for a bounded time, two at a time, starting from its
# seed corpus in tests/fuzz/corpus together with what earlier runs grew. A finding, or a run that did not
# get through its whole corpus, fails the script; a finding leaves its input in <build dir>/fuzz-findings.
# Usage: scripts/fuzz.sh [seconds per target, default 60] [build dir, default build-fuzz]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
dir="${2:-$root/build-fuzz}"
jobs="${ONDALINK_FUZZ_JOBS:-2}"

# The options scripts/test.sh gives this tree, so nothing is rebuilt after its run.
"$root/scripts/build.sh" "$dir" -DCMAKE_CXX_COMPILER=clang++ -DONDALINK_FUZZ=ON -DONDALINK_CLAZY=ON
mapfile -t targets < <(cd "$root/tests/fuzz" && ls fuzz_*.cpp | sed 's/\.cpp$//')
[ "${#targets[@]}" -gt 0 ] || { echo "fuzz: no targets in tests/fuzz" >&2; exit 1; }

mkdir -p "$dir/fuzz-findings" "$dir/fuzz-logs"
fuzz_one() {
  local target="$1"
  local corpus="$dir/fuzz-corpus/$target" # grows from run to run; the seeds in the repository stay as they are
  local log="$dir/fuzz-logs/$target.log"
  mkdir -p "$corpus"
  ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}" \
    "$dir/tests/fuzz/$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$dir/fuzz-findings/$target-" "$corpus" "$root/tests/fuzz/corpus/$target" >"$log" 2>&1 || true
  # One write, so that the two runs' summaries do not interleave.
  printf 'fuzz: %s for %ss\n%s\n' "$target" "$seconds" "$(grep -E \
    '^(#[0-9]+[[:space:]]+INITED|stat::number_of_executed_units|stat::average_exec_per_sec|Done|==[0-9]+==|SUMMARY|.*expectation failed)' \
    "$log" || true)"
  # libFuzzer's status is not enough: a finding leaves a crash, leak, timeout or oom file behind, and
  # INITED says that every input of the corpus ran before the time was up.
  if compgen -G "$dir/fuzz-findings/$target-*" >/dev/null; then
    echo "fuzz: $target found an input that fails: $(ls "$dir/fuzz-findings/$target-"*) (log: $log)" >&2
    return 1
  fi
  if ! grep -qE '^#[0-9]+[[:space:]]+INITED' "$log"; then
    echo "fuzz: $target did not get through its corpus (log: $log)" >&2
    return 1
  fi
}
export -f fuzz_one
export dir root seconds
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'fuzz_one "$1"' _ {}
echo "fuzz: no findings in ${#targets[@]} targets"
