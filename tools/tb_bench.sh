#!/usr/bin/env bash
# Tablebase benchmark: generation time and memory of every table of up to 4 pieces, of KQKR and
# (with --five) of KRPKR with the 5-piece tables it needs; the full value and index checks; probe
# speed through the engine's cache. Uses the release build.
# Usage: tools/tb_bench.sh [--five] [work folder, default /tmp/vorlan-tb-bench]
set -euo pipefail
five=0
if [ "${1:-}" = "--five" ]; then five=1; shift; fi
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$root/build/release
work=${1:-/tmp/vorlan-tb-bench}
export VORLAN_REFERENCE_DATA=${VORLAN_REFERENCE_DATA:-$root/../shared/data}
[ -d "$VORLAN_REFERENCE_DATA" ] || VORLAN_REFERENCE_DATA=$root/../../shared/data
mkdir -p "$work"
timed() { # label command...: wall, CPU and peak memory of one run
  local label=$1 log; shift; log=$(mktemp)
  /usr/bin/time -f "%e %U %S %M" -o "$log" "$@" > "$work/last.out"
  read -r wall user sys kb < "$log"; rm -f "$log"
  printf '%-34s %8.1f s wall %8.1f s CPU %7d MB peak\n' "$label" "$wall" "$(echo "$user + $sys" | bc)" "$((kb / 1024))"
}
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
rm -rf "$work/plain" "$work/packed" "$work/kqkr"
timed "all 4-piece tables" "$bin/vorlan-tbgen" --all 4 -o "$work/plain"
timed "all 4-piece tables, compressed" "$bin/vorlan-tbgen" --all 4 --compress -o "$work/packed"
mkdir -p "$work/kqkr" && cp "$work"/plain/k?k.* "$work/kqkr/" # what a capture in KQKR leads to
timed "kqkr" "$bin/vorlan-tbgen" kqkr -o "$work/kqkr"
if [ "$five" = 1 ]; then
  timed "krpkr and the 5-piece tables it needs" "$bin/vorlan-tbgen" krpkr -o "$work/plain"
  grep -E '^k' "$work/last.out"
fi
plain=$(du -sb "$work/plain" | cut -f1); packed=$(du -sb "$work/packed" | cut -f1)
echo "compression: $packed bytes for $plain ($(echo "scale=2; $plain / $packed" | bc) : 1)"
"$bin/tb_check" values "$work/plain" | grep -v -e '^info string' -e 'default.ini'
"$bin/tb_check" index | tail -1
"$bin/tb_check" sample 200000 | tail -1
"$bin/tb_check" probe "$work/packed" | grep -E 'cache'
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
