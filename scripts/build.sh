#!/usr/bin/env bash
# Configures and builds one build tree. Usage: scripts/build.sh [build-dir] [extra cmake args...]
# Every option is given on every run, so a tree that another command configured differently (run.sh
# leaves build/ without tests) is configured as asked; the extra args override these.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$root/build}"
shift || true
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DONDALINK_BUILD_TESTS=ON -DONDALINK_BUILD_BENCH=ON -DONDALINK_SANITIZE=OFF -DONDALINK_FUZZ=OFF \
  -DONDALINK_WERROR=ON "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
