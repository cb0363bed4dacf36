#!/usr/bin/env bash
# Plays Vorlan as a native xboard engine (no adapter) against xboard engines from Debian under
# the real xboard program, headless, and reports how every game ended. A benchmark, not a test.
# Needs: apt-get install xboard xvfb xauth sjeng fairymax phalanx
# Usage: tools/xboard_games.sh GAMES OPPONENT "TIME-CONTROL FLAGS" [ponder]
#   tools/xboard_games.sh 10 fairymax "-tc 0:20 -inc 0.2"
#   tools/xboard_games.sh 10 sjeng "-mps 40 -tc 1" ponder      (level 40 1 0, pondering on)
# VARIANT=fischerandom FENS=file plays that variant from the file's start positions (each twice).
set -euo pipefail
games=${1:-10}
opponent=${2:-fairymax}
tc=${3:--tc 0:20 -inc 0.2}
ponder=${4:-}
root=$(cd "$(dirname "$0")/.." && pwd)
out=${OUT:-$root/build/xboard-games/$(basename "$opponent")-${ponder:-noponder}-$(tr -c 'a-z0-9' _ <<<"$tc")}
mkdir -p "$out"
cp "$root/build/release/vorlan" "$out/vorlan"
case $opponent in
  phalanx) opp="/usr/games/phalanx -b- -l-" ;;
  sjeng) opp="/usr/games/sjeng" ;;
  /*) opp="$opponent" ;; # a path: another xboard engine, or a copy of Vorlan
  *) opp="/usr/games/$opponent" ;;
esac
pflag=false
[ "$ponder" = ponder ] && pflag=true
rm -f "$out/games.pgn"
# Balanced openings, each played with both colours (xboard sends them with setboard).
if [ -n "${FENS:-}" ]; then
  cp "$FENS" "$out/openings.fen"
else
  cut -d' ' -f1-4 "$root/tools/match/openings.epd" | sed 's/$/ 0 1/' > "$out/openings.fen"
fi
variant=()
[ -n "${VARIANT:-}" ] && variant=(-variant "$VARIANT")
cd "$out"
# shellcheck disable=SC2086
timeout $((games * 600)) xvfb-run -a /usr/games/xboard -noGUI -xexit -saveSettingsOnExit false -autoCallFlag true \
  -mg "$games" -lpf "$out/openings.fen" -lpi -2 -fcp ./vorlan -fd "$out" -scp "$opp" -sd "$out" $tc -ponderNextMove "$pflag" "${variant[@]}" \
  -sgf "$out/games.pgn" -debug -nameOfDebugFile "$out/xboard.debug" > "$out/xboard.log" 2>&1 || true
awk '/^\[White /{w=$0} /^\[Result /{r=$2; gsub(/[]"]/,"",r);
      v=(w ~ /vorlan|Vorlan/); if (r=="1-0") {v?win++:loss++} else if (r=="0-1") {v?loss++:win++} else if (r=="1/2-1/2") draw++; else other++}
     END {printf "games %d: Vorlan wins %d, draws %d, losses %d, unfinished %d\n", win+draw+loss+other, win, draw, loss, other}' games.pgn
echo "Game ends:"
grep -o '{[^}]*}[[:space:]]*\(1-0\|0-1\|1/2-1/2\|\*\)[[:space:]]*$' games.pgn | sed 's/[[:space:]]\+/ /g' | sort | uniq -c
echo "Problems (illegal moves, forfeits, crashes, errors sent to the engine):"
grep -i -E 'illegal|forfeit|on time|crash|disconnect|exited|not responding' games.pgn || true
grep -c -E '^>first *: *[a-z]' xboard.debug >/dev/null 2>&1 || true
grep -E 'first.*(Error|Illegal)' xboard.debug | head -5 || true
