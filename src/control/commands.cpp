#include "control/commands.h"

#include "base/version.h"
#include "control/debuglog.h"
#include "control/dispatch.h"
#include "control/options.h"
#include "control/output.h"
#include "control/setup.h"
#include "control/xboard.h"
#include "search/context.h"
#include "search/pool.h"

#include <cstdio>
#include <cstdlib>

namespace control {

void printBanner() {
    std::printf("%s %s UCI chess engine\n", base::ENGINE_NAME, base::ENGINE_VERSION);
    std::printf("Written by %s\n", base::ENGINE_AUTHORS);
    std::printf("Built %s, %s\n\n", base::buildDate(), base::buildTime());
}

void uciCommand(std::string_view) {
    setProtocolMode(MODE_UCI);
    std::printf("id name %s %s\n", base::ENGINE_NAME, base::ENGINE_VERSION);
    std::printf("id author %s\n", base::ENGINE_AUTHORS);
    printOptions();
    std::printf("uciok\n");
    debugLine("id name/author; options; uciok");
}

void xboardCommand(std::string_view) {
    setProtocolMode(MODE_XBOARD);
    NewGameCommand("new");
    storeOptionValue(base::OPTION_XBOARD_POST, 0);
}

void isreadyCommand(std::string_view) {
    // Stops a running search like "stop", but keeps its unprinted information.
    search::stopSearch();
    std::printf("readyok\n");
    std::fflush(stdout);
    debugLine("readyok");
}

void setoptionCommand(std::string_view line) { handleSetOption(line); }

void progCommand(std::string_view) {
    std::printf("--------------------------------\n"
                "mate distance pruning         ON\n"
                "enhanced transposition cutoff ON\n"
                "history move ordering         ON\n"
                "internal iterative deepening  ON\n"
                "IID in cut nodes             OFF\n"
                "--------------------------------\n");
}

void quitCommand(std::string_view) {
    // Also during a search: the helpers stop before the program's data goes away.
    search::stopSearch();
    search::waitForHelpers();
    std::fflush(stdout);
    std::exit(0);
}

void stopCommand(std::string_view) {
    search::stopSearch();
    clearOutputSlots();
}

void forceCommand(std::string_view line) {
    storeOptionValue(base::OPTION_XBOARD_FORCE, 1);
    stopCommand(line);
}

void hardCommand(std::string_view) { storeOptionValue(base::OPTION_PONDER, 1); }
void easyCommand(std::string_view) { storeOptionValue(base::OPTION_PONDER, 0); }
void postCommand(std::string_view) { storeOptionValue(base::OPTION_XBOARD_POST, 1); }
void nopostCommand(std::string_view) { storeOptionValue(base::OPTION_XBOARD_POST, 0); }
void ignoreCommand(std::string_view) {}

} // namespace control
