#!/usr/bin/env bash
# Builds the two fuzz targets with AFL++'s GCC instrumentation (afl-g++: the
# model itself compiled by GCC, whose literals are Shift-JIS) under
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs one of them.
# Slower than fuzz/libfuzzer.sh (one fork per execution); see fuzz/README.md.
#
#   fuzz/afl.sh build                 builds build-fuzz/fuzz_parse_move and build-fuzz/fuzz_load_kif
#   fuzz/afl.sh run TARGET SECONDS    fuzzes TARGET (parse_move or load_kif) for SECONDS
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${FUZZ_OUT:-$top/build-fuzz}
# afl-g++ instruments through its assembler wrapper; Debian's afl-g++-fast
# plugin refuses Debian's own GCC build ("incompatible versions").
cxx=${AFL_CXX:-afl-g++}

build() {
  mkdir -p "$out/obj"
  local flags=(-std=c++20 -O1 -g -fno-omit-frame-pointer -fsanitize=address,undefined
               -fno-sanitize-recover=undefined -finput-charset=UTF-8 -fexec-charset=CP932 -I"$top")
  local objs=()
  for f in "$top"/game/*.cpp "$top"/record/*.cpp; do
    [ "$(basename "$f")" = types.cpp ] && continue
    local o="$out/obj/$(basename "$(dirname "$f")")_$(basename "${f%.cpp}").o"
    "$cxx" "${flags[@]}" -c "$f" -o "$o"
    objs+=("$o")
  done
  # Each target is the harness plus the file-replaying main: AFL++ runs it
  # with the test case's path (@@) under afl-as's fork server.
  "$cxx" "${flags[@]}" -c "$top/fuzz/replay_main.cpp" -o "$out/obj/replay_main.o"
  for t in parse_move load_kif; do
    "$cxx" "${flags[@]}" -c "$top/fuzz/fuzz_$t.cpp" -o "$out/obj/harness_$t.o"
    "$cxx" "${flags[@]}" "$out/obj/harness_$t.o" "$out/obj/replay_main.o" "${objs[@]}" -o "$out/fuzz_$t"
  done
}

case "${1:-}" in
  build) build ;;
  run)
    t=$2; secs=$3
    mkdir -p "$out/findings_$t"
    AFL_SKIP_CPUFREQ=1 AFL_NO_UI=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 \
    ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0 \
    UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1 \
      afl-fuzz -V "$secs" -m none -t 2000 -i "$top/fuzz/seeds/$t" -o "$out/findings_$t" -- "$out/fuzz_$t" @@
    ;;
  *) echo "usage: $0 build | run parse_move|load_kif SECONDS" >&2; exit 2 ;;
esac
