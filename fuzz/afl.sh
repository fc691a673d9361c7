#!/usr/bin/env bash
# Builds the fuzz targets with AFL++'s GCC instrumentation (afl-g++: the
# model itself compiled by GCC, whose literals are Shift-JIS) under
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs one of them.
# Slower than fuzz/libfuzzer.sh (one fork per execution); see fuzz/README.md.
#
#   fuzz/afl.sh build                 builds build-fuzz/fuzz_TARGET for every target below
#   fuzz/afl.sh run TARGET SECONDS    fuzzes TARGET for SECONDS
#
# TARGET is one of parse_move, load_kif, ki2, packet_stream, settings, host_list.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${FUZZ_OUT:-$top/build-fuzz}
# afl-g++ instruments through its assembler wrapper; Debian's afl-g++-fast
# plugin refuses Debian's own GCC build ("incompatible versions").
cxx=${AFL_CXX:-afl-g++}
targets=(parse_move load_kif ki2 packet_stream settings host_list)

build() {
  mkdir -p "$out/obj"
  local flags=(-std=c++20 -O1 -g -fno-omit-frame-pointer -fsanitize=address,undefined
               -fno-sanitize-recover=undefined -finput-charset=UTF-8 -fexec-charset=CP932 -I"$top")
  local objs=()
  # The model's sources as the folders list them (standard library only).
  local f
  for f in $(cd "$top" && grep -ho '\(game\|record\|net\|app\)/[a-z0-9_]*\.cpp' game/sources.cmake \
      record/sources.cmake net/sources.cmake app/sources.cmake | tr -d ' '); do
    local o="$out/obj/$(dirname "$f")_$(basename "${f%.cpp}").o"
    "$cxx" "${flags[@]}" -c "$top/$f" -o "$o"
    objs+=("$o")
  done
  # Each target is the harness plus the file-replaying main: AFL++ runs it
  # with the test case's path (@@) under afl-as's fork server.
  "$cxx" "${flags[@]}" -c "$top/fuzz/replay_main.cpp" -o "$out/obj/replay_main.o"
  for t in "${targets[@]}"; do
    "$cxx" "${flags[@]}" -c "$top/fuzz/fuzz_$t.cpp" -o "$out/obj/harness_$t.o"
    "$cxx" "${flags[@]}" "$out/obj/harness_$t.o" "$out/obj/replay_main.o" "${objs[@]}" -o "$out/fuzz_$t"
  done
}

case "${1:-}" in
  build) build ;;
  run)
    t=$2; secs=$3
    mkdir -p "$out/findings_$t"
    # The settings target writes its file on every run: keep it in memory.
    [ "$t" = settings ] && [ -d /dev/shm ] && export TMPDIR=${TMPDIR:-/dev/shm}
    AFL_SKIP_CPUFREQ=1 AFL_NO_UI=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 \
    ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0 \
    UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1 \
      afl-fuzz -V "$secs" -m none -t 2000 -i "$top/fuzz/seeds/$t" -o "$out/findings_$t" -- "$out/fuzz_$t" @@
    ;;
  *) echo "usage: $0 build | run parse_move|load_kif|ki2|packet_stream|settings|host_list SECONDS" >&2; exit 2 ;;
esac
