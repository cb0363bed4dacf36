#include "control/xboard.h"

#include "base/options.h"
#include "base/text.h"
#include "base/version.h"
#include "control/dispatch.h"
#include "control/input.h"
#include "control/options.h"
#include "control/position_report.h"
#include "control/protocol.h"
#include "control/search_commands.h"
#include "control/search_output.h"
#include "position/castling.h"
#include "position/fen.h"
#include "position/makemove.h"
#include "position/notation.h"
#include "search/context.h"
#include "search/thread.h"
#include "search/timeman.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace control {

using namespace position;

position::Move expectedPonderMove = 0;
position::Move opponentReply = 0;
XboardClocks Clocks = {NEW_GAME_CLOCK_MS, NEW_GAME_CLOCK_MS};

namespace {

constexpr const char *FEATURES[] = {
    "feature ping=1",
    "feature setboard=1",
    "feature sigint=0",
    "feature sigterm=0",
    "feature analyze=0",
    nullptr, // myname, with the version
    "feature variants=\"normal,fischerandom\"",
    "feature colors=0",
    "feature name=0",
    "feature nps=1",
    "feature memory=1",
    "feature smp=1",
    "feature egt=\"nalimov,syzygy\"",
};

// The first integer after the command word ("%*s %d"); `fallback` when there is none.
std::int32_t numberAfterWord(std::string_view line, std::int32_t fallback) {
    std::size_t p = 0;
    while (p < line.size() && !base::isBlank(line[p]))
        ++p;
    std::string_view rest = line.substr(p);
    std::size_t q = 0;
    while (q < rest.size() && base::isBlank(rest[q]))
        ++q;
    if (q == rest.size() || !(rest[q] == '-' || rest[q] == '+' || (rest[q] >= '0' && rest[q] <= '9')))
        return fallback;
    return base::leadingInt(rest);
}

// Files the engine's and the opponent's clocks under the colours of the position to search.
void fileClocks() {
    int engine = int(GamePosition.sideToMove);
    search::Shared.limits.time[engine] = Clocks.engine;
    search::Shared.limits.time[engine ^ 1] = Clocks.opponent;
}

// The options an xboard interface shows in its engine settings (UCI names, UCI meaning).
constexpr base::OptionId OFFERED_OPTIONS[] = {base::OPTION_LIMIT_STRENGTH, base::OPTION_ELO,
                                              base::OPTION_PERSONALITY};

void printOptionFeature(const base::EngineOption &o) {
    if (o.type == base::OPT_CHECK) {
        std::printf("feature option=\"%s -check %d\"\n", o.name, int(o.defaultValue));
    } else if (o.type == base::OPT_SPIN) {
        std::printf("feature option=\"%s -spin %d %d %d\"\n", o.name, int(o.defaultValue), int(o.min), o.max);
    } else if (o.type == base::OPT_COMBO) {
        // "var a var b" becomes "*a /// b", the default marked.
        std::string list;
        std::string_view choices = o.choices;
        for (std::size_t p = choices.find("var "); p != std::string_view::npos;) {
            std::size_t next = choices.find(" var ", p);
            std::string_view choice = choices.substr(p + 4, next == std::string_view::npos ? next : next - p - 4);
            if (!list.empty()) list += " /// ";
            if (choice == o.defaultText) list += '*';
            list += choice;
            p = next == std::string_view::npos ? next : next + 1;
        }
        std::printf("feature option=\"%s -combo %s\"\n", o.name, list.c_str());
    }
}

void think() {
    fileClocks();
    announceMove(search::runSearch());
}

} // namespace

void protoverCommand(std::string_view) {
    std::printf("feature done=0\n");
    for (const char *f : FEATURES) {
        if (f)
            std::printf("%s\n", f);
        else
            std::printf("feature myname=\"%s %s\"\n", base::ENGINE_NAME, base::ENGINE_VERSION);
    }
    for (base::OptionId id : OFFERED_OPTIONS)
        printOptionFeature(base::Options[id]);
    std::printf("feature done=1\n");
    std::fflush(stdout);
}

void variantCommand(std::string_view line) {
    if (line == "variant normal" || line == "variant fischerandom") {
        setOptionValue(base::OPTION_CHESS960, line == "variant fischerandom" ? "true" : "false");
        return;
    }
    std::string_view name = lineTail(line, 8);
    std::printf("Error (unknown variant): %.*s\n", int(name.size()), name.data());
    std::fflush(stdout);
}

void pingCommand(std::string_view line) {
    std::printf("pong %d\n", numberAfterWord(line, 0));
    std::fflush(stdout);
}

void levelCommand(std::string_view line) {
    using namespace search;
    // "level MPS BASE INC": BASE in minutes or minutes:seconds, INC in seconds. Interfaces send
    // fractions of a second as increments ("0.1"): they count to the millisecond.
    std::string_view rest = lineTail(line, 6);
    bool withSeconds = rest.find(':') != std::string_view::npos;
    std::int64_t fields[4] = {0, 0, 0, 0}; // the last one in milliseconds
    int wanted = withSeconds ? 4 : 3, count = 0;
    std::size_t p = 0;
    while (count < wanted && p < rest.size()) {
        while (p < rest.size() && (base::isBlank(rest[p]) || (withSeconds && count == 2 && rest[p] == ':')))
            ++p;
        if (p == rest.size() || !(rest[p] == '-' || rest[p] == '+' || (rest[p] >= '0' && rest[p] <= '9')))
            break;
        std::int64_t value = base::leadingInt(rest.substr(p));
        ++p;
        while (p < rest.size() && rest[p] >= '0' && rest[p] <= '9')
            ++p;
        if (count == wanted - 1) {
            value *= 1000;
            if (p < rest.size() && rest[p] == '.')
                for (std::int64_t scale = 100; ++p < rest.size() && rest[p] >= '0' && rest[p] <= '9';
                     scale /= 10)
                    value += (value < 0 ? -1 : 1) * (rest[p] - '0') * scale;
        }
        fields[count++] = value;
    }
    std::int32_t mps = boundedLimit(fields[0], CLOCK_BOUND_MS);
    std::int64_t seconds = withSeconds ? fields[1] * 60 + fields[2] : fields[1] * 60;
    std::int32_t incMs = boundedLimit(fields[wanted - 1], CLOCK_BOUND_MS);
    Limits &limits = Shared.limits;
    limits.movestogo = mps;
    Clocks.engine = Clocks.opponent = limits.time[0] = limits.time[1] =
        boundedLimit(seconds * 1000, CLOCK_BOUND_MS);
    limits.inc[0] = limits.inc[1] = incMs;
    if (mps != 0) Shared.limitFlags |= LIMIT_MOVESTOGO;
    if (seconds != 0) Shared.limitFlags |= LIMIT_CLOCK;
    if (incMs != 0) Shared.limitFlags |= LIMIT_INC;
}

void stCommand(std::string_view line) {
    search::Shared.limitFlags |= search::LIMIT_MOVETIME;
    search::Shared.limits.movetime =
        search::boundedLimit(std::int64_t(numberAfterWord(line, 0)) * 1000, search::CLOCK_BOUND_MS);
}

void sdCommand(std::string_view line) {
    search::Shared.limitFlags |= search::LIMIT_DEPTH;
    search::Shared.limits.depth = search::boundedLimit(numberAfterWord(line, 0), search::DEPTH_BOUND);
}

void npsCommand(std::string_view line) {
    search::Shared.limits.nodes = numberAfterWord(line, 0);
    storeOptionValue(base::OPTION_PROCESS_TIME, 1);
}

namespace {
// A clock in centiseconds, in milliseconds.
std::int32_t clockMs(std::string_view line) {
    return search::boundedLimit(std::int64_t(numberAfterWord(line, 0)) * 10, search::CLOCK_BOUND_MS);
}
} // namespace

void coresCommand(std::string_view line) {
    int cores = std::clamp(numberAfterWord(line, 1), 1, search::MAX_THREADS);
    setOptionValue(base::OPTION_THREADS, std::to_string(cores));
}

// "egtpath syzygy PATH" sets the Syzygy folders; other kinds are left to their own options.
void egtpathCommand(std::string_view line) {
    constexpr std::string_view SYZYGY = "egtpath syzygy ";
    if (line.substr(0, SYZYGY.size()) != SYZYGY) return;
    std::string_view path = line.substr(SYZYGY.size());
    while (!path.empty() && base::isBlank(path.front()))
        path.remove_prefix(1);
    while (!path.empty() && base::isBlank(path.back()))
        path.remove_suffix(1);
    setOptionValue(base::OPTION_SYZYGY_PATH, std::string(path));
}

void optionCommand(std::string_view line) {
    std::string_view rest = lineTail(line, 7);
    std::size_t equals = rest.find('=');
    int index = findOption(rest.substr(0, equals));
    if (index < 0 || base::Options[index].group != base::GROUP_UCI) {
        std::printf("Error (unknown option): %.*s\n", int(rest.size()), rest.data());
        std::fflush(stdout);
        return;
    }
    setOptionValue(index, equals == std::string_view::npos ? std::string_view() : rest.substr(equals + 1));
}

void timeCommand(std::string_view line) { Clocks.engine = clockMs(line); }
void otimCommand(std::string_view line) { Clocks.opponent = clockMs(line); }

void NewGameCommand(std::string_view) {
    using namespace search;
    setOptionValue(base::OPTION_CHESS960, "false"); // a new game is standard chess until "variant"
    loadGamePosition(START_FEN);
    storeOptionValue(base::OPTION_XBOARD_FORCE, 0);
    expectedPonderMove = NullMove;
    storeOptionValue(base::OPTION_PROCESS_TIME, 0);
    Clocks = {NEW_GAME_CLOCK_MS, NEW_GAME_CLOCK_MS};
    Shared.limits.time[0] = Shared.limits.time[1] = NEW_GAME_CLOCK_MS;
    Shared.limitFlags = LIMIT_CLOCK;
    resetHistory();
}

void xboardGoCommand(std::string_view) {
    using namespace search;
    // Nothing can end a ponder search at the console, which is not read while a search runs.
    bool mayPonder = ProtocolMode == MODE_XBOARD;
    for (;;) {
        suppressMoveOutput = false;
        expectedPonderMove = NO_MOVE;
        storeOptionValue(base::OPTION_XBOARD_FORCE, 0);
        setSearchState(STATE_THINKING);
        think();
        for (;;) {
            if (expectedPonderMove == NullMove) return;
            // The engine's move is now part of the game.
            const RootBestMove &result = Shared.rootBest;
            if (result.bestMove == NO_MOVE || !PlayGameMove(result.bestMove)) return;
            Move ponder = result.ponderMove;
            // A "force" that ended the search also means: no pondering, the interface moves next.
            if (!mayPonder || !base::optionBool(base::OPTION_PONDER) || ponder == NO_MOVE ||
                base::optionBool(base::OPTION_XBOARD_FORCE))
                return;
            Shared.limitFlags |= LIMIT_INFINITE;
            setSearchState(STATE_PONDERING);
            UndoState saved = saveUndo(GamePosition);
            PieceType captured;
            expectedPonderMove = ponder;
            MakeMove(GamePosition, ponder, captured);
            opponentReply = NO_MOVE;
            suppressMoveOutput = true;
            think();
            if (expectedPonderMove == NullMove) return;
            if (opponentReply == expectedPonderMove) continue; // a hit: that search played its move
            UnmakeMove(GamePosition, ponder, captured, saved);
            if (opponentReply == NO_MOVE) {
                // Ended by "?", "force", "new", "setboard" or by itself: the next search is timed.
                Shared.limitFlags &= ~std::uint32_t(LIMIT_INFINITE);
                suppressMoveOutput = false;
                return;
            }
            // A miss: play the opponent's real move and think afresh, unless now in force mode.
            suppressMoveOutput = false;
            if (!PlayGameMove(opponentReply)) {
                std::printf("Illegal move: %s\n", moveText(opponentReply).c_str());
                std::fflush(stdout);
                return;
            }
            if (base::optionBool(base::OPTION_XBOARD_FORCE)) return;
            break;
        }
    }
}

void xboardMoveCommand(std::string_view line) {
    using namespace search;
    switch (searchState()) {
    case STATE_IDLE:
        if (playMoveList(line) && !base::optionBool(base::OPTION_XBOARD_FORCE)) xboardGoCommand("go");
        break;
    case STATE_PONDERING: {
        Shared.limitFlags &= ~std::uint32_t(LIMIT_INFINITE);
        std::string text(line); // the converter wants a terminated text
        bool named = Chess960Mode && (text.rfind("O-O", 0) == 0 || text.rfind("0-0", 0) == 0);
        opponentReply = named ? namedCastlingMove(GamePosition, text.size() < 5 || text[3] != '-')
                              : adaptCastlingMove(GamePosition, TextToMove(text.c_str()));
        if (opponentReply == expectedPonderMove) {
            fileClocks();
            ponderhitCommand("ponderhit");
            suppressMoveOutput = false;
        } else {
            stopSearch();
        }
        break;
    }
    default: // thinking: the interface should not move now
        break;
    }
}

} // namespace control
