#include "control/search_output.h"

#include "base/options.h"
#include "control/debuglog.h"
#include "control/output.h"
#include "control/protocol.h"
#include "position/notation.h"
#include "search/context.h"
#include "search/report.h"
#include "tablebases/registry.h"
#include "tablebases/syzygy.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

namespace control {

using namespace position;

bool suppressMoveOutput = false;

namespace {

// The "info hashfull" line is written only when the value changes (one value for every table).
int LastHashFull = -1;

void printHeader() {
    if (ProtocolMode == MODE_NONE)
        std::fputs("--------------------------------------\nply  time     nodes   knps score pv\n"
                   "--------------------------------------\n",
                   stdout);
}

void printPrincipalVariation(const search::PvReport &r) {
    char scoreText[32];
    formatScore(scoreText, sizeof scoreText, r.score);
    std::uint32_t nps = r.elapsed ? std::uint32_t(r.nodes * 1000 / r.elapsed) : 0;
    static char pvText[search::MAX_PV_LENGTH * 6 + 1];
    char *p = pvText;
    *p = 0;
    for (std::uint32_t i = 0; i < r.pv->count; ++i) {
        if (i) *p++ = ' ';
        p = MoveToText(r.pv->moves[i], p);
    }
    static char line[sizeof pvText + 200];
    switch (ProtocolMode) {
    case MODE_UCI: {
        // Table hits are shown while endgame tables are in use.
        char hits[32] = "";
        if (!tablebases::NoTablesRegistered || tablebases::syzygyLargest() > 0)
            std::snprintf(hits, sizeof hits, " tbhits %" PRIu64, r.tableHits);
        std::snprintf(line, sizeof line,
                      "info multipv %d depth %u score %s time %" PRIu64 " nodes %" PRIu64 " nps %u%s pv %s\n",
                      r.multipvIndex, unsigned(r.depth), scoreText, r.elapsed, r.nodes, nps, hits, pvText);
        break;
    }
    case MODE_XBOARD:
        if (!base::optionBool(base::OPTION_XBOARD_POST)) return;
        std::snprintf(line, sizeof line, "%2u %5d %7" PRIu64 " %8" PRIu64 " %s\n", unsigned(r.depth), r.score,
                      r.elapsed / 10, r.nodes, pvText);
        break;
    default:
        std::snprintf(line, sizeof line, "%2d. %5.1f %9" PRIu64 " %6.1f % 5d %s\n", r.depth,
                      double(r.elapsed) / 1000, r.nodes, double(nps) / 1000, r.score, pvText);
        break;
    }
    appendInfoText(line);
    if (!search::searchIdle()) FlushOutput(false);
}

void printCurrentMove(Move move, int moveIndex, int depth, std::uint64_t nodes) {
    if (ProtocolMode != MODE_UCI) return;
    char text[8], line[128];
    MoveToText(move, text);
    std::snprintf(line, sizeof line, "info depth %u currmove %s currmovenumber %u nodes %" PRIu64 "\n",
                  unsigned(depth), text, unsigned(moveIndex + 1), nodes);
    setCurrMoveText(line);
}

void printCurrentLine(const Move *moves, int count) {
    char line[(MAX_PLY + 1) * 6 + 32];
    char *p = line + std::snprintf(line, sizeof line, "info currline");
    for (int i = 0; i < count; ++i) {
        *p++ = ' ';
        p = MoveToText(moves[i], p);
    }
    std::strcpy(p, "\n");
    setCurrLineText(line);
}

void printHashFull(int permille) {
    if (permille == LastHashFull) return;
    LastHashFull = permille;
    char line[32];
    std::snprintf(line, sizeof line, "info hashfull %d\n", permille);
    setHashFullText(line);
}

void printMoveLine(const char *text) {
    if (suppressMoveOutput) return;
    std::fputs(text, stdout);
    std::fflush(stdout);
}

void printBestMoveWithPonder(Move best, Move ponder) {
    std::string b = moveText(best), p = moveText(ponder);
    char line[64];
    switch (ProtocolMode) {
    case MODE_UCI: std::snprintf(line, sizeof line, "bestmove %s ponder %s\n", b.c_str(), p.c_str()); break;
    case MODE_XBOARD: std::snprintf(line, sizeof line, "move %s\nHint: %s\n", b.c_str(), p.c_str()); break;
    default: std::snprintf(line, sizeof line, "%s\n", b.c_str()); break;
    }
    printMoveLine(line);
    if (!suppressMoveOutput) debugLine("bestmove " + b + " ponder " + p);
}

void printBestMoveOnly(Move best) {
    std::string b = moveText(best);
    char line[64];
    switch (ProtocolMode) {
    case MODE_UCI: std::snprintf(line, sizeof line, "bestmove %s\n", b.c_str()); break;
    case MODE_XBOARD: std::snprintf(line, sizeof line, "move %s\n", b.c_str()); break;
    default: std::snprintf(line, sizeof line, "%s\n", b.c_str()); break;
    }
    printMoveLine(line);
    if (!suppressMoveOutput) debugLine("bestmove " + b);
}

} // namespace

void connectSearchOutput() {
    search::Reports = {printHeader, printPrincipalVariation, printCurrentMove, printCurrentLine,
                       printHashFull};
}

void announceMove(bool moved) {
    if (!moved) {
        if (ProtocolMode == MODE_UCI) printBestMoveOnly(NullMove);
        return;
    }
    FlushOutput(true);
    const search::RootBestMove &result = search::Shared.rootBest;
    if (result.ponderMove == NO_MOVE)
        printBestMoveOnly(result.bestMove);
    else
        printBestMoveWithPonder(result.bestMove, result.ponderMove);
    clearOutputSlots();
}

void formatScore(char *out, std::size_t size, int score) {
    if (score > MATE_BOUND || score < -MATE_BOUND)
        std::snprintf(out, size, "mate %d", score >= 1 ? (MATE + 1 - score) / 2 : -((score + MATE) / 2));
    else
        std::snprintf(out, size, "cp %d", score);
}

} // namespace control
