// Minimal root reporting: records the root best move and keeps the latest lines in plain
// buffers. The root driver and the command loop replace this file with the protocol output.
#include "search/root_hooks.h"

#include "platform/platform.h"
#include "position/notation.h"
#include "search/control.h"
#include "search/hashfull.h"
#include "search/settings.h"
#include "search/thread.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace search {

using namespace position;

namespace {

char InfoLine[256];
char CurrMoveLine[128];
char CurrLineText[2048];
char HashFullLine[64];

} // namespace

void setBestMove(Move move, Move ponder, std::int32_t score) {
    if (move == NO_MOVE || SearchState == STATE_IDLE) return;
    if (move != RootBest.bestMove) RootBest.bestTime = platform::wallClockMs() - startTime;
    RootBest.bestScore = score;
    RootBest.bestMove = move;
    RootBest.ponderMove = ponder;
    RootBest.bestDepth = iterationDepth / ONE_PLY;
}

void printSearchInfo(int, std::int32_t score, std::int32_t multipvIndex, Move first) {
    char move[8];
    MoveToText(first, move);
    std::snprintf(InfoLine, sizeof InfoLine, "info multipv %d depth %d score cp %d nodes %" PRIu64 " pv %s\n",
                  multipvIndex, iterationDepth / ONE_PLY, score, nodeCount, move);
}

void printCurrMove(Move move, std::int32_t moveIndex, bool force) {
    if (!force && !protocolIsUci()) return;
    char text[8];
    MoveToText(move, text);
    std::snprintf(CurrMoveLine, sizeof CurrMoveLine,
                  "info depth %d currmove %s currmovenumber %d nodes %" PRIu64 "\n", iterationDepth / ONE_PLY,
                  text, moveIndex + 1, nodeCount);
}

void printCurrLine(int thread, bool force) {
    if (!force && !Settings.showCurrLine) return;
    const SearchThread &t = *Threads[thread];
    std::size_t used = std::strlen(std::strcpy(CurrLineText, "info currline"));
    for (int p = 0; p < t.ply && used + 8 < sizeof CurrLineText; ++p) {
        CurrLineText[used++] = ' ';
        used = std::size_t(MoveToText(t.frames[p].currentMove, CurrLineText + used) - CurrLineText);
    }
    std::strcpy(CurrLineText + used, "\n");
}

void printHashFull() {
    static int last = -1;
    int value = hashfull();
    if (value < 0 || value == last) return;
    last = value;
    std::snprintf(HashFullLine, sizeof HashFullLine, "info hashfull %d\n", value);
}

bool protocolIsUci() { return false; }

} // namespace search
