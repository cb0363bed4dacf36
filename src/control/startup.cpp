#include "control/startup.h"

#include "control/book_report.h"
#include "control/commands.h"
#include "control/input.h"
#include "control/options.h"
#include "control/position_report.h"
#include "control/protocol.h"
#include "control/search_output.h"
#include "control/setup.h"
#include "control/tablebase_report.h"
#include "eval/evaluate.h"
#include "eval/pawns.h"
#include "eval/weights.h"
#include "position/attacks.h"
#include "position/castling.h"
#include "position/fen.h"
#include "search/hooks.h"
#include "search/pool.h"
#include "search/search.h"
#include "search/settings.h"
#include "search/thread.h"
#include "search/tt.h"
#include "tablebases/cache.h"
#include "tablebases/probe.h"
#include "tablebases/registry.h"
#include "tablebases/syzygy.h"

#include <cstdio>

namespace control {

namespace {

// Every subsystem whose options need a change handler (hash size, tablebase path, book path,
// piece values) registers it here with registerOptionHandler, so the default reset below
// already runs it.
void registerSubsystemOptionHandlers() {
    registerOptionHandler("Hash", [](int) {
        search::Settings.hashMb = base::optionInt(base::OPTION_HASH);
        if (!search::resizeHashTables()) {
            std::printf("%sERROR: Cannot allocate %d MB for the hash table: running without one\n",
                        ProtocolMode == MODE_UCI ? "info string " : "", search::Settings.hashMb);
            std::fflush(stdout);
        }
    });
    registerOptionHandler("Clear Hash", [](int) { search::clearHash(); });
    registerOptionHandler("Threads", [](int) {
        int wanted = base::optionInt(base::OPTION_THREADS);
        int reached = search::setThreadCount(wanted);
        if (reached < wanted) {
            std::printf("%sERROR: Cannot allocate %d search threads: running with %d\n",
                        ProtocolMode == MODE_UCI ? "info string " : "", wanted, reached);
            std::fflush(stdout);
        }
    });
    auto pieceValues = [](int) {
        eval::setPieceValues(base::optionInt(base::OPTION_KNIGHT), base::optionInt(base::OPTION_BISHOP),
                             base::optionInt(base::OPTION_ROOK), base::optionInt(base::OPTION_QUEEN),
                             base::optionInt(base::OPTION_BISHOP_PAIR));
        // The game position keeps material sums: bring them in line with the new values.
        position::Recomputed r = position::recompute(position::GamePosition);
        for (int c = 0; c < 2; ++c)
            position::GamePosition.material[c] = r.material[c];
    };
    for (const char *name : {"Knight", "Bishop", "Rook", "Queen", "Bishop Pair"})
        registerOptionHandler(name, pieceValues);
    registerOptionHandler("Nullmove",
                          [](int) { search::Settings.nullMove = base::optionBool(base::OPTION_NULLMOVE); });
    registerOptionHandler("MultiPV",
                          [](int) { search::Settings.multiPv = base::optionInt(base::OPTION_MULTIPV); });
    registerOptionHandler("UCI_ShowCurrLine", [](int) {
        search::Settings.showCurrLine = base::optionBool(base::OPTION_SHOW_CURRLINE);
    });
    registerOptionHandler(
        "NalimovPath", [](int) { tablebases::InitTablebases(base::optionText(base::OPTION_NALIMOV_PATH)); });
    registerOptionHandler("NalimovCache", [](int) { tablebases::InitTablebaseCache(); });
    registerOptionHandler("SyzygyPath", [](int) { loadSyzygyAndReport(); });
    registerOptionHandler("UCI_Chess960",
                          [](int) { position::Chess960Mode = base::optionBool(base::OPTION_CHESS960); });
    registerOptionHandler("SyzygyProbeDepth", [](int) { applySyzygySettings(); });
    registerOptionHandler("SyzygyProbeLimit", [](int) { applySyzygySettings(); });
    registerOptionHandler("Contempt",
                          [](int) { search::Settings.contempt = base::optionInt(base::OPTION_CONTEMPT); });
    // Switching the book on loads it unless its path was loaded last. A group reset reaches
    // "OwnBook" before "OwnBookPath" has its text again, so an empty path waits for its own reset.
    registerOptionHandler("OwnBookPath", [](int) { loadBookAndReport(); });
    registerOptionHandler("OwnBook", [](int) {
        if (!base::optionText(base::OPTION_OWN_BOOK_PATH).empty()) loadBookAndReport();
    });
}

// The search reads commands through the command loop, reaches the book and the tablebases
// through its hooks, and reports through the search output; the book's choices and the
// tablebases' news are printed here too.
void connectSearch() {
    search::Hooks = {rootBookMoveReported, selectBookMoveReported, tablebases::ProbeTablebase,
                     tablebases::probeWinDrawLoss, ProcessInput};
    tablebases::NewsHook = printTablebaseNews;
    connectSearchOutput();
}

} // namespace

void applyOptionDefaults() {
    buildOptions();
    // The personality group first, the UCI group last: its final option, "Inifilepath", reads
    // default.ini, which may change any option.
    resetOptionGroup(base::GROUP_PERSONALITY);
    resetOptionGroup(base::GROUP_INTERNAL);
    resetOptionGroup(base::GROUP_UCI);
}

void initEngine() {
    search::allocateSearchThreads();
    position::initAttackTables();
    resetInput();
    eval::initEvaluation();
    search::initSearch();
    connectSearch();
    registerSubsystemOptionHandlers();
    applyOptionDefaults();
    loadBookAndReport();
    loadGamePosition(position::START_FEN);
    search::resetHistory();
}

int runEngine() {
    setupConsole();
    printBanner();
    initEngine();
    for (;;)
        ProcessInput();
}

} // namespace control
