#!/usr/bin/env bash
# Soak run: many fast games of Vorlan against the Debian engines (black boxes) and against itself,
# under UCI and xboard, with pondering in part of them, and a share with the sanitizer build.
# Reports per batch the games and every way Vorlan can fail: crashes (disconnects, sanitizer
# reports), hangs (stalled connections), time forfeits, illegal moves, unfinished games, and
# the resident memory of each Vorlan process (first sample, last sample, peak, in MB).
# Exits 1 when Vorlan failed in any way.
# Usage: tools/soak.sh [SCALE]   SCALE multiplies the games per batch (default 1: 1,200 games,
#   about an hour on an idle 2-core machine). Needs build/release/vorlan and build/debug/vorlan
#   (cmake --build --preset release / debug), cutechess-cli (tools/match/build_runners.sh), and
#   apt-get install glaurung toga2 phalanx sjeng fairymax stockfish.
# It waits while a cutechess-cli or fastchess that it did not start runs (timed matches).
# Batches with pondering play one game at a time, the others two. ONLY="NAME ..." runs only
# the batches named.
# OUT=dir for the results (default build/soak). THREADS=N lets every Vorlan search on N threads
# (a default.ini in its working folder); RELEASE=path plays another release binary.
set -uo pipefail
scale=${1:-1}
root=$(cd "$(dirname "$0")/.." && pwd)
cutechess=${CUTECHESS:-/work/ext/cutechess/build/cutechess-cli}
out=${OUT:-$root/build/soak}
openings=$root/tools/match/openings.epd
rm -rf "$out" && mkdir -p "$out/bin" "$out/mem" "$out/sanitizer"

# A Vorlan command that records its process's resident memory: a sampler follows the process
# that the wrapper becomes, and writes "first last peak" (kB) when it ends; "first" is taken 5 s
# after the start, once the tables are set up.
wrapper() { # NAME BINARY
  local w=$out/bin/$1
  cat > "$w" <<EOF
#!/usr/bin/env bash
pid=\$\$
(
  first=; last=; peak=; n=0
  while s=\$(awk '/^VmRSS/{r=\$2} /^VmHWM/{h=\$2} END{if (r) print r, h; else exit 1}' /proc/\$pid/status 2>/dev/null); do
    set -- \$s; last=\$1; peak=\$2; n=\$((n + 1)); [ \$n -eq 10 ] && first=\$1; sleep 0.5
  done
  echo "\${first:-\$last} \$last \$peak" >> "$out/mem/\$SOAK_BATCH.\$pid"
) </dev/null >/dev/null 2>&1 &
export ASAN_OPTIONS=log_path=$out/sanitizer/asan:abort_on_error=1 UBSAN_OPTIONS=log_path=$out/sanitizer/ubsan:print_stacktrace=1
exec "$2"
EOF
  chmod +x "$w"
  echo "$w"
}
# Copies, so that a rebuild during the run changes nothing.
cp "${RELEASE:-$root/build/release/vorlan}" "$out/bin/vorlan-release"
cp "$root/build/debug/vorlan" "$out/bin/vorlan-debug"
[ -n "${THREADS:-}" ] && printf '[Engine]\nThreads=%s\n' "$THREADS" > "$out/default.ini"
release=$(wrapper release "$out/bin/vorlan-release")
debug=$(wrapper debug "$out/bin/vorlan-debug")

# Engine arguments for cutechess-cli. Vorlan gets 100 ms of grace on a loaded machine; Debian's
# Glaurung overruns fast clocks by itself and gets 2 s (its forfeits are not counted).
vorlan() { # BUILD PROTO ponder|- BOOK(true|false) [NAME-SUFFIX]
  local cmd=$release name=Vorlan
  [ "$1" = debug ] && cmd=$debug name=VorlanAsan
  name+=-$2${5:-}
  local args="name=$name cmd=$cmd dir=$out proto=$2 timemargin=100 restart=off stderr=$out/sanitizer/stderr-$name.txt"
  [ "$2" = uci ] && args+=" option.Hash=32 option.OwnBook=$4"
  [ "$3" = ponder ] && args+=" ponder"
  echo "$args"
}
opponent() {
  case $1 in
    glaurung) echo "name=Glaurung cmd=/usr/games/glaurung proto=uci option.Hash=32 option.OwnBook=false option.Threads=1 timemargin=2000" ;;
    toga2) echo "name=Toga2 cmd=/usr/games/toga2 proto=uci option.Hash=32 option.OwnBook=false timemargin=100" ;;
    stockfish) echo "name=Stockfish cmd=/usr/games/stockfish proto=uci option.Hash=32 option.Threads=1 option.UCI_LimitStrength=true option.UCI_Elo=1500 timemargin=100" ;;
    phalanx) echo "name=Phalanx cmd=/usr/games/phalanx arg=-b- arg=-l- proto=xboard timemargin=100" ;;
    sjeng) echo "name=Sjeng cmd=/usr/games/sjeng proto=xboard timemargin=100" ;;
    fairymax) echo "name=Fairymax cmd=/usr/games/fairymax proto=xboard timemargin=100" ;;
  esac
}

# Between batches none of ours runs: any runner seen is someone else's timed match.
waitForIdleRunners() {
  while pgrep -x cutechess-cli >/dev/null || pgrep -x fastchess >/dev/null; do
    echo "$(date +%T) waiting: a timed match is running" >&2; sleep 60
  done
}

# NAME GAMES TIME-CONTROL ENGINE-ARGS ENGINE-ARGS
batch() {
  local name=$1 games=$(( $2 * scale )) tc=$3; shift 3
  [ -z "${ONLY:-}" ] || [[ " $ONLY " == *" $name "* ]] || return 0
  local -a first second
  read -r -a first <<< "$1"; read -r -a second <<< "$2"
  # A pondering engine keeps a core busy while the other thinks: one such game per two cores.
  local concurrency=2
  [[ " $1 $2 " == *" ponder "* ]] && concurrency=1
  waitForIdleRunners
  SOAK_BATCH=$name nice -n 19 "$cutechess" -engine "${first[@]}" -engine "${second[@]}" -each $tc \
    -openings file="$openings" format=epd order=random -repeat -games 2 -rounds $(( (games + 1) / 2 )) \
    -concurrency $concurrency -recover -ratinginterval 0 -resign movecount=4 score=1000 \
    -pgnout "$out/$name.pgn" > "$out/$name.log" 2>&1
  echo "$name" >> "$out/batches"
}

batch glaurung-uci         100 tc=1+0.01 "$(vorlan release uci - false)" "$(opponent glaurung)"
batch toga2-uci-ponder     100 tc=1+0.01 "$(vorlan release uci ponder false)" "$(opponent toga2) ponder"
batch stockfish-uci        100 tc=1+0.01 "$(vorlan release uci - false)" "$(opponent stockfish)"
batch toga2-uci-10ms       100 st=0.01   "$(vorlan release uci - false)" "$(opponent toga2)"
batch phalanx-xboard       100 tc=1+0.01 "$(vorlan release xboard -)" "$(opponent phalanx)"
batch sjeng-xboard-ponder  100 tc=1+0.01 "$(vorlan release xboard ponder)" "$(opponent sjeng) ponder"
batch fairymax-xboard      100 tc=1+0.01 "$(vorlan release xboard -)" "$(opponent fairymax)"
batch fairymax-xboard-10ms 100 st=0.01   "$(vorlan release xboard -)" "$(opponent fairymax)"
batch self-uci-ponder      100 tc=1+0.01 "$(vorlan release uci ponder true)" "$(vorlan release uci ponder true 2)"
batch self-uci-xboard      100 tc=1+0.01 "$(vorlan release uci - true)" "$(vorlan release xboard ponder)"
batch asan-glaurung-uci     70 tc=2+0.02 "$(vorlan debug uci ponder false)" "$(opponent glaurung)"
batch asan-sjeng-xboard     70 tc=2+0.02 "$(vorlan debug xboard ponder)" "$(opponent sjeng)"
batch asan-self             60 tc=2+0.02 "$(vorlan debug uci - true)" "$(vorlan debug xboard -)"
sleep 1 # the memory samplers write when their process has gone

# Per batch: games, and Vorlan's failures by cutechess's termination tags (a game Vorlan lost).
failed=0
printf '%-22s %5s %5s %4s %7s %7s %10s  %s\n' batch games crash hang forfeit illegal unfinished "Vorlan rss MB: first/last/peak"
while read -r name; do
  read -r games crash hang forfeit illegal unfinished < <(awk '
    function tag() { v = $0; sub(/^\[[A-Za-z]+ "/, "", v); sub(/"\]$/, "", v); return v }
    function settle() {
      if (!open) return
      n++; open = 0
      loser = r == "1-0" ? b : r == "0-1" ? w : ""
      if (r == "*" || t == "unterminated") u++
      if (loser ~ /Vorlan/) {
        if (t == "abandoned") c++; else if (t == "stalled connection") h++
        else if (t == "time forfeit") f++; else if (t == "illegal move") i++
      }
    }
    /^\[Event /{settle(); open = 1; w = b = r = t = ""}
    /^\[White /{w = tag()} /^\[Black /{b = tag()} /^\[Result /{r = tag()} /^\[Termination /{t = tag()}
    END {settle(); print n + 0, c + 0, h + 0, f + 0, i + 0, u + 0}' "$out/$name.pgn" 2>/dev/null)
  mem=$(cat "$out"/mem/"$name".* 2>/dev/null |
        awk '{if ($1 > f) f = $1; if ($2 > l) l = $2; if ($3 > p) p = $3} END {printf "%.0f/%.0f/%.0f", f / 1024, l / 1024, p / 1024}')
  printf '%-22s %5s %5s %4s %7s %7s %10s  %s\n' "$name" "${games:-0}" "${crash:-0}" "${hang:-0}" "${forfeit:-0}" \
    "${illegal:-0}" "${unfinished:-0}" "$mem"
  (( ${crash:-0} + ${hang:-0} + ${forfeit:-0} + ${illegal:-0} + ${unfinished:-0} > 0 )) && failed=1
done < "$out/batches"
reports=$(ls "$out"/sanitizer/asan.* "$out"/sanitizer/ubsan.* 2>/dev/null | wc -l)
echo "sanitizer reports: $reports (in $out/sanitizer)"
(( reports > 0 )) && failed=1
exit $failed
