// vorlan-book: makes Book.vlb files from PGN games or Polyglot books, and shows what is in them.
#include "book/table.h"
#include "booktool/frompgn.h"
#include "booktool/listing.h"
#include "booktool/polyglot.h"
#include "booktool/writer.h"
#include "eval/evaluate.h"
#include "position/attacks.h"
#include "position/fen.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr const char *USAGE =
    "usage: vorlan-book from-pgn GAMES.pgn... -o Book.vlb [--max-ply N] [--min-games N]\n"
    "       vorlan-book from-polyglot BOOK.bin -o Book.vlb\n"
    "       vorlan-book show Book.vlb [FEN] [--tournament]\n"
    "       vorlan-book stats Book.vlb\n";

int fail(const std::string &message) {
    std::fprintf(stderr, "vorlan-book: %s\n", message.c_str());
    return 1;
}

struct Arguments {
    std::vector<std::string> inputs;
    std::string output;
    booktool::PgnOptions pgn;
    bool tournament = false;
    std::string error;
};

bool readNumber(const char *text, int low, int &out) {
    char *end = nullptr;
    long n = std::strtol(text, &end, 10);
    if (!*text || *end || n < low || n > 100000) return false;
    out = int(n);
    return true;
}

Arguments parse(int argc, char **argv) {
    Arguments a;
    for (int i = 2; i < argc && a.error.empty(); ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "-o" && hasValue)
            a.output = argv[++i];
        else if (arg == "--max-ply" && hasValue)
            a.error = readNumber(argv[++i], 1, a.pgn.maxPly) ? "" : "--max-ply needs a number from 1";
        else if (arg == "--min-games" && hasValue)
            a.error = readNumber(argv[++i], 1, a.pgn.minGames) ? "" : "--min-games needs a number from 1";
        else if (arg == "--tournament")
            a.tournament = true;
        else if (arg.size() > 1 && arg[0] == '-')
            a.error = "unknown or incomplete option " + arg;
        else
            a.inputs.push_back(arg);
    }
    return a;
}

int fromPgn(const Arguments &a) {
    booktool::MoveCounts counts;
    booktool::PgnReport report;
    for (const std::string &path : a.inputs) {
        std::string error;
        if (!booktool::countPgnFile(path, a.pgn, counts, report, error)) return fail(error);
    }
    std::vector<book::BookEntry> entries = booktool::pgnBookEntries(counts, a.pgn);
    std::string error;
    if (!booktool::writeBookSafely(a.output, entries, error)) return fail(error);
    std::printf("%zu games read, %zu skipped; %zu entries written to %s\n", report.games, report.skipped,
                entries.size(), a.output.c_str());
    return 0;
}

int fromPolyglot(const Arguments &a) {
    booktool::PolyglotBook polyglot;
    std::string error;
    if (!booktool::readPolyglotBook(a.inputs[0], polyglot, error)) return fail(error);
    if (polyglot.trailingBytes)
        std::fprintf(stderr, "vorlan-book: %s: the last %zu bytes are not a whole entry and are ignored\n",
                     a.inputs[0].c_str(), polyglot.trailingBytes);
    booktool::WalkReport r;
    std::vector<book::BookEntry> entries = booktool::walkPolyglotBook(polyglot, r);
    if (!booktool::writeBookSafely(a.output, entries, error)) return fail(error);
    std::printf("%zu Polyglot entries read; %zu positions reached; %zu entries written to %s\n",
                polyglot.entries.size(), r.positions, entries.size(), a.output.c_str());
    std::printf("left out: %zu illegal, %zu with weight 0, %zu merged into the same move, %zu not reachable "
                "from the start, %zu whose key another position already used\n",
                r.illegal, r.zeroWeight, r.merged, r.unreached, r.sameKey);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    std::string command = argc > 1 ? argv[1] : "";
    Arguments a = parse(argc, argv);
    bool converts = command == "from-pgn" || command == "from-polyglot";
    bool lists = command == "show" || command == "stats";
    if (!a.error.empty()) return fail(a.error + "\n" + USAGE);
    if ((!converts && !lists) || a.inputs.empty() || (converts && a.output.empty()) ||
        (command == "from-polyglot" && a.inputs.size() != 1) || (command == "show" && a.inputs.size() > 2) ||
        (command == "stats" && a.inputs.size() != 1)) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    position::initAttackTables();
    eval::initEvaluation();
    if (command == "from-pgn") return fromPgn(a);
    if (command == "from-polyglot") return fromPolyglot(a);
    std::vector<book::BookEntry> entries;
    if (!book::readBookFile(a.inputs[0], entries)) return fail("cannot read " + a.inputs[0]);
    if (command == "stats") {
        booktool::showStats(entries);
        std::error_code ec;
        if (auto size = std::filesystem::file_size(a.inputs[0], ec); !ec && size % book::BOOK_RECORD_SIZE)
            std::printf("trailing bytes: %ju (not a whole entry, ignored)\n",
                        std::uintmax_t(size % book::BOOK_RECORD_SIZE));
    } else {
        booktool::showPosition(entries, a.inputs.size() > 1 ? a.inputs[1] : position::START_FEN,
                               a.tournament);
    }
    return 0;
}
