#!/usr/bin/env bash
# Starts the program from a folder that holds its skin files.
set -euo pipefail
build=${1:-build}
top=$(cd "$(dirname "$0")/.." && pwd)
rundir="$top/$build/run"
mkdir -p "$rundir"
if [ -x "$top/$build/ui/ravuone" ]; then
  cp -n "$top"/res/skin/*.bmp "$rundir"/ 2>/dev/null || true
  cd "$rundir" && exec "$top/$build/ui/ravuone"
fi
echo "The main window is not built yet.  What exists:"
ls "$top/$build/tools"/*/ravuone-* 2>/dev/null || echo "  (no tools yet)"
