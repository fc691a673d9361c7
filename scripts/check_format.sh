#!/usr/bin/env bash
# Checks every C++ file of the repository against .clang-format, and the one
# naming rule a pattern can check: no name ends in an underscore.  With
# --fix, rewrites the files instead of checking their layout.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
clang-format --dry-run --Werror "${files[@]}"
if grep -nE '\b[a-z][A-Za-z0-9]*_\b' "${files[@]}" | grep -v '^[^:]*:[0-9]*: *//'; then
  echo "check_format.sh: names above end in an underscore; members are plain camelCase (see .clang-format)" >&2
  exit 1
fi
echo "check_format.sh: ${#files[@]} files formatted as .clang-format says"
