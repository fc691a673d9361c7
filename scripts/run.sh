#!/usr/bin/env bash
# Starts the program from build/run, a folder that holds its three skin files
# and their 2x versions (refreshed from res/skin on every start) and keeps its
# settings file.
set -euo pipefail
build=${1:-build}
top=$(cd "$(dirname "$0")/.." && pwd)
rundir="$top/$build/run"
mkdir -p "$rundir"
cp "$top"/res/skin/*.bmp "$rundir"/
cd "$rundir"
exec "$top/$build/ui/ravuone"
