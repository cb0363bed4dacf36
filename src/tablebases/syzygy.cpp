#include "tablebases/syzygy.h"

#include "base/options.h"
#include "platform/platform.h"
#include "position/makemove.h"
#include "position/movegen.h"
#include "search/draw.h"
#include "search/picker.h"
#include "search/pvcache.h"
#include "search/thread.h"

#include <tbprobe.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace tablebases {

using namespace position;

namespace {

// The fifty-move counter right after a capture or pawn move (0 in a position set up from FEN):
// the win/draw/loss tables answer for a counter at zero.
constexpr std::uint32_t ZEROED = 1;

std::string Folder; // the private folder the library reads
int Largest = 0;
// The library maps each table on its first probe without a lock of its own: the searching
// threads probe one at a time (never destroyed: a helper may probe while the program ends).
std::mutex &ProbeLock = *new std::mutex;
bool Initialised = false; // the library has been given a folder

// The library numbers squares from a1 (0) along the ranks; the engine from h1: files mirrored.
std::uint64_t mirrorFiles(std::uint64_t b) {
    b = ((b >> 1) & 0x5555555555555555ull) | ((b & 0x5555555555555555ull) << 1);
    b = ((b >> 2) & 0x3333333333333333ull) | ((b & 0x3333333333333333ull) << 2);
    return ((b >> 4) & 0x0F0F0F0F0F0F0F0Full) | ((b & 0x0F0F0F0F0F0F0F0Full) << 4);
}
unsigned librarySquare(unsigned sq) { return sq ^ 7; }

struct Boards {
    std::uint64_t white, black, kings, queens, rooks, bishops, knights, pawns;
    unsigned ep;
    bool whiteToMove;
};

Boards boardsOf(const Position &pos) {
    auto both = [&](PieceType t) { return mirrorFiles(pos.pieces[WHITE][t] | pos.pieces[BLACK][t]); };
    return {mirrorFiles(pos.occupied[WHITE]),
            mirrorFiles(pos.occupied[BLACK]),
            both(KING),
            both(QUEEN),
            both(ROOK),
            both(BISHOP),
            both(KNIGHT),
            both(PAWN),
            pos.epSquare < 64 ? librarySquare(pos.epSquare) : 0u,
            pos.sideToMove == WHITE};
}

bool inReach(const Position &pos) {
    return Largest > 0 && pos.castling == 0 && popCount(pos.all()) <= Largest &&
           popCount(pos.all()) <= base::optionInt(base::OPTION_SYZYGY_PROBE_LIMIT);
}

int wdlOfResult(unsigned result) { return int(result) - TB_DRAW; }

} // namespace

SyzygyLoad loadSyzygy(std::string_view paths) {
    Largest = 0; // no probe reaches the library from here on
    SyzygyLoad load;
    bool none = paths.empty() || paths == "<empty>";
    if (none && !Initialised) return load;
    static bool cleanUpRegistered = false;
    if (!cleanUpRegistered) std::atexit([] { platform::removeFolder(Folder); });
    cleanUpRegistered = true;
    SyzygyFiles files = collectSyzygyFiles(none ? std::string_view() : paths, Folder);
    Folder = files.folder;
    if (!Folder.empty()) {
        if (Initialised || !files.accepted.empty()) initialiseLibrary(Folder);
        Initialised = true;
        if (!files.accepted.empty()) dropFailingTables(files);
    } else if (!files.accepted.empty()) {
        initialiseLibrary(std::string(paths)); // no private folder: the folders themselves
        Initialised = true;
    }
    if (!files.accepted.empty()) Largest = int(TB_LARGEST);
    for (const SyzygyFile &f : files.accepted) {
        ++load.files;
        if (f.name.size() > 5 && f.name.compare(f.name.size() - 5, 5, ".rtbw") == 0) ++load.tables;
    }
    load.largest = Largest;
    load.problems = std::move(files.problems);
    return load;
}

int syzygyLargest() { return Largest; }

bool syzygyWinDrawLoss(const Position &pos, int &wdl) {
    if (!inReach(pos) || pos.fifty > ZEROED) return false;
    Boards b = boardsOf(pos);
    std::lock_guard<std::mutex> lock(ProbeLock);
    unsigned r = tb_probe_wdl(b.white, b.black, b.kings, b.queens, b.rooks, b.bishops, b.knights, b.pawns, 0, 0,
                              b.ep, b.whiteToMove);
    if (r == TB_RESULT_FAILED) return false;
    wdl = wdlOfResult(r);
    return true;
}

bool probeWinDrawLoss(const Position &pos, int ply, int &score) {
    int wdl;
    if (!syzygyWinDrawLoss(pos, wdl)) return false;
    if (!base::optionBool(base::OPTION_SYZYGY_50_MOVE_RULE)) wdl = wdl > 0 ? 2 : wdl < 0 ? -2 : 0;
    score = wdl == 2 ? TABLE_WIN - ply : wdl == -2 ? ply - TABLE_WIN : search::drawScore(pos);
    return true;
}

bool rankRootMoves(const Position &pos, bool repeated, RootTableMoves &out) {
    out.count = 0;
    if (!inReach(pos)) return false;
    Boards b = boardsOf(pos);
    static TbRootMoves ranked; // large; the root is ranked on the main thread only
    std::lock_guard<std::mutex> lock(ProbeLock);
    bool rule50 = base::optionBool(base::OPTION_SYZYGY_50_MOVE_RULE);
    if (!tb_probe_root_dtz(b.white, b.black, b.kings, b.queens, b.rooks, b.bishops, b.knights, b.pawns, pos.fifty,
                           0, b.ep, b.whiteToMove, repeated, rule50, &ranked) ||
        ranked.size == 0)
        return false;
    int best = ranked.moves[0].tbRank;
    for (unsigned i = 1; i < ranked.size; ++i)
        best = std::max(best, int(ranked.moves[i].tbRank));
    for (unsigned i = 0; i < ranked.size; ++i) {
        const TbRootMove &m = ranked.moves[i];
        if (m.tbRank != best) continue;
        out.moves[out.count++] = makeMove(Square(librarySquare(TB_MOVE_FROM(m.move))),
                                          Square(librarySquare(TB_MOVE_TO(m.move))), TB_MOVE_PROMOTES(m.move));
    }
    // The result the best moves keep, from the table of the position itself.
    unsigned r = tb_probe_root(b.white, b.black, b.kings, b.queens, b.rooks, b.bishops, b.knights, b.pawns,
                               pos.fifty, 0, b.ep, b.whiteToMove, nullptr);
    out.wdl = r == TB_RESULT_FAILED ? 0 : wdlOfResult(TB_GET_WDL(r));
    return out.count > 0;
}

int restrictRootToTables(search::SearchThread &thread) {
    Position &pos = thread.position;
    RootTableMoves kept;
    bool repeated = RepetitionCount(pos, pos.key, pos.sideToMove) > 0;
    if (!rankRootMoves(pos, repeated, kept)) return 0;
    MoveEntry legal[MAX_MOVES], current[MAX_MOVES], chosen[MAX_MOVES] = {};
    int n = GenerateLegal(pos, legal), count = 0, restricted = 0;
    bool searchmoves = search::pvCacheLookup(thread.pvCache, pos, current, restricted) >= 0 && restricted < n;
    for (int pass = 0; pass < 2 && count == 0; ++pass) // the "searchmoves" that keep the result, else all
        for (int i = 0; i < n; ++i) {
            Move m = entryMove(legal[i]);
            bool keeps = std::find(kept.moves, kept.moves + kept.count, m) != kept.moves + kept.count;
            bool listed = !searchmoves || pass == 1 ||
                          std::any_of(current, current + restricted, [&](MoveEntry e) { return entryMove(e) == m; });
            if (keeps && listed) chosen[count++] = makeEntry(m, search::exchangeOrderScore(pos, m));
        }
    if (count == 0) return 0;
    search::pvCacheReplace(thread.pvCache, pos, chosen, count);
    return count;
}

} // namespace tablebases
