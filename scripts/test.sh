#!/usr/bin/env bash
# Installs the dependencies, checks the formatting, and runs every test suite twice: in the normal gcc
# build (then clang-tidy over it), and in one clang build with AddressSanitizer +
# UndefinedBehaviorSanitizer that runs clazy as it compiles and also holds the fuzzers; then every
# fuzzer from its corpus, two at a time. Each step prints how long it took.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

# The closing line stays ctest's or ours, so the timings go out as each step ends.
step() {
  local name="$1" start="$SECONDS"
  shift
  "$@" || return
  echo "step: $name took $((SECONDS - start)) s"
}

# JUnit results go to <build dir>/test-results/junit.xml. A tree without tests fails: it means a
# configuration without them, not a pass. Suites that share the lab or the system's namespaces hold a
# ctest resource lock (tests/CMakeLists.txt), so the rest run beside them.
run_tests() {
  local dir="$1"
  rm -f "$dir/test-results/junit.xml"
  (cd "$dir" && ctest --output-on-failure --timeout 600 --no-tests=error -j "$(nproc)" \
    --output-junit "$dir/test-results/junit.xml")
}

step deps "$root/scripts/install-deps.sh"
step format "$root/scripts/format-check.sh"

step "normal build" "$root/scripts/build.sh" "$root/build" -DONDALINK_BUILD_TESTS=ON
# clang-tidy over every source of ours, from that build's compile_commands.json, while the suites run:
# they mostly wait on timers and the lab (under a fifth of two cores) and hold under load.
lint_log="$root/build/lint.out"
step clang-tidy "$root/scripts/lint.sh" "$root/build" >"$lint_log" 2>&1 &
lint_pid=$!
tests_status=0
step "normal tests" run_tests "$root/build" || tests_status=$?
lint_status=0
wait "$lint_pid" || lint_status=$?
# A failed suite ends the run with ctest's summary (clang-tidy's output is in its log then).
[ "$tests_status" -eq 0 ] || exit "$tests_status"
cat "$lint_log"
[ "$lint_status" -eq 0 ] || exit "$lint_status"

# clang, AddressSanitizer + UndefinedBehaviorSanitizer, clazy as a compiler plugin, and the fuzzers;
# scripts/fuzz.sh configures the same tree with the same options, so it builds nothing more.
sanitize_dir="$root/build-fuzz"
step "sanitizer build" "$root/scripts/build.sh" "$sanitize_dir" -DCMAKE_CXX_COMPILER=clang++ -DONDALINK_FUZZ=ON \
  -DONDALINK_CLAZY=ON
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  step "sanitizer tests" run_tests "$sanitize_dir"
# Every fuzzer from its corpus for 45 s (ONDALINK_FUZZ_SECONDS per target to change that); each gets
# through its corpus in under a second, the rest is mutation.
step fuzz "$root/scripts/fuzz.sh" "${ONDALINK_FUZZ_SECONDS:-45}" "$sanitize_dir"
echo "step: all took $SECONDS s"
echo "All tests passed."
