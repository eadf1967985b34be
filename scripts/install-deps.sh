#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev libqt6svg6 qt6-l10n-tools qt6-tools-dev dbus
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format clang-tidy clang-tidy-22 clazy
  xvfb xauth imagemagick x11-utils
  iproute2 iputils-ping procps python3
  desktop-file-utils appstream dpkg-dev file libcap2-bin
  qt6-httpserver-dev qt6-websockets-dev libsnmp-dev libsystemd-dev snmpd snmptrapd snmp smitools prometheus
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
