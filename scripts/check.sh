#!/usr/bin/env bash
# The check before a commit, a few minutes on a built tree: the formatting, an incremental normal build
# with tests (warnings are errors), the unit suites, and clang-tidy over the sources changed since the
# branch left main (and not yet committed). scripts/test.sh remains the whole run.
# Usage: scripts/check.sh [build dir, default build]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$root/build}"
cd "$root"

step() {
  local name="$1" start="$SECONDS"
  shift
  "$@"
  echo "step: $name took $((SECONDS - start)) s"
}

step format scripts/format-check.sh
step build scripts/build.sh "$dir" -DONDALINK_BUILD_TESTS=ON
step "unit tests" bash -c 'cd "$1" && ctest --output-on-failure --timeout 600 --no-tests=error -j "$(nproc)" -L unit' \
  _ "$dir"

# A changed header is checked through the source of the same name beside it.
base="$(git merge-base HEAD main 2>/dev/null || git rev-parse HEAD)"
mapfile -t changed < <({
  git diff --name-only --diff-filter=d "$base" -- '*.cpp' '*.h'
  git ls-files --others --exclude-standard -- '*.cpp' '*.h'
} | sed 's/\.h$/.cpp/' | sort -u | while read -r f; do [ -f "$f" ] && echo "$root/$f"; done)
if [ "${#changed[@]}" -gt 0 ]; then
  step clang-tidy scripts/lint.sh "$dir" "${changed[@]}"
else
  echo "check: no changed sources for clang-tidy"
fi
echo "check: passed in $SECONDS s"
