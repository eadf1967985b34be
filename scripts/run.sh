#!/usr/bin/env bash
# Installs the dependencies, builds, brings up a virtual lab of two encoders and two decoders (see
# lab/lab) and opens the NMS on the lab's NMS host, where its broadcast reaches the simulated
# elements and nothing else. Closing the NMS takes the lab down.
# Without a display (no $DISPLAY) the NMS runs under Xvfb inside the NMS host: it discovers the
# elements, selects the first one, and a screenshot of the screen is written and its path printed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build" -DONDALINK_BUILD_TESTS=OFF

work="$(mktemp -d /tmp/ondalink-run.XXXXXX)"
export ONDALINK_SIM="$root/build/tools/element-sim/ondalink-element-sim"
export ONDALINK_LAB_PREFIX="onms$$" ONDALINK_LAB_STATE="$work/lab"
export ONDALINK_NMS_INI="$work/nms.ini" # a discovery fills it
lab="$root/lab/lab"
trap '"$lab" down >/dev/null 2>&1 || true' EXIT
rc=0
"$lab" up 4 --encoders 2 || rc=$?
[ "$rc" -ne 77 ] || echo "run.sh: network namespaces cannot be made here as this user; run it with sudo" >&2
[ "$rc" -eq 0 ] || exit "$rc"

if [ -n "${DISPLAY:-}" ]; then
  # The X server's abstract socket belongs to this network namespace only; the NMS host reaches
  # the server by its socket file in /tmp/.X11-unix, with the same DISPLAY and XAUTHORITY.
  echo "The NMS opens on the lab's NMS host. Start with 'Discover elements'; close it to end."
  "$lab" exec env QT_QPA_PLATFORM=xcb "$root/build/src/ondalink-nms"
  exit 0
fi

shot="$work/ondalink-nms.png"
# Xvfb runs inside the NMS host too: no X server is left behind, nothing listens on TCP.
"$lab" exec xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" bash -c '
  "$1" >"$3" 2>&1 & pid=$!
  for _ in $(seq 300); do
    grep -q "^ready" "$3" && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  cat "$3"
  grep -q "^ready" "$3" && /usr/bin/import -window root "$2"
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
' _ "$root/build/tools/nms-demo/ondalink-nms-demo" "$shot" "$work/demo.log"
[ -s "$shot" ] || { echo "run.sh: no screenshot was taken" >&2; exit 1; }
echo "Screenshot: $shot"
