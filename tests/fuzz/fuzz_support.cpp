#include "fuzz_support.h"

#include "base/options.h"
#include "control/options.h"
#include "control/protocol.h"
#include "control/setup.h"
#include "control/startup.h"
#include "position/fen.h"
#include "position/makemove.h"
#include "position/movegen.h"
#include "search/context.h"
#include "search/hooks.h"
#include "search/pool.h"
#include "search/search.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <unistd.h>

namespace fuzz {

using namespace position;

namespace {

struct SavedOption {
    std::int64_t value;
    std::string text;
};
std::vector<SavedOption> Saved;

bool samePosition(const Position &a, const Position &b) {
    return std::memcmp(a.pieces, b.pieces, sizeof a.pieces) == 0 &&
           std::memcmp(a.occupied, b.occupied, sizeof a.occupied) == 0 &&
           std::memcmp(a.board, b.board, sizeof a.board) == 0 &&
           std::memcmp(a.kingSquare, b.kingSquare, sizeof a.kingSquare) == 0 &&
           std::memcmp(a.pieceCount, b.pieceCount, sizeof a.pieceCount) == 0 &&
           a.historyCount == b.historyCount &&
           std::memcmp(a.keyHistory, b.keyHistory, a.historyCount * sizeof a.keyHistory[0]) == 0 &&
           a.key == b.key && a.pawnKey == b.pawnKey && a.epSquare == b.epSquare && a.castling == b.castling &&
           a.sideToMove == b.sideToMove && a.fifty == b.fifty &&
           std::memcmp(a.material, b.material, sizeof a.material) == 0 &&
           std::memcmp(a.pstMg, b.pstMg, sizeof a.pstMg) == 0 &&
           std::memcmp(a.pstEg, b.pstEg, sizeof a.pstEg) == 0;
}

} // namespace

void fail(const char *what, const char *file, int line) {
    std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", what, file, line);
    std::abort();
}

void initEngineOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    char folder[] = "/tmp/vorlan-fuzz-XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0) fail("scratch folder", __FILE__, __LINE__);
    // A one-entry book file in place of the internal book, which is slow to build under the
    // sanitizers and would be rebuilt whenever an input changes and restores the book options.
    writeFile("Book.vlb", std::string(12, '\0'));
    if (!std::freopen("/dev/null", "w", stdout)) fail("quiet output", __FILE__, __LINE__);
    control::initEngine();
    search::Hooks.readInput = search::readNoInput; // no target reads standard input during a search
    control::setOptionValue(base::OPTION_HASH, "1");
    control::registerOptionHandler("Hash", [](int) {});
    control::registerOptionHandler("NalimovCache", [](int) {});
    // Helpers take part, but a few: hundreds of threads would only exhaust the fuzzer's memory.
    control::registerOptionHandler("Threads", [](int) {
        search::setThreadCount(std::min(base::optionInt(base::OPTION_THREADS), 3));
    });
    for (const base::EngineOption &o : base::Options)
        Saved.push_back({o.value, o.text});
}

void resetEngine() {
    search::setSearchState(search::STATE_IDLE);
    control::setProtocolMode(control::MODE_NONE);
    for (int i = 0; i < base::OPTION_COUNT; ++i) {
        base::EngineOption &o = base::Options[i];
        if (o.type == base::OPT_BUTTON) continue;
        if (o.type == base::OPT_STRING || o.type == base::OPT_COMBO) {
            if (o.text != Saved[std::size_t(i)].text) control::setOptionValue(i, Saved[std::size_t(i)].text);
        } else if (o.value != Saved[std::size_t(i)].value) {
            o.value = Saved[std::size_t(i)].value;
            if (o.onChange) o.onChange(i);
        }
    }
    LoadFen(START_FEN);
    control::ucinewgameCommand("ucinewgame");
    std::remove("debug.txt");
}

std::vector<std::string_view> splitLines(std::string_view data) {
    std::vector<std::string_view> lines;
    while (!data.empty()) {
        std::size_t end = data.find('\n');
        lines.push_back(data.substr(0, end));
        data = end == std::string_view::npos ? std::string_view() : data.substr(end + 1);
    }
    return lines;
}

void writeFile(const std::string &name, std::string_view bytes) {
    std::ofstream(name, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), std::streamsize(bytes.size()));
}

void checkGamePosition() {
    Position &pos = GamePosition;
    FUZZ_CHECK(positionIsConsistent(pos));
    const Position before = pos;
    MoveEntry list[MAX_MOVES];
    int n = GenerateLegal(pos, list);
    for (int i = 0; i < n; ++i) {
        Move move = entryMove(list[i]);
        UndoState undo = saveUndo(pos);
        PieceType captured;
        MakeMove(pos, move, captured);
        FUZZ_CHECK(positionIsConsistent(pos));
        FUZZ_CHECK(!IsSquareAttacked(pos, Colour(pos.sideToMove), pos.kingSquare[pos.sideToMove ^ 1]));
        UnmakeMove(pos, move, captured, undo);
        FUZZ_CHECK(samePosition(before, pos));
    }
    if (!inCheck(pos)) {
        std::uint32_t ep = pos.epSquare;
        MakeNullMove(pos);
        FUZZ_CHECK(positionIsConsistent(pos));
        UnmakeNullMove(pos, ep);
        FUZZ_CHECK(samePosition(before, pos));
    }
}

} // namespace fuzz
