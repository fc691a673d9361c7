#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the program need
# on a fresh Debian 12 machine.  Does nothing when they are all present.
#
#   scripts/setup.sh            what `make run`, `make test`, `make sanitize` and CI use
#   scripts/setup.sh fuzz       also clang and its runtime, for fuzz/libfuzzer.sh
set -euo pipefail

packages=(
  # compiler and build; GoogleTest and Google Benchmark for the tests
  build-essential cmake
  libgtest-dev libbenchmark-dev
  # Qt (Widgets, Network, Test; Multimedia for the piece sound) and its
  # Japanese translation, which the program installs at start
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libgl-dev
  qt6-translations-l10n
  # lupdate and lrelease: the English translation is built into the program,
  # and every build checks that each text has its English
  qt6-l10n-tools qt6-tools-dev python3
  # asking the home router to forward the listening port: UPnP-IGD and NAT-PMP
  libminiupnpc-dev libnatpmp-dev
  # the fonts the windows and the artwork generator draw with
  fonts-ipafont fonts-ipafont-gothic fonts-ipafont-mincho
  # the formatter every source is checked with (make format-check, CI)
  clang-format
  # the Debian package (make deb, and the test that installs it): CPack's
  # dependency lookup (dpkg-shlibdeps, file), the desktop entry, file type
  # and manual page checks
  dpkg-dev file desktop-file-utils libxml2-utils groff-base man-db
  # a USI engine: the analysis tests run a whole record on it, and a user's
  # copy analyses records with it unless the settings name another
  fairy-stockfish
)
for extra in "$@"; do
  case "$extra" in
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    *) echo "scripts/setup.sh: unknown extra '$extra' (fuzz)" >&2; exit 2 ;;
  esac
done

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
