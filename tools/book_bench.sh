#!/usr/bin/env bash
# Book speed: vorlan-book from-pgn on 10,000 random games, from-polyglot on a Polyglot book of
# about a million entries (made from random drawn games with Debian's polyglot program), and the
# root selection time from the internal book and from the converted large book.
# Usage: tools/book_bench.sh [build dir]   (release build; needs the polyglot package)
set -euo pipefail
build=$(cd "${1:-build/release}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
polyglot=$(command -v polyglot || echo /usr/games/polyglot)
TIMEFORMAT='%R s'

"$build/random_pgn" 10000 60 1 > games.pgn
echo "from-pgn, 10,000 games of 60 plies ($(du -h games.pgn | cut -f1)):"
time "$build/vorlan-book" from-pgn games.pgn -o games.vlb

"$build/random_pgn" 44000 50 2 draws > big.pgn
"$polyglot" make-book -pgn big.pgn -bin big.bin -max-ply 26 -min-game 1 > /dev/null
echo "from-polyglot, $(( $(stat -c %s big.bin) / 16 )) Polyglot entries:"
time "$build/vorlan-book" from-polyglot big.bin -o big.vlb

echo "root selection:"
"$build/book_bench" | tail -1
"$build/book_bench" big.vlb 200 | tail -1
