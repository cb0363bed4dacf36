#include "book/internal.h"

#include "book/key.h"
#include "book/table.h"
#include "position/fen.h"
#include "position/makemove.h"

namespace book {

using namespace position;

namespace {

constexpr std::uint8_t LINE_FLAGS = BOOK_MAIN | BOOK_TOURNAMENT;
constexpr std::uint8_t AVOID_FLAGS = BOOK_AVOID | BOOK_AVOID_TOURNAMENT;

std::uint32_t promotionOf(char c) {
    switch (c) {
    case 'q': return QUEEN;
    case 'r': return ROOK;
    case 'b': return BISHOP;
    case 'n': return KNIGHT;
    default: return 0;
    }
}

const Position &startPosition() {
    static const Position start = [] {
        Position saved = GamePosition;
        LoadFen(START_FEN);
        Position p = GamePosition;
        GamePosition = saved;
        return p;
    }();
    return start;
}

} // namespace

// The lines are our own data and are not validated.
void addBookLine(const char *line) {
    Position pos = startPosition();
    for (const char *p = line; *p;) {
        if (!isFileLetter(*p) || !p[1] || !p[2] || !p[3]) {
            ++p;
            continue;
        }
        Move move = makeMove(textToSquare(p[0], p[1]), textToSquare(p[2], p[3]));
        p += 4;
        if (std::uint32_t promotion = promotionOf(*p)) {
            move = makeMove(moveFrom(move), moveTo(move), promotion);
            ++p;
        }
        if (bookEntries() < INTERNAL_BOOK_CAPACITY)
            addBookEntry(bookKey(pos, move), *p == '-' ? AVOID_FLAGS : LINE_FLAGS);
        PieceType captured;
        MakeMove(pos, move, captured);
    }
}

void buildInternalBook() {
    BookTable.clear();
    BookTable.reserve(INTERNAL_BOOK_CAPACITY);
    for (const char *line : InternalBookLines)
        addBookLine(line);
}

} // namespace book
