#!/usr/bin/env bash
# Fails when a C++ file of the repository is not formatted as .clang-format says; lists those files.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
# One clang-format for every file: it names the file of each line it would change.
status=0
out="$(clang-format --dry-run --Werror "${files[@]}" 2>&1)" || status=$?
mapfile -t unformatted < <(grep -oE '^[^:]+:[0-9]+:[0-9]+: error: code should be clang-formatted' <<<"$out" |
  cut -d: -f1 | sort -u)
if [ "${#unformatted[@]}" -gt 0 ]; then
  echo "format: not formatted (clang-format -i FILE):" >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  exit 1
fi
# Any other failure (an unreadable file or style) is not a pass either.
[ "$status" -eq 0 ] || { echo "$out" >&2; echo "format: clang-format failed" >&2; exit 1; }
echo "format: every C++ file is formatted (${#files[@]} files)"
