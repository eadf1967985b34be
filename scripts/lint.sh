#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) over every translation unit of ours in a build tree's
# compile_commands.json (src, tools, tests, bench; not the generated moc files), two at a time, or over
# the files named after the tree. Fails on any finding. clazy runs inside the compiler in the
# sanitizer tree (-DONDALINK_CLAZY=ON, scripts/test.sh), not here.
# Usage: scripts/lint.sh [build dir, default build] [source files...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$root/build}"
shift || true
jobs="${ONDALINK_LINT_JOBS:-2}"
# clang-tidy 22 (Debian 12's security suite) parses a file in about half the time of the default 14, with
# every check 14 runs; CLANG_TIDY names another.
tidy="${CLANG_TIDY:-clang-tidy-22}"
command -v "$tidy" >/dev/null || { echo "lint: $tidy missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
db="$dir/compile_commands.json"
[ -f "$db" ] || { echo "lint: $db missing: build that tree first" >&2; exit 1; }

# A source compiled into two targets is checked once; named files only if the tree compiles them.
mapfile -t files < <(python3 -c '
import json, os, sys
root = sys.argv[2] + "/"
asked = {os.path.abspath(f) for f in sys.argv[3:]}
files = {e["file"] for e in json.load(open(sys.argv[1]))}
for f in sorted(files):
    if f.startswith(root) and f[len(root):].split("/")[0] in ("src", "tools", "tests", "bench"):
        if not asked or f in asked:
            print(f)' "$db" "$root" "$@")
if [ "${#files[@]}" -eq 0 ]; then
  [ "$#" -gt 0 ] && { echo "lint: none of the named files is compiled in $dir"; exit 0; }
  echo "lint: no sources of ours in $db" >&2
  exit 1
fi

# Headers of ours only: the build tree (moc output) lies outside these folders.
headers="^$root/(src|tools|tests|bench)/"
log="$dir/lint.log"
: >"$log"
status=0
printf '%s\n' "${files[@]}" |
  xargs -P "$jobs" -I{} sh -c '"$1" --quiet -p "$2" --header-filter="$3" "$4" 2>/dev/null' \
    sh "$tidy" "$dir" "$headers" {} >>"$log" || status=1
if [ "$status" -ne 0 ] || grep -qE '(warning|error):' "$log"; then
  grep -E '(warning|error):' "$log" | sort -u >&2
  echo "lint: findings above (full output in $log)" >&2
  exit 1
fi
echo "lint: clang-tidy found nothing in ${#files[@]} files"
