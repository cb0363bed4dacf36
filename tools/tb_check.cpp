// Checks and speed figures for generated tablebases, beyond what the unit tests can afford.
//   tb_check values DIR     every table in DIR against the reference data: the 3-piece DTM tables,
//                           the WDL sample and the depth-to-mate positions (REF = reference folder)
//   tb_check index          every legal position of every 3- and 4-piece table gets an index below
//                           the size that no other position (up to symmetry) shares
//   tb_check sample N       the same for N random legal positions of every 5- and 6-piece table
//   tb_check probe DIR      probes per second through the engine's cache, warm and cold
// The reference folder is $VORLAN_REFERENCE_DATA or ../shared/data. Built with the release preset.
#include "control/startup.h"
#include "position/attacks.h"
#include "position/fen.h"
#include "position/position.h"
#include "search/hooks.h"
#include "search/search.h"
#include "tablebases/cache.h"
#include "tablebases/probe.h"
#include "tablebases/registry.h"
#include "tbgen/board.h"
#include "tbgen/store.h"
#include "tbgen/values.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

using namespace tablebases;

namespace {

std::string reference(const std::string &name) {
    const char *env = std::getenv("VORLAN_REFERENCE_DATA");
    return std::string(env ? env : "../shared/data") + "/" + name;
}

std::vector<std::string> lines(const std::string &path) {
    std::vector<std::string> out;
    bool xz = path.size() > 3 && path.compare(path.size() - 3, 3, ".xz") == 0;
    std::FILE *f = xz ? popen(("xz -dc '" + path + "'").c_str(), "r") : std::fopen(path.c_str(), "r");
    if (!f) return out;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, f)) {
        std::string l(buffer);
        while (!l.empty() && (l.back() == '\n' || l.back() == '\r'))
            l.pop_back();
        out.push_back(l);
    }
    xz ? pclose(f) : std::fclose(f);
    return out;
}

// Plies to mate from the loaded tables (2n - 1 win, -2n loss, 0 draw); false when not loaded.
bool plies(const TableSpot &spot, int &p) {
    const auto &bytes = tbgen::Loaded[spot.id].side[spot.side];
    if (!tbgen::Loaded[spot.id].present || spot.index >= bytes.size() ||
        bytes[spot.index] == tbgen::FILE_BROKEN)
        return false;
    std::uint8_t v = tbgen::fromFileByte(bytes[spot.index]);
    p = tbgen::isWin(v) ? 2 * tbgen::movesOf(v) - 1 : tbgen::isLoss(v) ? -2 * tbgen::movesOf(v) : 0;
    return true;
}

bool fenPlies(const std::string &fen, int &p) {
    position::LoadFen(fen);
    TableSpot spot;
    return positionSpot(position::GamePosition, spot) && plies(spot, p);
}

int values(const std::string &dir) {
    int loaded = 0, failures = 0;
    std::string error;
    for (int id = 1; id < FIRST_SIX_PIECE; ++id)
        loaded += tbgen::loadTable(id, dir, error);
    std::printf("%d tables loaded from %s\n", loaded, dir.c_str());
    // 1. The 3-piece DTM tables, every line.
    long checked = 0, wrong = 0;
    for (const std::string &l : lines(reference("tablebase-oracle/gaviota-3-piece-dtm.txt.xz"))) {
        std::string fen = "8/8/8/8/8/8/8/8";
        unsigned white[16] = {}, black[16] = {};
        int wc[5] = {}, none[5] = {}, kind = int(std::string("PNBRQ").find(l[10]));
        white[15] = position::textToSquare(l[7], l[8]), black[15] = position::textToSquare(l[15], l[16]);
        white[3 * kind] = position::textToSquare(l[11], l[12]), wc[kind] = 1;
        TableSpot spot;
        int p;
        if (!locate(white, black, wc, none, l[4] == 'b', 127, spot) || !plies(spot, p)) continue;
        ++checked;
        wrong += p != std::atoi(l.c_str() + 18);
    }
    std::printf("3-piece DTM: %ld positions checked, %ld wrong\n", checked, wrong);
    failures += int(wrong);
    // 2. The WDL sample: the sign, for every table that is loaded.
    checked = wrong = 0;
    for (const std::string &l : lines(reference("tablebase-oracle/syzygy-wdl-sample.txt.xz"))) {
        std::size_t semi = l.find(" ; wdl ");
        int p;
        if (!fenPlies(l.substr(0, semi), p)) continue;
        int wdl = std::atoi(l.c_str() + semi + 7);
        ++checked;
        bool ok = (wdl > 0) == (p > 0) && (wdl < 0) == (p < 0 || (p == 0 && wdl < 0));
        if (!ok && wrong++ < 5) std::printf("  wrong: %s (plies %d)\n", l.c_str(), p);
    }
    std::printf("WDL sample: %ld positions checked, %ld wrong\n", checked, wrong);
    failures += int(wrong);
    // 3. The depth-to-mate positions.
    checked = wrong = 0;
    for (const std::string &l : lines(reference("tablebase-oracle/dtm-4-5-piece.epd"))) {
        std::size_t semi = l.find(" ; dm ");
        int p, dm = std::atoi(l.c_str() + semi + 6);
        if (!fenPlies(l.substr(0, semi) + " 0 1", p)) continue;
        ++checked;
        if (p != (dm > 0 ? 2 * dm - 1 : 2 * dm) && wrong++ < 5)
            std::printf("  wrong: %s (plies %d)\n", l.c_str(), p);
    }
    std::printf("depth to mate: %ld positions checked, %ld wrong\n", checked, wrong);
    return failures + int(wrong) ? 1 : 0;
}

unsigned mirror(unsigned s, int sym) {
    if (sym & 4) s = ((s & 7) << 3) | (s >> 3);
    return s ^ (sym & 1 ? 7u : 0u) ^ (sym & 2 ? 56u : 0u);
}

// The class of a position under the symmetries its table allows and any order of identical
// pieces, and its index; false for an illegal placement.
bool classAndIndex(const TableInfo &t, const tbgen::Space &space, const tbgen::Board &b, int side,
                   std::uint64_t &cls, TableSpot &spot, unsigned ep = 127) {
    int first = t.material.count[0], all = space.slots;
    for (int i = 2; i < all; ++i)
        if (space.type[i] == position::PAWN && (b.sq[i] < 8 || b.sq[i] > 55)) return false;
    if (!tbgen::isLegal(space, b, side)) return false;
    unsigned white[16], black[16];
    int wc[5] = {}, bc[5] = {};
    white[15] = b.sq[0], black[15] = b.sq[1];
    for (int i = 2; i < all; ++i) {
        bool mine = i - 2 < first;
        int k = t.material.kinds[mine ? 0 : 1][mine ? i - 2 : i - 2 - first];
        (mine ? white : black)[3 * k + (mine ? wc : bc)[k]++] = b.sq[i];
    }
    if (!locate(white, black, wc, bc, side, ep, spot)) spot.index = NO_INDEX;
    cls = ~0ull;
    for (int sym = 0; sym < (t.material.pawns ? 2 : 8); ++sym) {
        unsigned key[6];
        for (int i = 0; i < all; ++i)
            key[i] = mirror(b.sq[i], sym);
        for (int from : {2, 2 + first})
            for (int i = from + 1; i < (from == 2 ? 2 + first : all); ++i)
                for (int j = i; j > from && key[j] < key[j - 1]; --j)
                    std::swap(key[j], key[j - 1]);
        std::uint64_t c = std::uint64_t(side) << 7 | (ep < 64 ? mirror(ep, sym) : 127);
        for (int i = 0; i < all; ++i)
            c = c << 6 | key[i];
        cls = std::min(cls, c);
    }
    return true;
}

int index() {
    long positions = 0, failures = 0;
    for (int id = 1; id < FIRST_FIVE_PIECE; ++id) {
        const TableInfo &t = Tables[id];
        tbgen::Space space = tbgen::makeSpace(t);
        for (int side = 0; side < (t.flags & TABLE_SYMMETRIC ? 1 : 2); ++side) {
            std::vector<std::uint64_t> owner(t.sideSize(side), ~0ull);
            for (std::uint64_t code = 0; code < (std::uint64_t(1) << (6 * space.slots)); ++code) {
                tbgen::Board b;
                for (int i = 0; i < space.slots; ++i)
                    b.sq[i] = unsigned(code >> (6 * i)) & 63;
                std::uint64_t cls;
                TableSpot spot;
                if (!classAndIndex(t, space, b, side, cls, spot)) continue;
                ++positions;
                bool ok =
                    spot.index < owner.size() && (owner[spot.index] == ~0ull || owner[spot.index] == cls);
                if (ok)
                    owner[spot.index] = cls;
                else if (failures++ < 5)
                    std::printf("  %s side %d: position %llx\n", t.name, side, (unsigned long long)code);
                // The same board just after a double push that the side to move can take.
                unsigned eps[2] = {tbgen::NO_EP, tbgen::NO_EP};
                if (space.enPassant) tbgen::enPassantCandidates(space, b, side, false, eps);
                for (unsigned e : eps) {
                    if (e == tbgen::NO_EP || !classAndIndex(t, space, b, side, cls, spot, e)) continue;
                    ++positions;
                    ok = spot.index >= t.layout[side].epBase && spot.index < owner.size() &&
                         (owner[spot.index] == ~0ull || owner[spot.index] == cls);
                    if (ok)
                        owner[spot.index] = cls;
                    else if (failures++ < 5)
                        std::printf("  %s side %d: en passant on %u\n", t.name, side, e);
                }
            }
        }
        std::printf("%s done\n", t.name);
        std::fflush(stdout);
    }
    std::printf("index: %ld legal positions, %ld without a distinct index\n", positions, failures);
    return failures ? 1 : 0;
}

int sample(long count) {
    long positions = 0, failures = 0;
    std::mt19937_64 random(5);
    for (int id = FIRST_FIVE_PIECE; id < TABLE_COUNT; ++id) {
        const TableInfo &t = Tables[id];
        tbgen::Space space = tbgen::makeSpace(t);
        for (int side = 0; side < (t.flags & TABLE_SYMMETRIC ? 1 : 2); ++side) {
            std::unordered_map<std::uint64_t, std::uint64_t> owner;
            for (long n = 0; n < count; ++n) {
                tbgen::Board b;
                for (int i = 0; i < space.slots; ++i)
                    b.sq[i] = unsigned(random() & 63);
                std::uint64_t cls;
                TableSpot spot;
                if (!classAndIndex(t, space, b, side, cls, spot)) continue;
                ++positions;
                auto [it, fresh] = owner.emplace(spot.index, cls);
                bool ok = spot.index < t.sideSize(side) && (fresh || it->second == cls);
                if (!ok && failures++ < 5) std::printf("  %s side %d\n", t.name, side);
            }
        }
    }
    std::printf("sample: %ld legal 5- and 6-piece positions, %ld without a distinct index\n", positions,
                failures);
    return failures ? 1 : 0;
}

// Random legal positions of the registered tables of up to `pieces` pieces, as FEN text.
std::vector<position::Position> randomPositions(int count, std::mt19937 &random) {
    std::vector<position::Position> out;
    std::vector<int> ids;
    for (int id = 1; id < FIRST_FIVE_PIECE; ++id)
        if (Registered[id][0].any) ids.push_back(id);
    while (int(out.size()) < count && !ids.empty()) {
        const TableInfo &t = Tables[ids[random() % ids.size()]];
        char board[64];
        std::fill(board, board + 64, '.');
        std::string letters = "Kk";
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < t.material.count[c]; ++i)
                letters += c ? "pnbrq"[t.material.kinds[c][i]] : "PNBRQ"[t.material.kinds[c][i]];
        bool ok = true;
        for (char l : letters) {
            unsigned s = random() % 64;
            ok &= board[s] == '.' && !((l == 'P' || l == 'p') && (s < 8 || s > 55));
            board[s] = l;
        }
        if (!ok) continue;
        std::string fen;
        for (int r = 7; r >= 0; --r) {
            for (int f = 0; f < 8; ++f) // FEN runs a..h; our files run h..a
                fen += board[r * 8 + 7 - f] == '.' ? '1' : board[r * 8 + 7 - f];
            if (r) fen += '/';
        }
        fen += random() & 1 ? " w - - 0 1" : " b - - 0 1";
        position::LoadFen(fen);
        int score;
        if (ProbeTablebase(position::GamePosition, 0, score)) out.push_back(position::GamePosition);
    }
    return out;
}

double probesPerSecond(const std::vector<position::Position> &positions, int rounds) {
    auto start = std::chrono::steady_clock::now();
    long found = 0;
    for (int r = 0; r < rounds; ++r)
        for (const auto &p : positions) {
            int score;
            found += ProbeTablebase(p, 0, score);
        }
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return double(found) / s;
}

int probe(const std::string &dir) {
    allocateTablebaseCache(16);
    InitTablebases(dir);
    std::mt19937 random(3);
    auto few = randomPositions(1000, random);
    probesPerSecond(few, 1);
    std::printf("warm cache: %.0f probes/s (1000 positions, all blocks cached)\n", probesPerSecond(few, 200));
    allocateTablebaseCache(1);
    InitTablebases(dir);
    auto many = randomPositions(20000, random);
    std::uint64_t loads = tablebaseBlockLoads();
    double rate = probesPerSecond(many, 1);
    std::printf(
        "cold cache: %.0f probes/s (20000 random positions of every table, 1 MB cache, %.0f%% misses)\n",
        rate, 100.0 * double(tablebaseBlockLoads() - loads) / 20000.0);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    control::initEngine();
    search::Hooks.readInput = search::readNoInput;
    initTableList();
    std::string what = argc > 1 ? argv[1] : "";
    if (what == "values" && argc > 2) return values(argv[2]);
    if (what == "index") return index();
    if (what == "sample" && argc > 2) return sample(std::atol(argv[2]));
    if (what == "probe" && argc > 2) return probe(argv[2]);
    std::fprintf(stderr, "usage: tb_check values DIR | index | sample N | probe DIR\n");
    return 2;
}
