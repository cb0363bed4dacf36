#!/usr/bin/env bash
# Records the node count of "bench 7" from the start position, which the bench test compares
# against: run it after a change that is meant to alter the search or the evaluation.
# Usage: tools/update_bench_nodes.sh [path/to/vorlan]
set -euo pipefail
engine=${1:-build/release/vorlan}
nodes=$(printf 'bench 7\n' | timeout 120 "$engine" | grep -m1 '^Nodes:' | cut -f2 || true)
[ -n "$nodes" ] || { echo "no node count from $engine" >&2; exit 1; }
echo "$nodes" > "$(dirname "$0")/../tests/data/bench_nodes.txt"
echo "bench 7: $nodes nodes"
