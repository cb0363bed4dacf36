#include "control/position_report.h"

#include "control/protocol.h"
#include "position/fen.h"

#include <cstdio>

namespace control {

void loadGamePosition(std::string_view fen) {
    position::FenNotes notes = position::LoadFen(fen);
    for (int i = 0; i < notes.count; ++i) {
        // A refused position reaches an xboard interface as an error dialog: its game no longer
        // matches the engine's.
        bool dialog = notes.refused && i == notes.count - 1 && ProtocolMode == MODE_XBOARD;
        std::printf("%s%s\n", dialog ? "tellusererror " : "info string ", notes.notes[i]);
        std::fflush(stdout);
    }
}

bool playMoveList(std::string_view moves) {
    position::MoveListResult result = position::ApplyMoveList(moves);
    if (result.complete) return true;
    // An xboard interface must hear in its own words that a move was refused, or it waits for a reply.
    if (ProtocolMode == MODE_XBOARD)
        std::printf("Illegal move: %s\n", result.refused);
    else
        std::printf("info string Invalid Move: %s\n", result.refused);
    std::fflush(stdout);
    return false;
}

} // namespace control
