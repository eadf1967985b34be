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
         "./usr/share/icons/hicolor/scalable/apps/$id.svg" ./usr/share/doc/ondalink-nms/PING.md; do
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

# The post-install step: the capability when setcap works; otherwise a note, and success either way.
dpkg-deb -e "$deb" "$work/control"
cmp -s "$work/control/postinst" "$postinst" || fail "the package's postinst is not $postinst"
[ -x "$work/control/postinst" ] || fail "postinst is not executable"
fake="$work/fakebin"
mkdir -p "$fake"
printf '#!/bin/sh\necho "$@" >"%s/setcap.args"\nexit "${SETCAP_RC:-0}"\n' "$work" >"$fake/setcap"
chmod +x "$fake/setcap"
run_postinst() { env -i PATH="$1" DPKG_ROOT="$root" SETCAP_RC="${2:-0}" /bin/sh "$work/control/postinst" configure; }

run_postinst "$fake:/usr/bin:/bin" 2>"$work/err" || fail "postinst failed with a working setcap"
[ "$(cat "$work/setcap.args")" = "cap_net_raw+ep $root/usr/bin/ondalink-nms" ] || fail "setcap called as: $(cat "$work/setcap.args")"
[ ! -s "$work/err" ] || fail "postinst complained with a working setcap: $(cat "$work/err")"
run_postinst "$fake:/usr/bin:/bin" 1 2>"$work/err" || fail "postinst failed when setcap fails"
grep -q ping_group_range "$work/err" || fail "no note when setcap fails"
run_postinst "$work/empty" 2>"$work/err" || fail "postinst failed without setcap"
grep -q ping_group_range "$work/err" || fail "no note without setcap"

echo "package ok: $(basename "$deb")"
