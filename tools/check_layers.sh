#!/usr/bin/env bash
# Fails when a source folder includes a folder above it in the stack
#   platform < base < position < eval < search < book, tablebases < control and the programs,
# or when a folder below control writes to standard output or standard error.
# Book and tablebases sit side by side and include neither each other. A lower layer that needs
# a higher one at run time calls a hook the higher layer registers at start-up; what the lower
# layers have to say goes back as results or through such hooks, and control speaks.
set -euo pipefail
cd "$(dirname "$0")/../src"
declare -A level=([platform]=0 [base]=1 [position]=2 [eval]=3 [search]=4 [book]=5 [tablebases]=5 [control]=6)
top=7 # any other folder (stand-alone programs) may include everything
bad=0
for dir in */; do
  dir=${dir%/}
  own=${level[$dir]:-$top}
  while IFS= read -r hit; do
    [ -n "$hit" ] || continue
    target=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"$hit")
    [ "$target" = "$dir" ] && continue
    other=${level[$target]:-$top}
    if [ "$other" -ge "$own" ]; then
      echo "upward include: src/$hit"
      bad=1
    fi
  done < <(grep -rnE '^\s*#\s*include "[a-z_]+/' "$dir" || true)
done
[ "$bad" -eq 0 ] && echo "layers: every include points down the stack"

# Output calls: the printf and puts families, the standard streams and raw writes to them.
output='\b(printf|vprintf|puts|putchar)\s*\(|std::(cout|cerr|clog)\b|\b(stdout|stderr)\b|\bwrite\s*\(\s*(1|2|STDOUT_FILENO|STDERR_FILENO)\s*,'
writers=$(grep -rnE "$output" platform base position eval search book tablebases || true)
if [ -n "$writers" ]; then
  echo "output below control (return results or call a hook instead):"
  echo "$writers"
  bad=1
else
  echo "layers: nothing below control writes output"
fi
exit "$bad"
