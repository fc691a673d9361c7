#!/usr/bin/env bash
# A scripted USI engine for the engine tests:  fake_usi_engine.sh MODE [WHEN]
#   normal           answers the handshake; a search prints info lines and
#                    "bestmove 7g7f" (legal from the start position only);
#                    "go infinite" answers at "stop"
#   crash usiok|go   exits after usiok, or after the first info of a search
#   hang ready|go    never answers isready, or never answers a search (not
#                    even "stop")
#   garbage junk     unknown and broken lines, then a normal answer
#   garbage long     a line longer than any USI line
#   garbage illegal  a best move that cannot be played
#   garbage flood    megabytes of output in a moment
mode="$1 ${2:-}"
while IFS= read -r line; do
  case "$line" in
    usi)
      echo "id name Fake $mode"
      echo "option name USI_Hash type spin default 1 min 1 max 8"
      echo usiok
      [ "$mode" = "crash usiok" ] && exit 3 ;;
    isready)
      [ "$mode" = "hang ready" ] || echo readyok ;;
    go*)
      case "$mode" in
        "garbage junk")
          printf 'info depth x score cp abc pv\n\001\002\377\376 garbage\nbestmovez 1a1a\ninfo string bestmove 5e5d\n\n' ;;
        "garbage long")
          head -c 100000 /dev/zero | tr '\0' x; echo; continue ;;
        "garbage illegal")
          echo "info depth 1 score cp 10 pv 5e5d"; echo "bestmove 5e5d"; continue ;;
        "garbage flood")
          yes "info string flood" | head -c 30000000; continue ;;
      esac
      echo "info depth 1 multipv 1 score cp 40 pv 7g7f 3c3d"
      [ "$mode" = "crash go" ] && exit 4
      [ "$mode" = "hang go" ] && continue
      [ "$line" = "go infinite" ] && continue
      echo "info depth 2 multipv 2 score cp -900 pv 2g2f"
      echo "info depth 2 score cp 55 lowerbound pv 2g2f"
      echo "bestmove 7g7f ponder 3c3d" ;;
    stop)
      [ "$mode" = "hang go" ] || echo "bestmove 7g7f ponder 3c3d" ;;
    quit)
      exit 0 ;;
  esac
done
