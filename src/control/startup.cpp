#include "control/startup.h"

#include "position/attacks.h"
#include "search/thread.h"

namespace control {

void initEngine() {
    search::allocateSearchThreads();
    position::initAttackTables();
}

int runEngine() {
    initEngine();
    return 0;
}

} // namespace control
