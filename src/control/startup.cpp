#include "control/startup.h"

#include "control/commands.h"
#include "control/input.h"
#include "control/options.h"
#include "control/setup.h"
#include "position/attacks.h"
#include "position/fen.h"
#include "search/thread.h"

namespace control {

namespace {

// Every subsystem whose options need a change handler (hash size, tablebase path, book path,
// piece values) registers it here with registerOptionHandler, so the default reset below
// already runs it.
void registerSubsystemOptionHandlers() {}

} // namespace

void applyOptionDefaults() {
    buildOptions();
    // The personality group first, the UCI group last: its final option, "Inifilepath", reads
    // default.ini, which may change any option.
    resetOptionGroup(GROUP_PERSONALITY);
    resetOptionGroup(GROUP_INTERNAL);
    resetOptionGroup(GROUP_UCI);
}

void initEngine() {
    search::allocateSearchThreads();
    position::initAttackTables();
    resetInput();
    registerSubsystemOptionHandlers();
    applyOptionDefaults();
    position::LoadFen(position::START_FEN);
    fillHistory();
}

int runEngine() {
    setupConsole();
    printBanner();
    initEngine();
    for (;;) ProcessInput();
}

} // namespace control
