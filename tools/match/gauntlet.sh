#!/usr/bin/env bash
# Plays Vorlan against Debian engines (black boxes) with cutechess-cli: balanced openings from
# openings.epd, each with both colours, 2 games at a time, PGN out, Elo with error bars.
# Usage: tools/match/gauntlet.sh GAMES TC OPPONENT... (e.g. 100 5+0.05 glaurung toga2 phalanx sf2200)
#   ENGINE=path/to/vorlan (default build/release/vorlan), CUTECHESS=path (default /work/ext/...)
#   TIMEMARGIN=ms a move may overrun the clock (default 200).
#   VORLAN_TC=tc gives Vorlan its own control (time odds: how much speed would an equal score take?).
# Every engine plays on one thread: Glaurung 2.2 defaults to two, which on two cores with two games
# at a time leaves it behind its own clock (and slows the game beside it).
# Own books are off: the openings come from the suite.
set -eu
games=$1; tc=$2; shift 2
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
cutechess=${CUTECHESS:-/work/ext/cutechess/build/cutechess-cli}
out=${OUT:-$root/build/match}
mkdir -p "$out"
engine=${ENGINE:-$root/build/release/vorlan}
cp "$engine" "$out/vorlan-under-test"
for opp in "$@"; do
  case $opp in
    glaurung) opponent=(name=Glaurung cmd=/usr/games/glaurung proto=uci option.Hash=64 option.OwnBook=false
                     option.Threads=1) ;;
    toga2) opponent=(name=Toga2 cmd=/usr/games/toga2 proto=uci option.Hash=64 option.OwnBook=false) ;;
    phalanx) opponent=(name=Phalanx cmd=/usr/games/phalanx arg=-b- arg=-l- proto=xboard) ;;
    sjeng) opponent=(name=Sjeng cmd=/usr/games/sjeng proto=xboard) ;;
    fairymax) opponent=(name=Fairymax cmd=/usr/games/fairymax proto=xboard) ;;
    sf*) opponent=(name=Stockfish${opp#sf} cmd=/usr/games/stockfish proto=uci option.Hash=64 option.Threads=1
               option.UCI_LimitStrength=true option.UCI_Elo=${opp#sf}) ;;
    *) echo "unknown opponent $opp" >&2; exit 2 ;;
  esac
  pgn=$out/gauntlet-$opp-$tc.pgn
  rm -f "$pgn"
  "$cutechess" -engine name=Vorlan cmd="$out/vorlan-under-test" proto=uci option.Hash=64 option.OwnBook=false \
    tc="${VORLAN_TC:-$tc}" -engine "${opponent[@]}" tc="$tc" -each timemargin=${TIMEMARGIN:-200} \
    -openings file="$here/openings.epd" format=epd order=random -repeat -games 2 -rounds $((games / 2)) \
    -concurrency 2 -recover -ratinginterval 0 -pgnout "$pgn" > "$out/gauntlet-$opp-$tc.log" 2>&1 || true
  echo "== $opp ($tc, $games games)"
  grep -E '^Score of|^Elo difference|^SPRT|Finished' "$out/gauntlet-$opp-$tc.log" | tail -3
  # How the games ended: the runner's last comment of each game (it may wrap over two lines).
  python3 - "$pgn" <<'PY'
import collections, re, sys
games = open(sys.argv[1]).read().split("[Event ")[1:]
ends = collections.Counter(re.findall(r"\{([^}]*)\}", g)[-1].split(",")[-1].strip() for g in games)
for end, n in ends.most_common():
    print(f"{n:7d} {end}")
PY
done
