#!/usr/bin/env bash
# Installs the Debian packages Phonolith needs to build, test and run.
# Idempotent: does nothing when every package is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build
  qt6-base-dev libgl-dev
  libgtest-dev googletest libbenchmark-dev
  fonts-liberation2 fonts-wine
  xvfb xauth xdotool imagemagick dbus-x11
  at-spi2-core python3-pyatspi
  desktop-file-utils appstream dpkg-dev x11-utils
  lintian devscripts man-db groff-base bsdextrautils binutils
  clang libclang-rt-14-dev valgrind
)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
