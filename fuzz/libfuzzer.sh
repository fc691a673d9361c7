#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer under AddressSanitizer
# and UndefinedBehaviorSanitizer, and runs one of them.
#
# The model's string literals are Shift-JIS, which only GCC can produce from
# the UTF-8 sources (-fexec-charset=CP932).  sjis_escape.py therefore copies
# the sources with every Japanese character written as the octal escapes of
# its Shift-JIS bytes; clang compiles those copies to the same bytes.
#
#   fuzz/libfuzzer.sh build                    builds build-fuzz/lf_TARGET for every target below
#   fuzz/libfuzzer.sh run TARGET SECONDS [LIBFUZZER OPTIONS...]
#                                              fuzzes TARGET for SECONDS, e.g. with
#                                              -len_control=0 to try long files at once
#
# TARGET is one of parse_move, load_kif, csa, sfen, ki2, typed_move, packet_stream, settings, host_list.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${FUZZ_OUT:-$top/build-fuzz}
cxx=${CLANG_CXX:-clang++}
targets=(parse_move load_kif csa sfen ki2 typed_move packet_stream settings host_list)

build() {
  rm -rf "$out/esc"
  # The model's sources as the folders list them (standard library only).
  local srcs
  srcs=$(cd "$top" && grep -ho '\(game\|record\|net\|app\)/[a-z0-9_]*\.cpp' game/sources.cmake \
      record/sources.cmake net/sources.cmake app/sources.cmake | tr -d ' ')
  (cd "$top" && python3 fuzz/sjis_escape.py "$out/esc" game/*.h record/*.h net/*.h app/*.h $srcs \
      fuzz/*.h $(printf "fuzz/fuzz_%s.cpp " "${targets[@]}"))
  local flags=(-std=c++20 -O1 -g -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined
               -fno-sanitize-recover=undefined -I"$out/esc")
  rm -rf "$out/lfobj"
  mkdir -p "$out/lfobj"
  local objs=()
  for f in $srcs; do
    local o="$out/lfobj/$(dirname "$f")_$(basename "${f%.cpp}").o"
    "$cxx" "${flags[@]}" -c "$out/esc/$f" -o "$o"
    objs+=("$o")
  done
  for t in "${targets[@]}"; do
    "$cxx" "${flags[@]}" -fsanitize=fuzzer "$out/esc/fuzz/fuzz_$t.cpp" "${objs[@]}" -o "$out/lf_$t"
  done
}

case "${1:-}" in
  build) build ;;
  run)
    t=$2; secs=$3
    # A move text is one line; a KIF file may be read up to 65536 bytes and
    # one byte over is refused, so the file target gets a little more.  A
    # packet stream of 64 packets covers every handshake and game state.
    maxlen=512
    case "$t" in load_kif | csa | sfen | ki2) maxlen=70000 ;; esac
    [ "$t" = packet_stream ] && maxlen=$((4 + 64 * 256))
    [ "$t" = settings ] && maxlen=4096
    [ "$t" = host_list ] && maxlen=1024  # the list socket keeps at most 1,024 bytes
    # The settings target writes its file on every run: keep it in memory.
    [ "$t" = settings ] && [ -d /dev/shm ] && export TMPDIR=${TMPDIR:-/dev/shm}
    mkdir -p "$out/corpus_$t" "$out/crashes_$t"
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ASAN_OPTIONS=detect_leaks=1 \
      "$out/lf_$t" -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 -max_len="$maxlen" \
      -artifact_prefix="$out/crashes_$t/" -print_final_stats=1 "${@:4}" "$out/corpus_$t" "$top/fuzz/seeds/$t"
    ;;
  *) echo "usage: $0 build | run parse_move|load_kif|csa|sfen|ki2|typed_move|packet_stream|settings|host_list SECONDS" >&2; exit 2 ;;
esac
