#!/usr/bin/env python3
"""Builds tools/match/openings.epd: balanced opening positions for engine matches.

Takes the named lines of 8 to 12 plies from the opening classification file that Debian's
scid package installs, converts them with pgn-extract, and keeps the final positions that
Debian's stockfish (as a black box, depth 12) scores within 40 centipawns of equality.
Needs: apt-get install scid pgn-extract stockfish
"""
import random
import re
import subprocess
import sys
import tempfile

ECO = "/usr/share/scid/data/scid.eco"
OUT = sys.argv[1] if len(sys.argv) > 1 else "openings.epd"

text = open(ECO, encoding="latin-1").read()
entries = re.findall(r'^([A-E]\d\d[a-z]?\d?)\s+"([^"]*)"\s+(.*?)\*', text, re.M | re.S)
with tempfile.TemporaryDirectory() as tmp:
    with open(f"{tmp}/eco.pgn", "w") as f:
        for code, _, moves in entries:
            moves = " ".join(moves.split())
            plies = [t for t in re.sub(r"\d+\.+", " ", moves).split() if t]
            if 8 <= len(plies) <= 12:
                f.write(f'[Event "{code}"]\n[ECO "{code}"]\n[Result "*"]\n\n{moves} *\n\n')
    subprocess.run(["/usr/games/pgn-extract", "-s", "-Wuci", "--fencomments", "-o", f"{tmp}/uci.pgn",
                    f"{tmp}/eco.pgn"], check=True, stderr=subprocess.DEVNULL)
    games = open(f"{tmp}/uci.pgn").read().split("[Event ")[1:]

positions, seen = [], set()
for g in games:
    eco = re.search(r'\[ECO "([^"]+)"', g).group(1)
    fens = re.findall(r"\{ ([^}]*) \}", g)
    if not fens:
        continue
    key = " ".join(fens[-1].split()[:4])
    if key not in seen:
        seen.add(key)
        positions.append((eco, fens[-1]))
random.seed(7)
random.shuffle(positions)

sf = subprocess.Popen(["/usr/games/stockfish"], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)
def send(line):
    sf.stdin.write(line + "\n")
    sf.stdin.flush()
send("uci")
send("isready")
while sf.stdout.readline().strip() != "readyok":
    pass
kept = []
for eco, fen in positions[:800]:
    send("position fen " + fen)
    send("go depth 12")
    score = None
    while True:
        line = sf.stdout.readline()
        m = re.search(r"score (cp|mate) (-?\d+)", line)
        if m:
            score = (m.group(1), int(m.group(2)))
        if line.startswith("bestmove"):
            break
    if score and score[0] == "cp":
        white = score[1] if " w " in fen else -score[1]
        if abs(white) <= 40:
            kept.append((eco, fen, white))
send("quit")
kept.sort()
with open(OUT, "w") as f:
    for eco, fen, white in kept:
        f.write(f'{fen}\n')
print(f"{len(kept)} balanced positions written to {OUT}")
