#!/usr/bin/env bash
# Plays Vorlan against a Debian engine (black box) under the xboard GUI, headless, through
# polyglot's UCI adapter, and summarises the result. A benchmark, not a test.
# Needs: apt-get install xboard polyglot xvfb xauth glaurung
# Usage: tools/xboard_match.sh [games] [opponent] [time control] [increment]
set -euo pipefail
games=${1:-20}
opponent=${2:-/usr/games/glaurung}
tc=${3:-0:10}
inc=${4:-0.1}
root=$(cd "$(dirname "$0")/.." && pwd)
engine=$root/build/release/vorlan
out=${OUT:-$root/build/match}
mkdir -p "$out"
cp "$engine" "$out/vorlan"
rm -f "$out/games.pgn"
cd "$out"
xvfb-run -a /usr/games/xboard -noGUI -xexit -saveSettingsOnExit false \
  -adapterCommand '/usr/games/polyglot -noini -ec "%fcp" -ed "%fd"' \
  -mg "$games" -fcp ./vorlan -fd "$out" -fUCI -scp "$opponent" -sd "$out" -sUCI \
  -tc "$tc" -inc "$inc" -sgf "$out/games.pgn" -debug -nameOfDebugFile "$out/xboard.debug" \
  > "$out/xboard.log" 2>&1 || true
# Results from Vorlan's side, and every way a game can end other than over the board.
awk '/^\[White /{w=$0} /^\[Result /{r=$2; gsub(/[]"]/,"",r);
      v=(w ~ /Vorlan/); if (r=="1-0") {v?win++:loss++} else if (r=="0-1") {v?loss++:win++} else if (r=="1/2-1/2") draw++; else other++}
     END {printf "games %d: Vorlan wins %d, draws %d, losses %d, unfinished %d\n", win+draw+loss+other, win, draw, loss, other}' games.pgn
echo "Game ends:"; grep -o '{[^}]*}[[:space:]]*\(1-0\|0-1\|1/2-1/2\|\*\)' games.pgn | sed 's/[[:space:]]\+/ /g' | sort | uniq -c
grep -n -i -E 'illegal|forfeit|time|crash|disconnect' games.pgn | grep -v TimeControl || echo "no illegal moves, crashes or time forfeits"
