#include "control/book_report.h"

#include "base/options.h"
#include "book/load.h"
#include "book/select.h"
#include "control/protocol.h"
#include "position/notation.h"
#include "search/pvcache.h"
#include "search/thread.h"
#include "tablebases/syzygy.h"

#include <cstdio>

namespace control {

namespace {

// Console and UCI hear about the book; xboard does not.
bool silent() { return ProtocolMode == MODE_XBOARD; }
const char *prefix() { return ProtocolMode == MODE_UCI ? "info string " : ""; }

void printSelection(const book::BookSelection &s) {
    if (s.count == 0 || silent()) return;
    const char *p = prefix();
    std::printf("%sBookmove available ...\n%sSelection Process: (random = %d)\n", p, p, s.random);
    for (int i = 0, start = 0; i < s.count; ++i) {
        int share = s.percent[i];
        char text[8];
        position::MoveToText(s.moves[i], text);
        char mark = s.random >= start && s.random < start + share ? '*' : ' ';
        std::printf("%s %s %3d%% (%2d -%3d) %c\n", p, text, share, start, start + share - 1, mark);
        start += share;
    }
    std::fflush(stdout);
}

bool selectionWanted(bool print) { return print && base::optionBool(base::OPTION_BOOKMOVE_INFO); }

} // namespace

void loadBookAndReport() {
    book::BookLoad load = book::loadBook();
    if (load.outcome == book::BOOK_UNCHANGED || silent()) return;
    if (load.outcome == book::BOOK_FILE_LOADED)
        std::printf("%sOpening Book: %zu entries loaded\n", prefix(), load.entries);
    else
        std::printf("%sCannot open %s, a small internal book will be used instead!\n", prefix(),
                    load.path.c_str());
    std::fflush(stdout);
}

position::Move rootBookMoveReported(search::SearchThread &thread, bool print) {
    // A root in the Syzygy tables searches only the moves that keep its result; the book and the
    // other instant moves know nothing of it (a lone such move is played at once).
    if (int kept = tablebases::restrictRootToTables(thread); kept > 0) {
        position::MoveEntry list[position::MAX_MOVES];
        int count = 0;
        search::pvCacheLookup(thread.pvCache, thread.position, list, count);
        return kept == 1 ? position::entryMove(list[0]) : position::NO_MOVE;
    }
    book::BookSelection selection;
    position::Move move = book::rootBookMove(thread, selectionWanted(print) ? &selection : nullptr);
    printSelection(selection);
    return move;
}

position::Move selectBookMoveReported(search::SearchThread &thread, position::MoveEntry *list, int &count,
                                      bool print) {
    book::BookSelection selection;
    position::Move move =
        book::selectBookMove(thread, list, count, selectionWanted(print) ? &selection : nullptr);
    printSelection(selection);
    return move;
}

} // namespace control
