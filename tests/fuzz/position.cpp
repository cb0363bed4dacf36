// FEN and move-list input, one line at a time: "position ..." (UCI), "setboard ..." (xboard),
// "fen ..." (console) or a bare move list (xboard moves, console "move"). After every line the
// game position must be consistent and survive making and unmaking each legal move.
#include "fuzz_support.h"

#include "base/text.h"
#include "control/setup.h"
#include "position/fen.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size > 4096) return 0;
    fuzz::initEngineOnce();
    position::LoadFen(position::START_FEN);
    for (std::string_view line : fuzz::splitLines({reinterpret_cast<const char *>(data), size})) {
        if (base::startsWith(line, "position"))
            control::PositionCommand(line);
        else if (base::startsWith(line, "setboard "))
            control::SetboardCommand(line);
        else if (base::startsWith(line, "fen"))
            control::fenCommand(line);
        else
            position::ApplyMoveList(line);
        fuzz::checkGamePosition();
    }
    return 0;
}
