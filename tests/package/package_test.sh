#!/usr/bin/env bash
# Builds the Debian package and checks what it holds, what it depends on, that the desktop entry and
# the AppStream file validate, and that its post-install step never fails the installation.
# Usage: package_test.sh <build-dir> <postinst>
set -euo pipefail
build="$1"
postinst="$2"
id=org.ondalink.nms

for tool in cpack dpkg-deb desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log") || { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/out/*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, found: ${debs[*]}"
deb="${debs[0]}"

# What is installed, and nothing else: no simulator, nothing outside /usr.
dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' | sort >"$work/files"
for f in ./usr/bin/ondalink-nms "./usr/share/applications/$id.desktop" "./usr/share/metainfo/$id.metainfo.xml" \
         "./usr/share/icons/hicolor/scalable/apps/$id.svg" ./usr/share/doc/ondalink-nms/PING.md \
         ./usr/share/ondalink-nms/translations/ondalink_en.qm ./usr/bin/ondalink-nmsd \
         ./usr/lib/systemd/system/ondalink-nmsd.service ./usr/lib/sysusers.d/ondalink-nmsd.conf \
         ./usr/share/ondalink-nms/nmsd.conf ./usr/share/doc/ondalink-nms/SERVICE.md \
         ./usr/share/doc/ondalink-nms/PROMETHEUS.md ./usr/share/ondalink-nms/prometheus/ondalink-nmsd.rules.yml; do
  grep -qxF "$f" "$work/files" || fail "$f missing from the package"
done
if grep -v '^\./usr/' "$work/files" || grep -i 'sim' "$work/files"; then fail "unexpected files above"; fi

depends="$(dpkg-deb -f "$deb" Depends)"
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6svg6; do
  [[ ", $depends," == *", $p "* || ", $depends," == *", $p,"* ]] || fail "Depends lacks $p: $depends"
done
[[ "$(dpkg-deb -f "$deb" Recommends)" == *libcap2-bin* ]] || fail "libcap2-bin is not recommended"

root="$work/root"
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" || fail "AppStream file"
# The newest release named in the AppStream file is the package's version.
version="$(dpkg-deb -f "$deb" Version)"
grep -m1 -o '<release version="[^"]*"' "$root/usr/share/metainfo/$id.metainfo.xml" | grep -qF "\"$version\"" ||
  fail "the AppStream file's newest release is not $version"

# The post-install step: no capability where the ping group range lets every user ping; otherwise the
# capability when setcap works, else a note; success every time. Fake setcap and sysctl stand in.
dpkg-deb -e "$deb" "$work/control"
cmp -s "$work/control/postinst" "$postinst" || fail "the package's postinst is not $postinst"
[ -x "$work/control/postinst" ] || fail "postinst is not executable"
fake="$work/fakebin" nosetcap="$work/nosetcap"
mkdir -p "$fake" "$nosetcap"
printf '#!/bin/sh\necho "$@" >"%s/setcap.args"\nexit "${SETCAP_RC:-0}"\n' "$work" >"$fake/setcap"
printf '#!/bin/sh\n[ "$*" = "-n net.ipv4.ping_group_range" ] && printf "%%b\\n" "$PING_RANGE"\n' >"$fake/sysctl"
cp "$fake/sysctl" "$nosetcap/sysctl"
chmod +x "$fake/setcap" "$fake/sysctl" "$nosetcap/sysctl"
# Usage: run_postinst <range> <bin folder> <setcap's exit code>; sets out, err and the capability given.
run_postinst() {
  rm -f "$work/setcap.args"
  env -i PATH="$2:/usr/bin:/bin" DPKG_ROOT="$root" PING_RANGE="$1" SETCAP_RC="$3" \
    /bin/sh "$work/control/postinst" configure >"$work/stdout" 2>"$work/err" || fail "postinst failed for range '$1'"
  out="$(cat "$work/stdout")" err="$(cat "$work/err")"
  given="$(cat "$work/setcap.args" 2>/dev/null || true)"
}
cap="cap_net_raw+ep $root/usr/bin/ondalink-nms"
# range | bin folder | setcap's exit code | capability expected | stdout says | stderr says
while IFS='|' read -r range bin rc expected says complains; do
  run_postinst "$range" "$bin" "$rc"
  [ "$given" = "${expected:+$cap}" ] || fail "range '$range': setcap called as '$given'"
  [[ "$out" == *"$says"* ]] || fail "range '$range': stdout is '$out'"
  if [ -z "$complains" ]; then [ -z "$err" ] || fail "range '$range': stderr is '$err'"
  else [[ "$err" == *"$complains"* ]] || fail "range '$range': stderr is '$err'"; fi
done <<EOF_ROWS
0\t2147483647|$fake|0||gets no capability|
100 59999|$fake|0||gets no capability|
1\t0|$fake|0|yes|gave|
101 4294967294|$fake|0|yes|gave|
100 59998|$fake|0|yes|gave|
garbage|$fake|0|yes|gave|
1 0|$fake|1|yes||ping_group_range
1 0|$nosetcap|0|||ping_group_range
EOF_ROWS

# The service: its unit is sound, its example configuration is one it accepts, and the post-install
# step makes its user, puts the configuration in /etc once, and gives its echo a capability only
# where the range leaves the user's group out.
unit="$root/usr/lib/systemd/system/ondalink-nmsd.service"
grep -qx 'Type=notify' "$unit" && grep -q '^WatchdogSec=' "$unit" && grep -qx 'User=ondalink-nmsd' "$unit" ||
  fail "the unit is not Type=notify with a watchdog and its own user"
grep -qx 'CapabilityBoundingSet=' "$unit" || fail "the unit itself gives a capability"
if command -v systemd-analyze >/dev/null; then
  # The host's units around it, the program from the package.
  sed "s|/usr/bin/ondalink-nmsd|$root/usr/bin/ondalink-nmsd|g" "$unit" >"$work/ondalink-nmsd.service"
  systemd-analyze verify --man=no "$work/ondalink-nmsd.service" >"$work/verify" 2>&1 ||
    { cat "$work/verify"; fail "systemd-analyze verify"; }
  [ ! -s "$work/verify" ] || { cat "$work/verify"; fail "systemd-analyze verify has remarks"; }
fi
"$root/usr/bin/ondalink-nmsd" --check --config "$root/usr/share/ondalink-nms/nmsd.conf" ||
  fail "the service refuses its own example configuration"
if command -v systemd-sysusers >/dev/null; then
  dropin="$root/etc/systemd/system/ondalink-nmsd.service.d/ping.conf"
  run_postinst "101 4294967294" "$fake" 0
  gid="$(awk -F: '$1 == "ondalink-nmsd" { print $3 }' "$root/etc/group")"
  [ -n "$gid" ] && grep -q '^ondalink-nmsd:' "$root/etc/passwd" || fail "no user ondalink-nmsd"
  [ ! -e "$dropin" ] || fail "range 101..4294967294 holds the service's group $gid, yet it got a capability"
  cmp -s "$root/etc/ondalink/nmsd.conf" "$root/usr/share/ondalink-nms/nmsd.conf" || fail "no /etc/ondalink/nmsd.conf"
  echo "# the operator's" >>"$root/etc/ondalink/nmsd.conf"
  run_postinst "1 0" "$fake" 0
  grep -qx 'AmbientCapabilities=CAP_NET_RAW' "$dropin" || fail "range '1 0': the service's echo got no capability"
  [[ "$out" == *"ondalink-nmsd: "*"CAP_NET_RAW"* ]] || fail "range '1 0': stdout is '$out'"
  grep -q "the operator's" "$root/etc/ondalink/nmsd.conf" || fail "the operator's configuration was replaced"
  run_postinst "0 $gid" "$fake" 0
  [ ! -e "$dropin" ] || fail "range '0 $gid': the capability stayed"
fi

echo "package ok: $(basename "$deb")"
