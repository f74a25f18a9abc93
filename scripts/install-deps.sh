#!/usr/bin/env bash
# Installs whatever the builds and tests need and this machine lacks. Safe to run again.
set -euo pipefail

# The fonts stand in for the dialog fonts of Japanese, Chinese and Korean systems in the Wine runs
# (tests/e2e/harness/fonts.py): the layout check measures with them. DejaVu Sans and Loma stand in
# for the Greek, Hebrew, Arabic and Thai letters of those systems' Tahoma, which Wine's own Tahoma
# lacks.
packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
          mingw-w64 g++-mingw-w64-i686 wine wine64 wine32:i386 xvfb xdotool imagemagick python3 locales gcovr
          fonts-ipafont-gothic fonts-arphic-uming fonts-nanum fonts-dejavu-core fonts-tlwg-loma-ttf)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: root is needed to install packages" >&2
    exit 1
fi
if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q "${missing[@]}"
