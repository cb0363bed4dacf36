#include "search/picker.h"
#include "base/features.h"

#include "eval/evaluate.h"
#include "eval/tables.h"
#include "position/makemove.h"
#include "position/movegen.h"
#include "search/see.h"
#include "search/settings.h"

namespace search {

using namespace position;

namespace {

constexpr int FUTILITY_DEPTH = plies(5);

int historyIndex(Move move) { return position::historyIndex(moveFrom(move), moveTo(move)); }

void release(SearchFrame &f, int i, int score) {
    MoveEntry e = makeEntry(entryMove(f.moves[i]), score);
    f.moves[i] = f.moves[f.readyEnd];
    f.moves[f.readyEnd++] = e;
}

// Stage 0 -> 1: generate, put the hash move first, release the good captures.
bool enterCaptureStage(const SearchThread &thread, Position &pos, SearchFrame &f) {
    f.stage = STAGE_CAPTURES;
    if (f.moveCount == NOT_GENERATED) {
        f.moveCount = GenerateAll(pos, f.moves, orderingHistory(thread));
        if (f.moveCount == 0) return false;
    }
    if (f.bestMove) {
        int i = 0;
        while (i < f.moveCount && entryMove(f.moves[i]) != f.bestMove)
            ++i;
        if (i < f.moveCount) {
            MoveEntry e = f.moves[i];
            f.moves[i] = f.moves[0];
            f.moves[0] = e;
        } else {
            f.moves[0] = makeEntry(f.bestMove, entryScore(f.moves[0]));
        }
    }
    for (int i = f.moveIndex; i < f.moveCount; ++i) {
        Move m = entryMove(f.moves[i]);
        if (isQuietMove(pos, m)) continue;
        int score = entryScore(f.moves[i]) + exchangeOrderScore(pos, m);
        if (score > GOOD_CAPTURE_FLOOR)
            release(f, i, score);
        else
            f.moves[i] = makeEntry(m, score);
    }
    return true;
}

// Stage 1 -> 2: killers that do not lose material, and escapes of the piece the null move found attacked.
void enterKillerStage(SearchThread &thread, Position &pos, SearchFrame &f, int ply) {
    f.stage = STAGE_KILLERS;
    int k = killerScore();
    Move killer1 = ply < KILLER_PLIES ? thread.killers[ply][0] : NO_MOVE;
    Move killer2 = ply < KILLER_PLIES ? thread.killers[ply][1] : NO_MOVE;
    bool threats = Settings.nullMove && f.threatMove != NO_MOVE;
    Square threatened = moveTo(f.threatMove);
    for (int i = f.moveIndex; i < f.moveCount; ++i) {
        Move m = entryMove(f.moves[i]);
        if (m == killer1 || m == killer2) {
            if (see(pos, m) >= -k) release(f, i, m == killer1 ? k + 1 : k);
            continue;
        }
        if (threats && moveFrom(m) == threatened && see(pos, m) == 0)
            release(f, i, eval::PieceValue[pos.typeOn(threatened)]);
    }
}

// Stage 2 -> 3: decide futility, release everything.
void enterQuietStage(SearchThread &thread, Position &pos, SearchFrame &f, const int *futilityMargin) {
    f.stage = STAGE_QUIET;
    int b = f.beta - 1;
    if ((b < 0 ? -b : b) < MATE_BOUND && f.depth < FUTILITY_DEPTH) {
        int v = eval::quickEvaluate(pos, &thread.pawns);
        if (v + futilityMargin[(4 * f.depth) / ONE_PLY] < f.beta) f.futile = 1;
    }
    f.readyEnd = f.moveCount;
}

} // namespace

int killerScore() { return eval::PieceValue[PAWN] * 8 / 10; }

int exchangeOrderScore(const Position &pos, Move move) {
    int score = see(pos, move);
    if (isEnPassant(pos, move)) score += EN_PASSANT_BONUS;
    if (movePromotion(move) != NO_PROMOTION) score += CaptureValue[movePromotion(move)] - PROMOTION_OFFSET;
    return score;
}

int nextMove(SearchThread &thread, Position &pos, SearchFrame &f, const int *futilityMargin) {
    int ply = thread.ply;
    ++f.moveIndex;
    while (f.moveIndex == f.readyEnd) {
        switch (f.stage) {
        case STAGE_HASH:
            if (!enterCaptureStage(thread, pos, f)) return 0;
            break;
        case STAGE_CAPTURES: enterKillerStage(thread, pos, f, ply); break;
        case STAGE_KILLERS: enterQuietStage(thread, pos, f, futilityMargin); break;
        default: return 0;
        }
    }
    if (f.moveIndex >= f.moveCount) return 0;
    f.currentMove = entryMove(selectBest(f.moves, f.moveIndex, f.readyEnd));
    return 1;
}

bool isQuietMove(const Position &pos, Move move) {
    return pos.isEmpty(moveTo(move)) && movePromotion(move) == NO_PROMOTION && !isEnPassant(pos, move);
}

void rememberKiller(SearchThread &thread, Move move, int ply) {
    if (ply < 0 || ply >= KILLER_PLIES || !base::featureOn(base::F_KILLERS)) return;
    std::uint16_t *k = thread.killers[ply];
    if (k[0] != move) {
        k[1] = k[0];
        k[0] = move;
    }
}

void updateKillers(SearchThread &thread, const Position &pos, Move move, int ply) {
    if (!isQuietMove(pos, move)) return;
    rememberKiller(thread, move, ply);
}

void historySearched(SearchThread &thread, Move move) {
    std::int16_t &h = thread.history[historyIndex(move)];
    if (h > -HISTORY_LIMIT) --h;
}

void historyCutoff(SearchThread &thread, Move move) {
    std::int16_t &h = thread.history[historyIndex(move)];
    int v = h + HISTORY_BONUS;
    if (v > HISTORY_LIMIT) v = HISTORY_LIMIT;
    if (v < 0) v /= 2;
    h = std::int16_t(v);
}

} // namespace search
