#!/usr/bin/env python3
"""Compares Vorlan's time per move in a cutechess PGN (base+increment games, no moves to go)
with its budget rules: the clock replayed from the game's own times, the soft budget a 24th of
the clock plus the increment (short budgets shrunk), the hard budget twice that.
Usage: tools/match/budget_check.py GAMES.pgn BASE_MS INC_MS"""
import re
import sys

def budget(clock, inc, lag=10):
    t = clock // 24 + inc
    target = t - lag if t > lag else 0
    for limit, num in ((200, 7), (400, 8), (1200, 9)):
        if target < limit:
            target = target * num // 10
            break
    return target

text = open(sys.argv[1]).read()
base, inc = int(sys.argv[2]), int(sys.argv[3])
rows, over_hard, under_quarter, total = [], 0, 0, 0
for g in text.split("[Event ")[1:]:
    white = re.search(r'\[White "([^"]+)"', g).group(1)
    body = g[g.find("\n\n"):]
    # Comments alternate from the side that moves first, Black in half of the openings.
    black_first = re.match(r"\s*\d+\.\.\.", body) is not None
    side = (0 if white == "Vorlan" else 1) ^ black_first
    comments = re.findall(r"\{([^}]*)\}", body)
    clock = base
    for i, c in enumerate(comments):
        if i % 2 != side:
            continue
        m = re.match(r"\s*[-+]?M?[\d.]+/(\d+) ([\d.]+)s", c)
        if not m:
            continue
        used = int(float(m.group(2)) * 1000)
        target = budget(clock, inc)
        total += 1
        if used > 2 * target + 30:
            over_hard += 1
        if used * 4 < target and "M" not in c:
            under_quarter += 1
        rows.append(used / max(target, 1))
        clock = clock - used + inc
rows.sort()
print(f"{total} moves: median {rows[len(rows)//2]:.2f} of the soft budget, 90th percentile {rows[len(rows)*9//10]:.2f}, "
      f"max {rows[-1]:.2f}; over the hard budget {over_hard}; under a quarter of the soft budget {under_quarter}")
