#!/usr/bin/env bash
# Installs the dependencies, builds, and opens the NMS on a copy of the example database.
# Without a display it runs under Xvfb, writes a screenshot and prints its path.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build" -DONDALINK_BUILD_TESTS=OFF

work="$(mktemp -d /tmp/ondalink-run.XXXXXX)"
cp "$root/examples/nms.ini" "$work/nms.ini"
export ONDALINK_NMS_INI="$work/nms.ini"
nms="$root/build/src/ondalink-nms"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$nms"
fi

shot="$work/ondalink-nms.png"
xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" bash -c '
  "$1" & pid=$!
  for _ in $(seq 50); do
    xwininfo -root -tree 2>/dev/null | grep -q "Ondalink NMS" && break
    sleep 0.2
  done
  sleep 1
  /usr/bin/import -window root "$2"
  kill "$pid"; wait "$pid" 2>/dev/null || true
' _ "$nms" "$shot"
echo "Screenshot: $shot"
