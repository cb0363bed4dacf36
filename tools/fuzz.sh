#!/usr/bin/env bash
# Runs the fuzz targets (cmake --workflow --preset fuzz builds them) for SECONDS each, one after
# the other, on their seed corpus (tests/fuzz/corpus/NAME) plus what earlier runs found
# (build/fuzz/corpus/NAME). Prints run time, executions and coverage per target; a crash,
# sanitizer report, failed check or hang (an input over 20 s) leaves its input in
# build/fuzz/artifacts and makes the script exit 1.
# Usage: tools/fuzz.sh SECONDS [TARGET...]   (targets: commands position options book pgn
#        polyglot tablebase; all by default). Long runs: nice -n 19 tools/fuzz.sh 600
set -uo pipefail
seconds=${1:?usage: tools/fuzz.sh SECONDS [TARGET...]}
shift
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$root/build/fuzz/tests/fuzz
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(commands position options book pgn polyglot tablebase)
mkdir -p "$root/build/fuzz/artifacts" "$root/build/fuzz/logs"
failed=0
printf '%-10s %8s %10s %7s %7s  %s\n' target seconds execs cov ft result
for t in "${targets[@]}"; do
  corpus=$root/build/fuzz/corpus/$t
  log=$root/build/fuzz/logs/$t.log
  mkdir -p "$corpus"
  start=$(date +%s)
  "$bin/fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 -max_len=$([ "$t" = commands ] && echo 140000 || echo 65536) \
    -print_final_stats=1 -artifact_prefix="$root/build/fuzz/artifacts/$t-" \
    $([ -f "$root/tests/fuzz/$t.dict" ] && echo "-dict=$root/tests/fuzz/$t.dict") \
    "$corpus" "$root/tests/fuzz/corpus/$t" > "$log" 2>&1
  rc=$?
  took=$(( $(date +%s) - start ))
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  result=ok
  if [ $rc -ne 0 ]; then result="FAILED (see $log)"; failed=1; fi
  printf '%-10s %8s %10s %7s %7s  %s\n' "$t" "$took" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$result"
  [ $rc -eq 0 ] || grep -m3 -E 'ERROR|fuzz check failed|runtime error|Test unit written' "$log"
done
exit $failed
