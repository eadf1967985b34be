#!/usr/bin/env bash
# Installs the dependencies, checks the formatting, builds, and runs every test suite twice: a normal
# build (followed by clang-tidy and clazy over the tree) and an AddressSanitizer +
# UndefinedBehaviorSanitizer build; then each fuzzer for a bounded time.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/format-check.sh"

# JUnit results go to <build dir>/test-results/junit.xml. A tree without tests fails: it means a
# configuration without them, not a pass.
run_suite() {
  local dir="$1"; shift
  "$root/scripts/build.sh" "$dir" "$@"
  rm -f "$dir/test-results/junit.xml"
  (cd "$dir" && ctest --output-on-failure --timeout 600 --no-tests=error \
    --output-junit "$dir/test-results/junit.xml")
}

run_suite "$root/build" -DONDALINK_BUILD_TESTS=ON
# clang-tidy and clazy over every source of ours, from that build's compile_commands.json.
"$root/scripts/lint.sh" "$root/build"
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite "$root/build-sanitize" -DONDALINK_SANITIZE=ON -DONDALINK_BUILD_BENCH=OFF
# Each fuzzer for about a minute from its seed corpus (ONDALINK_FUZZ_SECONDS to change that).
"$root/scripts/fuzz.sh" "${ONDALINK_FUZZ_SECONDS:-60}" "$root/build-fuzz"
echo "All tests passed."
