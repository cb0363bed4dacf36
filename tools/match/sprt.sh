#!/usr/bin/env bash
# Self-play between two Vorlan builds (or one build with different options) with fastchess:
# balanced openings, both colours, 2 games at a time, SPRT and Elo with error bars.
# Usage: tools/match/sprt.sh NEW OLD [TC] [ROUNDS]
#   tools/match/sprt.sh build/release/vorlan /tmp/vorlan-old 5+0.05 500
#   NEW_OPTS=option.Nullmove=false tools/match/sprt.sh build/release/vorlan build/release/vorlan 5+0.05 300
# NEW_OPTS/OLD_OPTS add engine options ("option.X=Y ..."); ELO0/ELO1 set the SPRT bounds.
# CONCURRENCY=1 plays one game at a time (engines on several threads: a core each).
# SPRT=off plays all the rounds (a fixed-length match for an Elo figure with error bars).
# fastchess sends only the options the engine lists, so personality settings (Passers, Knight,
# ...) go in an INI file with an [Engine] section: NEW_OPTS=option.Inifilepath=/path/to/file.ini
set -eu
new=$(readlink -f "$1"); old=$(readlink -f "$2"); tc=${3:-5+0.05}; rounds=${4:-500}
here=$(cd "$(dirname "$0")" && pwd)
fastchess=${FASTCHESS:-/work/ext/fastchess/fastchess}
out=${OUT:-$here/../../build/match}
mkdir -p "$out"
out=$(cd "$out" && pwd)
tag=${TAG:-sprt}
# fastchess leaves its state (config.json) in the folder it runs in: the output folder.
cd "$out"
sprt=(-sprt elo0="${ELO0:-0}" elo1="${ELO1:-10}" alpha=0.05 beta=0.05)
[ "${SPRT:-on}" = off ] && sprt=()
# shellcheck disable=SC2086
"$fastchess" -engine cmd="$new" name=new ${NEW_OPTS:-} -engine cmd="$old" name=old ${OLD_OPTS:-} \
  -each proto=uci tc="$tc" option.Hash=64 option.OwnBook=false -openings file="$here/openings.epd" format=epd order=random \
  -rounds "$rounds" -games 2 -repeat -concurrency "${CONCURRENCY:-2}" -recover \
  "${sprt[@]}" \
  -pgnout file="$out/$tag.pgn" > "$out/$tag.log" 2>&1 || true
grep -E 'Elo:|LLR|Games:|Points|Ptnml|SPRT' "$out/$tag.log" | tail -6
