#!/usr/bin/env python3
"""Resource limits of the engine, measured: Hash at its bounds and changed during and between
searches, thousands of ucinewgame/position/go cycles (resident memory at start and end), a long
"go infinite" then "stop" (counters, time and nps stay sane), a 600-move game, and MultiPV 256
on positions with few moves. Prints one line per check with its figures; exits 1 on a failure.

Usage: tools/resource_limits.py [--engine build/release/vorlan] [--infinite SECONDS]
                                [--cycles N] [--only NAME,...]
Long runs belong under nice -n 19 (the infinite search takes 600 s by default). Run it with the
sanitizer build (build/debug/vorlan) too: its reports end the engine and fail the check.
"""
import argparse
import os
import re
import select
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


class Engine:
    def __init__(self, path):
        self.dir = tempfile.TemporaryDirectory()
        self.p = subprocess.Popen([os.path.abspath(path)], cwd=self.dir.name, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE, bufsize=0)
        self.buf = b""

    def send(self, line):
        self.p.stdin.write((line + "\n").encode())

    def line(self, timeout):
        end = time.time() + timeout
        while b"\n" not in self.buf:
            left = end - time.time()
            if left <= 0 or not select.select([self.p.stdout], [], [], left)[0]:
                return None
            chunk = os.read(self.p.stdout.fileno(), 65536)
            if not chunk:
                return None
            self.buf += chunk
        text, self.buf = self.buf.split(b"\n", 1)
        return text.decode(errors="replace")

    def until(self, prefix, timeout=30):
        """Lines up to and including the first that starts with prefix; None on timeout."""
        lines, end = [], time.time() + timeout
        while True:
            l = self.line(max(0.0, end - time.time()))
            if l is None:
                return None
            lines.append(l)
            if l.startswith(prefix):
                return lines

    def uci(self, *options):
        self.send("uci")
        assert self.until("uciok"), "no uciok"
        for o in options:
            self.send("setoption name %s" % o)
        self.ready()

    def ready(self, timeout=60):
        self.send("isready")
        return self.until("readyok", timeout) is not None

    def rss_mb(self):
        with open("/proc/%d/status" % self.p.pid) as f:
            for l in f:
                if l.startswith("VmRSS"):
                    return int(l.split()[1]) / 1024
        return 0.0

    def close(self):
        try:
            self.send("quit")
            self.p.wait(10)
        except Exception:
            self.p.kill()
        err = self.p.stderr.read().decode(errors="replace")
        self.dir.cleanup()
        return self.p.returncode, err


def info_fields(line):
    return {k: int(v) for k, v in re.findall(r"\b(depth|seldepth|time|nodes|nps|hashfull|multipv) (-?\d+)", line)}


RESULTS = []


def report(name, ok, text):
    RESULTS.append(ok)
    print("%-22s %s  %s" % (name, "ok  " if ok else "FAIL", text), flush=True)


def bestmove(lines):
    return lines[-1].split()[1] if lines and lines[-1].startswith("bestmove") else None


def check_hash_bounds(path):
    for mb, depth in ((2048, 12), (1, 12)):
        e = Engine(path)
        e.uci()
        start = time.time()
        e.send("setoption name Hash value %d" % mb)
        ready = e.ready()
        took = time.time() - start
        rss = e.rss_mb()
        e.send("position startpos moves e2e4 c7c5 g1f3")
        e.send("go depth %d" % depth)
        lines = e.until("bestmove", 120)
        code, err = e.close()
        report("hash-%d" % mb, bool(ready and lines and code == 0 and not err),
               "set in %.2f s, rss %.0f MB, go depth %d -> %s" % (took, rss, depth, bestmove(lines)))
    e = Engine(path)
    e.uci()
    e.send("setoption name Hash value 0")
    e.send("setoption name Hash value 4096")
    e.send("setoption name Hash value -1")
    lines = e.until("info string ERROR", 10) or []
    more = e.until("info string ERROR", 10) or []
    third = e.until("info string ERROR", 10) or []
    e.send("go depth 6")
    ok = bool(lines and more and third and e.until("bestmove", 60))
    code, err = e.close()
    report("hash-out-of-bounds", ok and code == 0, "0, 4096 and -1 refused with one line each, search still runs")


def check_hash_during_search(path):
    e = Engine(path)
    e.uci("Hash value 64")
    rss = [e.rss_mb()]
    e.send("position startpos")
    e.send("go infinite")
    time.sleep(0.5)
    for mb in (256, 16, 1, 128):
        e.send("setoption name Hash value %d" % mb)
        time.sleep(0.5)
        rss.append(e.rss_mb())
    e.send("setoption name Clear Hash")
    e.send("stop")
    lines = e.until("bestmove", 30)
    between = []
    for mb in (512, 32):
        e.send("setoption name Hash value %d" % mb)
        between.append(e.ready())
        rss.append(e.rss_mb())
        e.send("go depth 8")
        between.append(e.until("bestmove", 60) is not None)
    code, err = e.close()
    report("hash-during-search", bool(lines and all(between) and code == 0 and not err),
           "rss MB %s, move %s" % ("/".join("%.0f" % r for r in rss), bestmove(lines)))


def check_cycles(path, cycles):
    e = Engine(path)
    e.uci("Hash value 16")
    openings = ["", "moves e2e4", "moves d2d4 g8f6 c2c4", "moves e2e4 c7c5 g1f3 d7d6",
                "fen r3k2r/pppq1ppp/2n5/3pP3/8/2N5/PPP2PPP/R3K2R w KQkq d6 0 12 moves e5d6"]
    start_rss = None
    ok = True
    t0 = time.time()
    for i in range(cycles):
        e.send("ucinewgame")
        o = openings[i % len(openings)]
        e.send("position " + ("startpos " + o if not o.startswith("fen") else o))
        e.send("go " + ("nodes 3000" if i % 2 else "wtime 50 btime 50 winc 5 binc 5"))
        if e.until("bestmove", 30) is None:
            ok = False
            break
        if i == 100:
            e.ready()
            start_rss = e.rss_mb()
    e.ready()
    end_rss = e.rss_mb()
    code, err = e.close()
    growth = end_rss - (start_rss or end_rss)
    report("newgame-cycles", ok and code == 0 and not err and growth < 1.0,
           "%d cycles in %.0f s, rss after 100 %.1f MB, at end %.1f MB" % (cycles, time.time() - t0, start_rss or 0, end_rss))


def check_infinite(path, seconds):
    e = Engine(path)
    e.uci("Hash value 128")
    e.send("position startpos moves e2e4 e7e5 g1f3 b8c6")
    e.send("go infinite")
    t0 = time.time()
    last, problems, prev_nodes = {}, [], 0
    while time.time() - t0 < seconds:
        l = e.line(1.0)
        if l is None:
            if e.p.poll() is not None:
                problems.append("engine ended")
                break
            continue
        if l.startswith("bestmove"):
            problems.append("moved during an infinite search")
            break
        f = info_fields(l)
        if " pv " in l and "nodes" in f:  # currmove lines are flushed later than they were made
            if f["nodes"] < prev_nodes or any(v < 0 for v in f.values()):
                problems.append("counter went back or negative: " + l)
            prev_nodes = f["nodes"]
            last = f
    e.send("stop")
    lines = e.until("bestmove", 30) or []
    for l in lines:
        f = info_fields(l)
        if " pv " in l and "nodes" in f:
            last = f
    code, err = e.close()
    elapsed = time.time() - t0
    t, n, nps = last.get("time", 0), last.get("nodes", 0), last.get("nps", 0)
    sane = t > 0 and abs(t / 1000 - elapsed) < 5 and n > 0 and abs(nps - n * 1000 // t) <= nps // 100 + 1
    report("infinite-%ds" % seconds, bool(lines and sane and not problems and code == 0 and not err),
           "depth %s, time %d ms, nodes %d, nps %d%s" % (last.get("depth"), t, n, nps,
                                                       "; " + "; ".join(problems) if problems else ""))


def check_long_game(path):
    # 600 moves of knight shuffles (every position repeats), then a search.
    shuffle = ["g1f3", "g8f6", "f3g1", "f6g8"]
    moves = [shuffle[i % 4] for i in range(1200)]
    e = Engine(path)
    e.uci()
    e.send("position startpos moves " + " ".join(moves))
    e.send("go depth 8")
    lines = e.until("bestmove", 60)
    uci_ok = lines is not None and not any("Invalid" in l for l in lines)
    # A self-played game of up to 600 moves, one "position ... moves" line per ply.
    played = []
    while len(played) < 1200:
        e.send("position startpos moves " + " ".join(played))
        e.send("go nodes 2000")
        out = e.until("bestmove", 30)
        if out is None or any("Invalid" in l for l in out):
            uci_ok = False
            break
        m = bestmove(out)
        if m in (None, "0000", "(none)"):
            break
        played.append(m)
    code, err = e.close()
    # xboard: the same shuffle in force mode, then "go".
    x = Engine(path)
    x.send("xboard")
    x.send("protover 2")
    x.send("force")
    for m in moves:
        x.send(m)
    x.send("ping 1")
    pong = x.until("pong 1", 60)
    x.send("go")
    xm = x.until("move ", 60)
    xcode, xerr = x.close()
    xb_ok = pong is not None and xm is not None and not any("Illegal" in l for l in pong)
    report("600-move-game", uci_ok and xb_ok and code == 0 and xcode == 0 and not err and not xerr,
           "shuffle -> %s (uci), %s (xboard); self-play reached %d plies" %
           (bestmove(lines), xm[-1] if xm else None, len(played)))


def check_multipv(path):
    cases = [("4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", 6, 14), ("7k/8/6K1/8/8/8/8/1R6 w - - 0 1", None, 10),
             ("startpos", 20, 6)]
    e = Engine(path)
    e.uci("MultiPV value 256", "OwnBook value false")  # a book move would be the only root move
    ok, figures = True, []
    for pos, legal, depth in cases:
        e.send("position " + (pos if pos == "startpos" else "fen " + pos))
        e.send("go depth %d" % depth)
        lines = e.until("bestmove", 120)
        if lines is None:
            ok = False
            break
        pvs = {f["multipv"] for f in map(info_fields, lines) if "multipv" in f}
        if legal and (max(pvs, default=0) > legal):
            ok = False
        figures.append("%d lines" % max(pvs, default=0))
    code, err = e.close()
    report("multipv-256", ok and code == 0 and not err, ", ".join(figures))


def main():
    a = argparse.ArgumentParser()
    a.add_argument("--engine", default=os.path.join(ROOT, "build/release/vorlan"))
    a.add_argument("--infinite", type=int, default=600)
    a.add_argument("--cycles", type=int, default=3000)
    a.add_argument("--only", default="")
    args = a.parse_args()
    checks = {
        "hash": lambda: check_hash_bounds(args.engine),
        "hash-search": lambda: check_hash_during_search(args.engine),
        "cycles": lambda: check_cycles(args.engine, args.cycles),
        "long-game": lambda: check_long_game(args.engine),
        "multipv": lambda: check_multipv(args.engine),
        "infinite": lambda: check_infinite(args.engine, args.infinite),
    }
    for name, run in checks.items():
        if not args.only or name in args.only.split(","):
            run()
    sys.exit(0 if all(RESULTS) else 1)


if __name__ == "__main__":
    main()
