#!/usr/bin/env bash
# Installs every package the build, the tests and the program need on a fresh
# Debian 12 machine.  Does nothing when they are all present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libgl-dev
  qt6-translations-l10n
  fonts-ipafont fonts-ipafont-gothic fonts-ipafont-mincho
  nginx-light
  clang libclang-rt-14-dev
  xvfb
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
