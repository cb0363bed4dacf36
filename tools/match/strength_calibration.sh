#!/usr/bin/env bash
# Calibrates UCI_Elo: for each setting X, Vorlan with UCI_LimitStrength on and UCI_Elo X plays
# Debian's Stockfish at the same UCI_Elo (a black box whose scale follows a public rating list),
# balanced openings, both colours. Prints one table row per setting: score, Elo difference with
# its 95% bar, and the median seconds per move of each side beside the clock's share per move.
# Usage: tools/match/strength_calibration.sh GAMES TC ELO...
#   tools/match/strength_calibration.sh 100 10+0.1 1350 1500 1650 1800 2000
#   ELO "full" plays Vorlan without the limit (against Stockfish at FULL_OPPONENT, default 2200).
#   ENGINE=path (default build/release/vorlan), CUTECHESS=path, CONCURRENCY (default 2),
#   SYZYGY=folder of 3-4 piece tables for adjudication (default ../shared/data/syzygy),
#   OUT=folder for PGN and logs (default build/calibration), TABLE=file the rows are appended to.
set -eu
games=$1; tc=$2; shift 2
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
cutechess=${CUTECHESS:-/work/ext/cutechess/build/cutechess-cli}
out=${OUT:-$root/build/calibration}
mkdir -p "$out"
engine=$out/vorlan-under-test
cp "${ENGINE:-$root/build/release/vorlan}" "$engine"
table=${TABLE:-/dev/null}
# Games are adjudicated (both engines agree on a decisive score, a long dead-even stretch, a
# 3-4 piece table), so that a setting's games take half a minute rather than one.
adjudicate=(-resign movecount=4 score=800 twosided=true -draw movenumber=40 movecount=8 score=10)
tables=${SYZYGY:-$root/../shared/data/syzygy}
[ -d "$tables" ] && adjudicate+=(-tb "$tables" -tbpieces 4)
header="| UCI_Elo | games | Vorlan W-L-D | score | Elo difference (95%) | median s/move Vorlan | Stockfish | clock share |"
echo "$header"; echo "|---|---|---|---|---|---|---|---|"
for elo in "$@"; do
  if [ "$elo" = full ]; then
    limit=(); sf=${FULL_OPPONENT:-2200}
  else
    limit=(option.UCI_LimitStrength=true option.UCI_Elo="$elo"); sf=$elo
  fi
  tag=calibration-$elo-$tc
  rm -f "$out/$tag.pgn"
  "$cutechess" -engine name=Vorlan cmd="$engine" proto=uci option.Hash=64 option.OwnBook=false "${limit[@]}" \
    -engine name=Stockfish cmd=/usr/games/stockfish proto=uci option.Hash=64 option.Threads=1 \
    option.UCI_LimitStrength=true option.UCI_Elo="$sf" \
    "${adjudicate[@]}" -each tc="$tc" timemargin=200 -openings file="$here/openings.epd" format=epd order=random -repeat \
    -games 2 -rounds $((games / 2)) -concurrency "${CONCURRENCY:-2}" -recover -ratinginterval 0 \
    -pgnout "$out/$tag.pgn" > "$out/$tag.log" 2>&1 || true
  python3 - "$out/$tag.pgn" "$out/$tag.log" "$elo" "$tc" <<'PY' | tee -a "$table"
import math, re, statistics, sys
pgn, log, elo, tc = sys.argv[1:5]
text = open(pgn).read()
games = text.split("[Event ")[1:]
w = l = d = 0
times = {"Vorlan": [], "Stockfish": []}
ends = []
for g in games:
    white = re.search(r'\[White "([^"]+)"', g).group(1)
    black = re.search(r'\[Black "([^"]+)"', g).group(1)
    result = re.search(r'\[Result "([^"]+)"', g).group(1)
    if result == "1/2-1/2": d += 1
    elif (result == "1-0") == (white == "Vorlan") and result != "*": w += 1
    elif result != "*": l += 1
    body = g[g.find("\n\n"):]
    black_first = re.match(r"\s*\d+\.\.\.", body) is not None
    comments = re.findall(r"\{([^}]*)\}", body)
    if comments: ends.append(comments[-1].split(",")[-1].strip())
    for i, c in enumerate(comments):
        m = re.match(r"\s*(?:book|[-+]?M?\d+(?:\.\d+)?/\d+) ([\d.]+)s", c)
        if m:
            times[white if (i + black_first) % 2 == 0 else black].append(float(m.group(1)))
n = w + l + d
if n == 0:
    print(f"| {elo} | 0 | - | - | - | - | - | - |"); sys.exit()
score = (w + d / 2) / n
# Elo from the score, 95% bar from the trinomial variance of one game's points.
var = (w * (1 - score) ** 2 + l * score ** 2 + d * (0.5 - score) ** 2) / n
dev = math.sqrt(var / n)
def to_elo(s):
    s = min(max(s, 1e-3), 1 - 1e-3)
    return -400 * math.log10(1 / s - 1)
diff = to_elo(score)
bar = (to_elo(score + 1.96 * dev) - to_elo(score - 1.96 * dev)) / 2
base, _, inc = tc.partition("+")
share = float(base.split("/")[-1]) / 30 + float(inc or 0)  # a 60-move game's even share
med = lambda v: f"{statistics.median(v):.2f}" if v else "-"
bad = sum(1 for e in ends if any(k in e for k in ("time", "illegal", "disconnect", "stall", "crash")))
note = f" ({bad} games ended by time, crash or illegal move)" if bad else ""
print(f"| {elo} | {n} | {w}-{l}-{d} | {100 * score:.1f}% | {diff:+.0f} ± {bar:.0f}{note} | "
      f"{med(times['Vorlan'])} | {med(times['Stockfish'])} | {share:.2f} |")
PY
done
