#!/usr/bin/env bash
# Deep perft run through the engine's own console commands: prints each position's count,
# time and leaf nodes per second. Usage: tools/perft_bench.sh [path/to/vorlan]
set -euo pipefail
engine=${1:-build/release/vorlan}
run() { # fen depth expected
  out=$(printf 'fen %s\nperft %s\nquit\n' "$1" "$2" | "$engine" | grep -E "^$2:" | tail -1)
  ms=$(echo "$out" | cut -f2); nodes=$(echo "$out" | cut -f3)
  status=ok; [ "$nodes" = "$3" ] || status="MISMATCH (expected $3)"
  printf '%-75s d%s %12s %7s ms %6s Mnps %s\n' "$1" "$2" "$nodes" "$ms" "$(( ms > 0 ? nodes / ms / 1000 : 0 ))" "$status"
}
run "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1" 6 119060324
run "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1" 5 193690690
run "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1" 6 11030083
run "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1" 5 15833292
run "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8" 5 89941194
run "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10" 5 164075551
