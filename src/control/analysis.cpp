#include "base/clock.h"
#include "base/version.h"
#include "control/dispatch.h"
#include "control/eval_report.h"
#include "control/options.h"
#include "control/position_report.h"
#include "control/search_commands.h"
#include "control/search_output.h"
#include "control/setup.h"
#include "position/fen.h"
#include "position/notation.h"
#include "search/context.h"
#include "search/depth_driver.h"
#include "search/root.h"
#include "search/thread.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace control {

using namespace position;

namespace {

constexpr const char *REPORT_FILE = "analyze.csv";
constexpr std::size_t SHORTEST_TEST_LINE = 18;
constexpr std::size_t TEST_LINE_CHUNK = 255;
constexpr int MAX_SOLUTION_MOVES = 64;

// "bench N" / "profile N": the number after the word, or the default when there is none.
int depthArgument(std::string_view line, std::size_t wordLength) {
    std::string rest(lineTail(line, wordLength));
    char *end = nullptr;
    long d = std::strtol(rest.c_str(), &end, 10);
    if (end == rest.c_str()) return DEFAULT_BENCH_DEPTH;
    return int(d);
}

void clearForNewSearch() {
    setOptionValue(base::OPTION_CLEAR_HASH, "");
    search::clearKillers(search::mainThread());
}

// Searches the game position to the depth and prints the move (console speed commands).
void searchGameToDepth(int depth) {
    search::DepthResult result = search::searchToDepth(GamePosition, depth);
    announceMove(result.bestMove != NO_MOVE);
}

// Appends text to the report; false (after the error line) when the report cannot be written.
bool appendReport(const std::string &text) {
    std::FILE *f = std::fopen(REPORT_FILE, "a");
    if (!f) {
        std::fputs("ERROR: Can't write to file 'analyze.csv'\n", stdout);
        std::fflush(stdout);
        return false;
    }
    std::fputs(text.c_str(), f);
    std::fclose(f);
    return true;
}

// Splits a test line like "%s %c %s %s %u %u %s": returns the field count and where the
// operations start (after field 4 for EPD, at field 7 for a FEN with counters).
int splitTestLine(const std::string &line, std::size_t &opsStart, std::size_t &positionEnd) {
    std::size_t p = 0;
    int fields = 0;
    auto skipBlanks = [&] {
        while (p < line.size() && std::isspace(static_cast<unsigned char>(line[p])))
            ++p;
    };
    for (; fields < 7; ++fields) {
        skipBlanks();
        if (p >= line.size()) break;
        std::size_t start = p;
        if (fields == 1) {
            ++p; // %c: one character
        } else if (fields == 4 || fields == 5) {
            if (!std::isdigit(static_cast<unsigned char>(line[p])) && line[p] != '+') break;
            if (line[p] == '+') ++p;
            while (p < line.size() && std::isdigit(static_cast<unsigned char>(line[p])))
                ++p;
            if (p == start) break;
        } else {
            while (p < line.size() && !std::isspace(static_cast<unsigned char>(line[p])))
                ++p;
        }
        if (fields == 3) positionEnd = p, opsStart = p;
        if (fields == 5) positionEnd = p;
        if (fields == 6) opsStart = start;
    }
    return fields;
}

struct Solution {
    enum Kind { NONE, BEST, AVOID } kind = NONE;
    Move moves[MAX_SOLUTION_MOVES];
    int count = 0;
};

Solution readOperations(std::string ops) {
    Solution s;
    if (ops.empty() || ops.back() != ';') ops += ';';
    std::size_t start = 0;
    for (std::size_t semi; (semi = ops.find(';', start)) != std::string::npos; start = semi + 1) {
        std::string op = ops.substr(start, semi - start);
        char name[16], word[256];
        if (std::sscanf(op.c_str(), "%15s %255s", name, word) < 2) continue;
        bool best = !std::strcmp(name, "bm"), avoid = !std::strcmp(name, "am");
        if (!best && !avoid) continue;
        std::size_t nameAt = op.find(name);
        std::string moves = op.substr(nameAt + std::strlen(name));
        int n = ParseSanList(moves.c_str(), s.moves, MAX_SOLUTION_MOVES);
        s.count = n < 0 ? 0 : n;
        s.kind = best ? Solution::BEST : Solution::AVOID;
    }
    return s;
}

std::string solutionText(const Solution &s) {
    if (s.kind == Solution::NONE) return "-";
    std::string text = s.kind == Solution::BEST ? "bm" : "am";
    for (int i = 0; i < s.count; ++i)
        text.append(" ").append(moveText(s.moves[i]));
    return text;
}

int solved(const Solution &s, Move played) {
    bool listed = false;
    for (int i = 0; i < s.count; ++i)
        listed |= s.moves[i] == played;
    if (s.kind == Solution::BEST) return listed;
    if (s.kind == Solution::AVOID) return !listed;
    return 0;
}

// Analyses one test line; false when the report can no longer be written.
bool analyzeLine(const std::string &line, int id, std::uint64_t moveTime) {
    std::size_t opsStart = 0, positionEnd = 0;
    int fields = splitTestLine(line, opsStart, positionEnd);
    if (fields != 4 && fields != 7) {
        std::printf("Invalid Line: %s\n", line.c_str());
        std::fflush(stdout);
        return appendReport("#INV#," + line + "\n");
    }
    std::string fen = line.substr(0, positionEnd);
    loadGamePosition(fen);
    Solution s = readOperations(opsStart < line.size() ? line.substr(opsStart) : std::string());
    std::string row = std::to_string(id);
    row.append(",").append(fen).append(",").append(solutionText(s));
    if (!appendReport(row)) return false;

    using namespace search;
    clearForNewSearch();
    SearchContext &c = Shared;
    SearchThread &main = mainThread();
    c.engineSide = NO_SIDE;
    c.startTime = base::GetTimeMs();
    main.iterationDepth = 0;
    main.historyOrdering = false;
    main.nodeCount.store(0);
    setSearchState(STATE_THINKING);
    c.targetTime = moveTime;
    c.limitFlags = LIMIT_MOVETIME;
    announceMove(startSearch());

    static PvLine pv;
    main.position = GamePosition;
    collectPv(main, pv, NO_MOVE);
    std::string pvText;
    for (std::uint32_t i = 0; i < pv.count; ++i)
        pvText.append(i ? " " : "").append(moveText(pv.moves[i]));
    const RootBestMove &result = c.rootBest;
    int ok = solved(s, result.bestMove);
    std::uint64_t time = ok ? std::min(result.bestTime, moveTime) : moveTime;
    char tail[128];
    std::snprintf(tail, sizeof tail, ",,%" PRIu64 ",%d (%d),", time, result.bestScore, result.bestDepth);
    std::string rest = tail;
    rest.append(pvText).append(",").append(std::to_string(ok)).append("\n");
    return appendReport(rest);
}

} // namespace

void evalCommand(std::string_view) {
    // Evaluate a copy: while a search runs (the command loop is entered from inside it) its
    // working position must stay untouched; otherwise the game position is the current one.
    static position::Position copy;
    const search::SearchThread *thread = search::Threads[0];
    copy = thread && thread->ply >= 0 ? thread->position : position::GamePosition;
    printEvaluation(eval::evaluationReport(copy));
}

void benchCommand(std::string_view line) {
    std::uint64_t t0 = base::GetTimeMs();
    int depth = depthArgument(line, 6);
    clearForNewSearch();
    search::resetHistory();
    searchGameToDepth(depth);
    std::uint64_t ms = base::GetTimeMs() - t0;
    std::uint64_t nodes = search::searchedNodes();
    std::printf("Nodes:\t%" PRIu64 "\nTime:\t%" PRIu64 " ms\nNPS:\t%u\n", nodes, ms,
                ms ? unsigned(nodes * 1000 / ms) : 0u);
    std::fflush(stdout);
}

void profileCommand(std::string_view line) {
    int d = depthArgument(line, 8);
    const struct {
        const char *fen;
        int depthOffset;
    } runs[] = {{"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 0},
                {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", -1},
                {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 1}};
    for (const auto &r : runs) {
        loadGamePosition(r.fen);
        searchGameToDepth(d + r.depthOffset);
    }
    std::exit(0);
}

void analyzeCommand(std::string_view text) {
    std::string line(text);
    char timeText[32];
    int nameAt = 0;
    unsigned long long moveTime = 0;
    if (std::sscanf(line.c_str(), "analyze %31s %n", timeText, &nameAt) < 1 || nameAt == 0 ||
        std::sscanf(timeText, "%llu", &moveTime) != 1 || std::size_t(nameAt) >= line.size()) {
        std::printf("ERROR: The Analyze command must be in the form 'analyze <time in ms> <file>'!\n");
        std::fflush(stdout);
        return;
    }
    std::string name = line.substr(std::size_t(nameAt));
    std::FILE *in = std::fopen(name.c_str(), "r");
    if (!in) {
        std::printf("ERROR: Cannot open %s!\n", name.c_str());
        std::fflush(stdout);
        return;
    }
    std::FILE *report = std::fopen(REPORT_FILE, "w");
    if (!report) {
        std::fclose(in);
        std::fputs("ERROR: Can't write to file 'analyze.csv'\n", stdout);
        std::fflush(stdout);
        return;
    }
    std::time_t now = std::time(nullptr);
    char date[64];
    std::strftime(date, sizeof date, "%d.%m.%Y %H:%M:%S", std::localtime(&now));
    std::fprintf(report, "%s %s (built %s %s) by %s\n\n", base::ENGINE_NAME, base::ENGINE_VERSION,
                 base::buildDate(), base::buildTime(), base::ENGINE_AUTHORS);
    std::fprintf(report, "File: %s\nMovetime: %llums\n%s\n\n", name.c_str(), moveTime, date);
    std::fputs("id,fen,solution,,time,score (depth),pv,solved\n", report);
    std::fclose(report);

    char chunk[TEST_LINE_CHUNK + 1];
    int id = 1;
    while (std::fgets(chunk, sizeof chunk, in)) {
        std::string testLine = chunk;
        while (!testLine.empty() && (testLine.back() == '\n' || testLine.back() == '\r'))
            testLine.pop_back();
        if (testLine.size() >= SHORTEST_TEST_LINE && !analyzeLine(testLine, id, moveTime)) break;
        ++id;
    }
    std::fclose(in);
}

} // namespace control
