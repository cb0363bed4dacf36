#!/usr/bin/env bash
# Builds the two match runners outside the project tree (they are tools, not dependencies):
# fastchess (plain make) and cutechess-cli (CMake with Debian's Qt 6, the cli target only).
# Usage: tools/match/build_runners.sh [DIR]   (default /work/ext; prints the two binaries)
# Needs sources of github.com/Disservin/fastchess and github.com/cutechess/cutechess in DIR/fastchess
# and DIR/cutechess (git clone), and: apt-get install build-essential cmake qt6-base-dev qt6-svg-dev
#   qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools libgl-dev
set -euo pipefail
dir=${1:-/work/ext}
make -C "$dir/fastchess" -j2 >/dev/null
cmake -S "$dir/cutechess" -B "$dir/cutechess/build" -DCMAKE_BUILD_TYPE=Release -DWITH_TESTS=OFF >/dev/null
cmake --build "$dir/cutechess/build" --target cli -j2 >/dev/null
echo "$dir/fastchess/fastchess"
echo "$dir/cutechess/build/cutechess-cli"
