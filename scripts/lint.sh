#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) and clazy (level 1) over every translation unit of ours in a build
# tree's compile_commands.json (src, tools, tests, bench; not the generated moc files), two at a time.
# Fails on any finding. Usage: scripts/lint.sh [build dir, default build]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$root/build}"
jobs="${ONDALINK_LINT_JOBS:-2}"
db="$dir/compile_commands.json"
[ -f "$db" ] || { echo "lint: $db missing: build that tree first" >&2; exit 1; }

# A source compiled into two targets is checked once.
mapfile -t files < <(python3 -c '
import json, sys
root = sys.argv[2] + "/"
files = {e["file"] for e in json.load(open(sys.argv[1]))}
for f in sorted(files):
    if f.startswith(root) and f[len(root):].split("/")[0] in ("src", "tools", "tests", "bench"):
        print(f)' "$db" "$root")
[ "${#files[@]}" -gt 0 ] || { echo "lint: no sources of ours in $db" >&2; exit 1; }

# Headers of ours only: the build tree (moc output) lies outside these folders.
headers="^$root/(src|tools|tests|bench)/"
log="$dir/lint.log"
: >"$log"
status=0
printf '%s\n' "${files[@]}" |
  xargs -P "$jobs" -I{} sh -c 'clang-tidy --quiet -p "$1" --header-filter="$2" "$3" 2>/dev/null' \
    sh "$dir" "$headers" {} >>"$log" || status=1
# Left out: qstring-ref (its advice, midRef(), is Qt 5's; Qt 6 has no QStringRef); in tests and
# benchmarks also non-pod-global-static (GoogleTest and Google Benchmark register each test and
# benchmark through one, and the test tables are some).
clazy_file() {
  local checks=level1,no-qstring-ref
  case "$1" in "$root"/tests/* | "$root"/bench/*) checks="$checks,no-non-pod-global-static" ;; esac
  clazy-standalone -checks="$checks" -header-filter="$headers" -p "$dir" "$1"
}
export -f clazy_file
export root headers dir
printf '%s\n' "${files[@]}" |
  xargs -P "$jobs" -I{} bash -c 'clazy_file "$1"' _ {} >>"$log" 2>&1 || status=1
if [ "$status" -ne 0 ] || grep -qE '(warning|error):' "$log"; then
  grep -E '(warning|error):' "$log" | sort -u >&2
  echo "lint: findings above (full output in $log)" >&2
  exit 1
fi
echo "lint: clang-tidy and clazy found nothing in ${#files[@]} files"
