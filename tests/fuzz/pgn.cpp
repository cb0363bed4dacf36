// vorlan-book's PGN reader: every game of the file is read, its moves played, and the counts
// turned into book entries.
#include "fuzz_support.h"

#include "booktool/frompgn.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size > 1 << 16) return 0;
    fuzz::initEngineOnce();
    fuzz::writeFile("fuzz.pgn", {reinterpret_cast<const char *>(data), size});
    booktool::PgnOptions options;
    options.minGames = size % 3 + 1;
    booktool::MoveCounts counts;
    booktool::PgnReport report;
    std::string error;
    FUZZ_CHECK(booktool::countPgnFile("fuzz.pgn", options, counts, report, error));
    std::vector<book::BookEntry> entries = booktool::pgnBookEntries(counts, options);
    for (const book::BookEntry &e : entries)
        FUZZ_CHECK(e.weight > 0);
    return 0;
}
