#!/usr/bin/env python3
"""Time use per move number from a cutechess PGN: mean seconds and depth for each engine.
Usage: tools/match/time_use.py GAMES.pgn [ENGINE]"""
import collections
import re
import sys

text = open(sys.argv[1]).read()
games = text.split("[Event ")[1:]
use = collections.defaultdict(lambda: collections.defaultdict(list))
for g in games:
    white = re.search(r'\[White "([^"]+)"', g).group(1)
    black = re.search(r'\[Black "([^"]+)"', g).group(1)
    body = g[g.find("\n\n"):]
    # Comments alternate from the side that moves first, Black in half of the openings.
    black_first = re.match(r"\s*\d+\.\.\.", body) is not None
    for i, c in enumerate(re.findall(r"\{([^}]*)\}", body)):
        m = re.match(r"\s*([-+]?(?:M?\d+(?:\.\d+)?))/(\d+) ([\d.]+)s", c)
        if not m:
            continue
        name = white if (i + black_first) % 2 == 0 else black
        use[name][i // 2 + 1].append((float(m.group(3)), int(m.group(2))))
names = sorted(use)
print("moves   " + "".join(f"{n:>22}" for n in names))
for start in range(1, 121, 10):
    row = f"{start:3}-{start + 9:<3} "
    for n in names:
        v = [x for k in range(start, start + 10) for x in use[n].get(k, [])]
        row += f"{(sum(t for t, _ in v) / len(v) if v else 0):>12.3f}s d{(sum(d for _, d in v) / len(v) if v else 0):>5.1f}"
        row += "   " if v else ""
    print(row)
