#!/usr/bin/env bash
# Feature-by-feature check: a build with -DVORLAN_FEATURE_SWITCHES=ON plays itself, once with
# every feature on and once with one feature switched off ("setoption name Off value F"), for
# each feature named. Positive Elo means the feature gains. Results in build/match/abl-F.log.
# Usage: tools/match/ablation.sh BINARY TC ROUNDS FEATURE...
#   tools/match/ablation.sh build/switches/vorlan 2+0.02 60 nullmove lmr futility
set -eu
bin=$1; tc=$2; rounds=$3; shift 3
here=$(cd "$(dirname "$0")" && pwd)
printf '%-12s %s\n' feature result
for f in "$@"; do
  line=$(TAG=abl-$f OLD_OPTS="option.Off=$f" "$here/sprt.sh" "$bin" "$bin" "$tc" "$rounds" | grep -E 'Elo:' | tail -1)
  games=$(grep -E 'Games:' "${OUT:-$here/../../build/match}/abl-$f.log" | tail -1)
  printf '%-12s %s | %s\n' "$f" "$line" "$games"
done
