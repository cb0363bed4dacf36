#include "control/protocol.h"

#include "search/context.h"

namespace control {

void setProtocolMode(int mode) {
    ProtocolMode = mode;
    search::Shared.holdMoveUntilReleased = mode == MODE_UCI;
}

} // namespace control
