#!/usr/bin/env bash
# Starts the program from build/run, a folder that holds its three skin files
# and their 2x versions, with the English background in en/ (refreshed from
# res/skin on every start), and its own settings file: a ravuone.ini in the
# start folder makes the copy portable, so a developer's settings stay apart
# from an installed copy's (~/.config/ravuone).
set -euo pipefail
build=${1:-build}
top=$(cd "$(dirname "$0")/.." && pwd)
rundir="$top/$build/run"
mkdir -p "$rundir/en"
cp "$top"/res/skin/*.bmp "$rundir"/
cp "$top"/res/skin/en/*.bmp "$rundir"/en/
[ -e "$rundir/ravuone.ini" ] || : >"$rundir/ravuone.ini"
cd "$rundir"
exec "$top/$build/ui/ravuone" "$@"
