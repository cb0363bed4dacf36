#include "tbgen/retro.h"

#include "tbgen/board.h"
#include "tbgen/parallel.h"
#include "tbgen/store.h"
#include "tbgen/values.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

namespace tbgen {

using namespace position;
using tablebases::TableInfo;
using tablebases::Tables;

namespace {

// Per position a value (values.h) and a count: the moves that stay in the table and are not
// yet known to lose for the side to move, plus one for a way out that does not lose.
constexpr std::uint8_t ILLEGAL = 0xFF;
constexpr std::uint8_t LOSING_EXITS = 0x80; // ways out exist and all lose: the longest counts
constexpr std::uint8_t MOVES = 0x7F;

struct Examined {
    int legal = 0, inTable = 0;
    bool check = false, exits = false;
    std::uint8_t bestExit = DRAWN;
    int longestLoss = 0;
};

// A position of the graph: a board with a side to move, or (ep set) the same board just after a
// double push that the side to move can take en passant.
struct Node {
    int side;
    Board board;
    unsigned ep;
    std::uint64_t index = 0; // canonical index of the board (when known)
};

int kindOf(PieceType t) { return t == PAWN ? 0 : t == KNIGHT ? 1 : t == BISHOP ? 2 : t == ROOK ? 3 : 4; }

struct Generator {
    const TableInfo &table;
    Space space;
    int threads;
    std::unique_ptr<std::uint8_t[]> value[2], count[2];
    std::vector<std::uint64_t> epKey[2]; // canonical index * 64 + en-passant square, sorted
    std::vector<std::uint8_t> epValue[2], epCount[2];
    std::atomic<int> deepest{0};
    std::atomic<std::uint64_t> lookupFailures{0}, conflicts{0}, unindexed{0};
    Progress progress;

    Generator(const TableInfo &t, int n) : table(t), space(makeSpace(t)), threads(n) {
        progress.label = t.name;
    }

    // The value, for the side that moved, of a move that leaves the table.
    std::uint8_t exitValue(const Successor &m, int mover) {
        unsigned lists[2][16];
        int counts[2][tablebases::KIND_COUNT] = {};
        bool pieces = false;
        for (int i = 0; i < space.slots; ++i) {
            unsigned sq = m.board.sq[i];
            if (sq >= 64) continue;
            int c = space.colour[i];
            PieceType t = i == m.promoted ? m.promotion : space.type[i];
            if (t == KING) {
                lists[c][15] = sq;
            } else {
                int k = kindOf(t);
                lists[c][3 * k + counts[c][k]++] = sq;
                pieces = true;
            }
        }
        if (!pieces) return DRAWN;
        tablebases::TableSpot spot;
        if (!tablebases::locate(lists[0], lists[1], counts[0], counts[1], 1 - mover, NO_EP, spot)) {
            ++lookupFailures;
            return DRAWN;
        }
        const std::vector<std::int8_t> &data = Loaded[spot.id].side[spot.side];
        if (spot.index >= data.size() || data[spot.index] == FILE_BROKEN) {
            ++lookupFailures;
            return DRAWN;
        }
        return beforeMove(fromFileByte(data[spot.index]));
    }

    Examined examine(const Node &n) {
        Examined e;
        e.check = inCheck(space, n.board, n.side);
        int quiet = countQuietMoves(space, n.board, n.side, n.ep, [&](const Successor &m) {
            ++e.legal;
            if (!m.leavesTable()) {
                ++e.inTable;
                return;
            }
            std::uint8_t v = exitValue(m, n.side);
            if (!e.exits || preference(v) > preference(e.bestExit)) e.bestExit = v;
            if (isLoss(v)) e.longestLoss = std::max(e.longestLoss, movesOf(v));
            e.exits = true;
        });
        e.legal += quiet;
        e.inTable += quiet;
        return e;
    }

    void noteDepth(int d) {
        int seen = deepest.load(std::memory_order_relaxed);
        while (d > seen && !deepest.compare_exchange_weak(seen, d)) {
        }
    }

    // The starting value and count of a legal position.
    void start(const Node &n, std::uint8_t &v, std::uint8_t &c) {
        Examined e = examine(n);
        v = DRAWN;
        int moves = e.inTable, flags = 0;
        if (e.legal == 0) {
            if (e.check)
                v = lossIn(0);
            else
                moves = 1; // stalemate: never lost
        } else if (e.exits) {
            if (isWin(e.bestExit))
                v = e.bestExit, noteDepth(movesOf(v));
            else if (e.bestExit == DRAWN)
                ++moves;
            else
                flags = LOSING_EXITS;
            if (moves == 0 && flags) v = lossIn(e.longestLoss), noteDepth(e.longestLoss);
        }
        c = std::uint8_t(moves | flags);
    }

    bool allocate(std::string &error) {
        for (int s = 0; s < 2; ++s) {
            value[s].reset(new (std::nothrow) std::uint8_t[space.size]);
            count[s].reset(new (std::nothrow) std::uint8_t[space.size]);
            if (!value[s] || !count[s]) {
                error = "cannot allocate " + std::to_string(4 * space.size >> 20) + " MB for the work arrays";
                return false;
            }
        }
        return true;
    }

    // 1. Every position: legality, mates, the ways out of the table, the moves that stay in it.
    void initialise() {
        std::mutex keysLock;
        for (int side = 0; side < 2; ++side) {
            progress.begin(side == 0 ? "setup, 1st to move" : "setup, 2nd to move", space.size);
            parallelFor(space.size, threads, progress, [&](std::uint64_t begin, std::uint64_t end) {
                std::vector<std::uint64_t> keys;
                for (std::uint64_t i = begin; i < end; ++i) {
                    Board b = decode(space, i);
                    if (!isLegal(space, b, side)) {
                        value[side][i] = DRAWN, count[side][i] = ILLEGAL;
                        continue;
                    }
                    start({side, b, NO_EP}, value[side][i], count[side][i]);
                    if (!space.enPassant) continue;
                    unsigned ep[2];
                    enPassantCandidates(space, b, side, true, ep);
                    for (unsigned e : ep)
                        if (e != NO_EP) keys.push_back(i * 64 + e);
                }
                std::lock_guard<std::mutex> hold(keysLock);
                epKey[side].insert(epKey[side].end(), keys.begin(), keys.end());
            });
            std::sort(epKey[side].begin(), epKey[side].end());
            epValue[side].resize(epKey[side].size());
            epCount[side].resize(epKey[side].size());
            for (std::size_t k = 0; k < epKey[side].size(); ++k)
                start({side, decode(space, epKey[side][k] >> 6), unsigned(epKey[side][k] & 63)},
                      epValue[side][k], epCount[side][k]);
        }
    }

    // The value and count bytes of a node given by canonical index and en-passant square.
    bool cells(int side, std::uint64_t index, unsigned ep, std::uint8_t *&v, std::uint8_t *&c) {
        if (ep == NO_EP) {
            v = &value[side][index], c = &count[side][index];
            return true;
        }
        auto &keys = epKey[side];
        auto it = std::lower_bound(keys.begin(), keys.end(), index * 64 + ep);
        if (it == keys.end() || *it != index * 64 + ep) return false;
        std::size_t k = std::size_t(it - keys.begin());
        v = &epValue[side][k], c = &epCount[side][k];
        return true;
    }

    // A node's cells: its value and count bytes.
    struct Cells {
        std::uint8_t *value, *count;
    };

    // Calls visit(node, cells) for every legal predecessor of a node, once per move that leads
    // here.
    template <typename Visit> void predecessors(const Node &n, Visit &&visit) {
        int mover = 1 - n.side;
        auto offer = [&](const Board &pred, unsigned ep, std::uint64_t index, unsigned mask) {
            // Other threads count the same bytes down meanwhile (an illegal mark never changes).
            if (std::atomic_ref<std::uint8_t>(count[mover][index]).load(std::memory_order_relaxed) == ILLEGAL)
                return false;
            Cells c;
            if (!cells(mover, index, ep == NO_EP ? NO_EP : ep ^ mask, c.value, c.count)) return true;
            visit(Node{mover, pred, ep}, c);
            return true;
        };
        if (n.ep != NO_EP) {
            // Only the double push across the square leads here.
            int forward = mover == 0 ? 8 : -8;
            Board pred = n.board;
            int slot = detail::slotAt(space, pred, unsigned(int(n.ep) + forward));
            pred.sq[slot] = unsigned(int(n.ep) - forward);
            offer(pred, NO_EP, n.index - 16 * std::uint64_t(forward / 8) * space.stride[slot], 0);
            return;
        }
        forEachUnmove(space, n.board, n.side, [&](const Board &pred, int slot, unsigned passed) {
            if (passed != NO_EP && space.enPassant && canTakeEnPassant(space, n.board, n.side, passed, true))
                return; // that push leads to the en-passant node instead
            // The node is canonical; only a move of the first king can change the transform.
            unsigned mask = 0;
            std::uint64_t index =
                slot == 0 ? encode(space, pred, &mask)
                          : n.index + (std::uint64_t(pred.sq[slot]) - n.board.sq[slot]) * space.stride[slot];
            if (!offer(pred, NO_EP, index, mask) || !space.enPassant) return;
            unsigned ep[2];
            enPassantCandidates(space, pred, mover, true, ep);
            for (unsigned e : ep)
                if (e != NO_EP) offer(pred, e, index, mask);
        });
    }

    // Runs f(node) over every node of `side` whose value is `target`.
    template <typename F> void scan(int side, std::uint8_t target, F &&f) {
        const std::uint8_t *values = value[side].get();
        parallelFor(
            space.size, threads, progress,
            [&](std::uint64_t begin, std::uint64_t end) {
                const std::uint8_t *p = values + begin, *stop = values + end;
                while (
                    (p = static_cast<const std::uint8_t *>(std::memchr(p, target, std::size_t(stop - p))))) {
                    std::uint64_t i = std::uint64_t(p - values);
                    if (count[side][i] != ILLEGAL) f(Node{side, decode(space, i), NO_EP, i});
                    ++p;
                }
            },
            false);
        for (std::size_t k = 0; k < epKey[side].size(); ++k)
            if (epValue[side][k] == target)
                f(Node{side, decode(space, epKey[side][k] >> 6), unsigned(epKey[side][k] & 63),
                       epKey[side][k] >> 6});
    }

    // 2a. Positions from which a move reaches a position lost in m - 1 are won in m.
    void markWins(int m) {
        for (int side = 0; side < 2; ++side)
            scan(side, lossIn(m - 1), [&](const Node &lost) {
                ++progress.done;
                predecessors(lost, [&](const Node &, Cells c) {
                    std::atomic_ref<std::uint8_t> cell(*c.value);
                    std::uint8_t now = cell.load(std::memory_order_relaxed);
                    while (now == DRAWN || (isWin(now) && now > m))
                        if (cell.compare_exchange_weak(now, winIn(m))) {
                            noteDepth(m);
                            break;
                        }
                });
            });
    }

    // 2b. A position all of whose moves reach won positions is lost; the last one found (won in
    // m) or the longest losing way out sets its depth.
    void markLosses(int m) {
        for (int side = 0; side < 2; ++side)
            scan(side, winIn(m), [&](const Node &won) {
                ++progress.done;
                predecessors(won, [&](const Node &pred, Cells c) {
                    std::atomic_ref<std::uint8_t> cell(*c.value);
                    if (cell.load(std::memory_order_relaxed) != DRAWN) return;
                    std::uint8_t before = std::atomic_ref<std::uint8_t>(*c.count).fetch_sub(1);
                    if ((before & MOVES) != 1) return;
                    int depth = m;
                    if (before & LOSING_EXITS) depth = std::max(depth, examine(pred).longestLoss);
                    cell.store(lossIn(depth));
                    noteDepth(depth);
                });
            });
    }

    bool iterate(std::string &error) {
        std::uint64_t legal = 0;
        for (int side = 0; side < 2; ++side)
            for (std::uint64_t i = 0; i < space.size; ++i)
                legal += count[side][i] != ILLEGAL;
        progress.begin("depth 1", legal); // counts the positions decided so far
        for (int m = 1; m <= deepest.load() + 1; ++m) {
            progress.stage = "depth " + std::to_string(m);
            if (m > MAX_MOVES_TO_MATE) {
                error = "mates longer than 127 moves do not fit the one-byte format";
                return false;
            }
            markWins(m);
            markLosses(m);
        }
        return true;
    }

    // 3. The file layout: every legal position's value at its index, no value elsewhere.
    void write(TableStats &stats) {
        TableData &out = Loaded[table.id];
        int sides = table.flags & tablebases::TABLE_SYMMETRIC ? 1 : 2;
        for (int side = 0; side < sides; ++side) {
            const tablebases::Layout &layout = table.layout[side];
            std::vector<std::int8_t> &bytes = out.side[side];
            bytes.assign(layout.size, FILE_BROKEN);
            progress.begin(side == 0 ? "write .nbw" : "write .nbb", space.size);
            parallelFor(space.size, threads, progress, [&](std::uint64_t begin, std::uint64_t end) {
                for (std::uint64_t i = begin; i < end; ++i) {
                    if (count[side][i] == ILLEGAL) continue;
                    Board b = decode(space, i);
                    store(side, b, NO_EP, value[side][i], bytes);
                    if (!space.enPassant) continue;
                    unsigned ep[2];
                    enPassantCandidates(space, b, side, false, ep);
                    for (unsigned e : ep) {
                        if (e == NO_EP) continue;
                        std::uint8_t *v, *c;
                        store(side, b, e, cells(side, i, e, v, c) ? *v : value[side][i], bytes);
                    }
                }
            });
            stats.positions[side] = layout.size;
            for (std::int8_t byte : bytes) {
                std::uint8_t v = fromFileByte(byte);
                if (byte == FILE_BROKEN)
                    ++stats.broken[side];
                else if (isWin(v))
                    ++stats.wins[side], stats.longestWin[side] = std::max(stats.longestWin[side], movesOf(v));
                else if (isLoss(v))
                    ++stats.losses[side];
                else
                    ++stats.draws[side];
            }
        }
        out.present = true;
    }

    void store(int side, const Board &b, unsigned ep, std::uint8_t v, std::vector<std::int8_t> &bytes) {
        unsigned lists[2][16];
        int taken[2][tablebases::KIND_COUNT] = {};
        for (int i = 0; i < space.slots; ++i) {
            int c = space.colour[i];
            if (space.type[i] == KING)
                lists[c][15] = b.sq[i];
            else {
                int k = kindOf(space.type[i]);
                lists[c][3 * k + taken[c][k]++] = b.sq[i];
            }
        }
        std::uint64_t index =
            tablebases::tableIndex(table.material, table.layout[side], side, lists[0], lists[1], ep, false);
        if (index == tablebases::NO_INDEX) {
            ++unindexed;
            return;
        }
        std::int8_t byte = toFileByte(v), expected = FILE_BROKEN;
        std::atomic_ref<std::int8_t> cell(bytes[index]);
        if (!cell.compare_exchange_strong(expected, byte) && expected != byte) ++conflicts;
    }
};

} // namespace

bool canGenerate(int id, std::string &reason) {
    const TableInfo &t = Tables[id];
    if (t.flags & tablebases::TABLE_TWO_BYTE) {
        reason = "its values take two bytes, which the generator does not write";
        return false;
    }
    // A value and a count per position and side to move.
    std::uint64_t bytes = 4 * makeSpace(t).size;
    std::unique_ptr<std::uint8_t[]> trial(new (std::nothrow) std::uint8_t[bytes]);
    if (!trial) {
        reason =
            "it needs " + std::to_string(bytes >> 30) + " GB of working memory, more than this machine has";
        return false;
    }
    return true;
}

bool generateTable(int id, int threads, TableStats &stats, std::string &error) {
    double started = secondsSinceStart();
    const TableInfo &t = Tables[id];
    if (!canGenerate(id, error)) return false;
    auto g = std::make_unique<Generator>(t, threads);
    if (!g->allocate(error)) return false;
    g->initialise();
    if (!g->iterate(error)) return false;
    g->write(stats);
    endProgress();
    if (g->lookupFailures || g->conflicts || g->unindexed) {
        error = "inconsistent: " + std::to_string(g->lookupFailures.load()) +
                " failed lookups in smaller tables, " + std::to_string(g->unindexed.load()) +
                " positions without index, " + std::to_string(g->conflicts.load()) + " index collisions";
        return false;
    }
    stats.seconds = secondsSinceStart() - started;
    return true;
}

} // namespace tbgen
