#!/usr/bin/env bash
# Fails when a C++ file of the repository is not formatted as .clang-format says; lists those files.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
unformatted=()
while IFS= read -r file; do
  clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done < <(git ls-files -- '*.cpp' '*.h')
if [ "${#unformatted[@]}" -gt 0 ]; then
  echo "format: not formatted (clang-format -i FILE):" >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  exit 1
fi
echo "format: every C++ file is formatted"
