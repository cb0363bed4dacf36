#!/usr/bin/env python3
"""Time to a fixed depth and nodes per second for 1, 2, 4, ... search threads.

Runs the engine over UCI on 12 middlegame positions, each with cleared tables, and prints per
thread count the total time to reach the depth, the speed-up against the first count, the nodes
and the nodes per second. Run it on the machine that will play:

    tools/thread_scaling.py                      # 1, 2, 4, ... up to the cores here, depth 12
    tools/thread_scaling.py --threads 1,2,4,8,16,32,64 --depth 14 --hash 1024
"""
import argparse
import os
import subprocess
import sys
import time

POSITIONS = [
    "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP2BPPP/R2QKB1R w KQ - 0 8",
    "2r2rk1/pp1bqppp/2n1pn2/3p4/3P4/P1NBPN2/1P3PPP/R2Q1RK1 w - - 0 12",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "r2q1rk1/ppp2ppp/2n1bn2/2b1p3/3pP3/3P1NPP/PPP1NPB1/R1BQ1RK1 b - - 0 9",
    "r1bqk2r/pp1pppbp/2n2np1/2p5/8/3P1NP1/PPP1PPBP/RNBQ1RK1 w kq - 1 6",
    "r2qkb1r/pp1n1ppp/2p1pn2/3p4/6b1/3P1NP1/PPPNPPBP/R1BQ1RK1 w kq - 0 7",
    "r1b2rk1/2q1bppp/p2ppn2/1p6/3BPP2/2N2B2/PPPQ2PP/2KR3R w - - 0 13",
    "r1bq1rk1/4bppp/p1np1n2/1p2p3/4P3/1BP2N1P/PP1P1PP1/RNBQR1K1 w - - 1 10",
    "rnbq1rk1/ppp1bppp/4pn2/3p2B1/2PP4/2N1PN2/PP3PPP/R2QKB1R b KQ - 1 6",
    "r1bqr1k1/pp1nbppp/2p2n2/3p2B1/3P4/2NBP3/PPQ1NPPP/R3K2R w KQ - 6 10",
]


class Engine:
    def __init__(self, path):
        self.p = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)

    def send(self, line):
        self.p.stdin.write(line + "\n")
        self.p.stdin.flush()

    def until(self, prefix):
        lines = []
        for line in self.p.stdout:
            lines.append(line.rstrip("\n"))
            if line.startswith(prefix):
                return lines
        sys.exit("the engine ended before '%s'" % prefix)

    def close(self):
        self.send("quit")
        self.p.wait(timeout=30)


def field(line, name):
    words = line.split()
    return int(words[words.index(name) + 1]) if name in words else None


def run(path, threads, depth, hash_mb):
    e = Engine(path)
    e.send("uci")
    e.until("uciok")
    for option in ("OwnBook value false", "Threads value %d" % threads, "Hash value %d" % hash_mb):
        e.send("setoption name " + option)
    e.send("isready")
    e.until("readyok")
    seconds, nodes = 0.0, 0
    for fen in POSITIONS:
        e.send("setoption name Clear Hash")
        e.send("ucinewgame")
        e.send("position fen " + fen)
        e.send("isready")
        e.until("readyok")
        start = time.monotonic()
        e.send("go depth %d" % depth)
        lines = e.until("bestmove")
        seconds += time.monotonic() - start
        info = [l for l in lines if l.startswith("info multipv 1 ")]
        nodes += field(info[-1], "nodes") if info else 0
    e.close()
    return seconds, nodes


def main():
    cores = os.cpu_count() or 1
    counts, n = [], 1
    while n <= cores:
        counts.append(n)
        n *= 2
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--engine", default=os.path.join(here, "..", "build", "release", "vorlan"))
    parser.add_argument("--threads", default=",".join(map(str, counts)), help="comma-separated counts")
    parser.add_argument("--depth", type=int, default=12)
    parser.add_argument("--hash", type=int, default=128, help="MB")
    args = parser.parse_args()
    print("%d positions, depth %d, Hash %d MB, %d cores here" % (len(POSITIONS), args.depth, args.hash, cores))
    print("threads  time-to-depth  speed-up      nodes        nps  nps ratio")
    first = None
    for threads in [int(t) for t in args.threads.split(",")]:
        seconds, nodes = run(args.engine, threads, args.depth, args.hash)
        nps = nodes / seconds if seconds else 0
        if first is None:
            first = (seconds, nps)
        print("%7d  %12.2fs  %8.2f  %9d  %9.0f  %9.2f" %
              (threads, seconds, first[0] / seconds, nodes, nps, nps / first[1] if first[1] else 0))


if __name__ == "__main__":
    main()
