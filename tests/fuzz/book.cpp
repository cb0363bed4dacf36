// Book files: the bytes become the engine's book (through "OwnBookPath") and a short game asks
// it for moves at every ply, in main and tournament mode; vorlan-book's "show" and "stats" read
// the same entries.
#include "fuzz_support.h"

#include "base/options.h"
#include "book/table.h"
#include "booktool/listing.h"
#include "control/dispatch.h"
#include "control/options.h"
#include "control/protocol.h"
#include "position/fen.h"
#include "position/notation.h"
#include "search/context.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size > 1 << 15) return 0;
    fuzz::initEngineOnce();
    fuzz::resetEngine();
    fuzz::writeFile("fuzz.vlb", {reinterpret_cast<const char *>(data), size});
    control::setProtocolMode(control::MODE_UCI);
    control::setOptionValue(base::OPTION_OWN_BOOK_PATH, "fuzz.vlb");
    control::setOptionValue(base::OPTION_TOURNAMENT_BOOK, size % 2 ? "true" : "false");
    std::string line = "position startpos moves";
    for (int ply = 0; ply < 6; ++ply) {
        control::dispatchLine(line);
        control::dispatchLine("go wtime 60000 btime 60000 nodes 200");
        if (search::Shared.rootBest.bestMove == position::NO_MOVE) break;
        line += " " + position::moveText(search::Shared.rootBest.bestMove);
    }
    fuzz::checkGamePosition();
    std::vector<book::BookEntry> entries;
    FUZZ_CHECK(book::readBookFile("fuzz.vlb", entries));
    booktool::showStats(entries);
    booktool::showPosition(entries, position::START_FEN, size % 2);
    return 0;
}
