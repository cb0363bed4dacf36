#include "position/notation.h"

#include "position/attacks.h"
#include "position/makemove.h"

#include <cctype>
#include <cstring>

namespace position {

namespace {
constexpr char PROMOTION_LETTERS[] = {0, 'q', 'r', 'b', 'n', 0, 0, 0};

char lower(char c) { return char(std::tolower(static_cast<unsigned char>(c))); }

// Pieces of `type` of the side to move that reach `to`.
Bitboard reachingPieces(const Position &pos, PieceType type, Square to) {
    Bitboard occ = pos.all(), own = pos.pieces[pos.sideToMove][type];
    switch (type) {
    case KNIGHT: return KnightAttacks[to] & own;
    case KING: return KingAttacks[to] & own;
    case BISHOP: return BishopAttacks(to, occ) & own;
    case ROOK: return RookAttacks(to, occ) & own;
    case QUEEN: return QueenAttacks(to, occ) & own;
    default: return 0;
    }
}

// Would moving the piece from `from` to `to` open a line from an enemy slider onto the own king?
bool exposesKing(const Position &pos, Square from, Square to) {
    Colour us = Colour(pos.sideToMove), them = ~us;
    Square king = pos.kingSquare[us];
    Bitboard occ = (pos.all() & ~SquareBit[from]) | SquareBit[to];
    Bitboard notCaptured = ~SquareBit[to];
    Bitboard rq = (pos.pieces[them][ROOK] | pos.pieces[them][QUEEN]) & notCaptured;
    Bitboard bq = (pos.pieces[them][BISHOP] | pos.pieces[them][QUEEN]) & notCaptured;
    return (RookAttacks(king, occ) & rq) || (BishopAttacks(king, occ) & bq);
}

int promotionFromLetter(char c) {
    switch (c) {
    case 'B': return BISHOP;
    case 'N': return KNIGHT;
    case 'Q': return QUEEN;
    case 'R': return ROOK;
    default: return 0;
    }
}
} // namespace

char *MoveToText(Move move, char *buffer) {
    if (move == NullMove) {
        std::memcpy(buffer, "0000", 5);
        return buffer + 4;
    }
    Square from = moveFrom(move), to = moveTo(move);
    char *p = buffer;
    *p++ = fileLetter(from);
    *p++ = rankDigit(from);
    *p++ = fileLetter(to);
    *p++ = rankDigit(to);
    if (char letter = PROMOTION_LETTERS[movePromotion(move)]) *p++ = letter;
    *p = 0;
    return p;
}

std::string moveText(Move move) {
    char buffer[8];
    MoveToText(move, buffer);
    return buffer;
}

Move TextToMove(const char *text) {
    while (*text && !isFileLetter(lower(*text)))
        ++text;
    if (!*text) return NO_MOVE;
    char c[5] = {0, 0, 0, 0, 0};
    for (int i = 0; i < 5 && text[i]; ++i)
        c[i] = lower(text[i]);
    // A token cut short or off the board is no move rather than a guess.
    if (!isFileLetter(c[0]) || !isRankDigit(c[1]) || !isFileLetter(c[2]) || !isRankDigit(c[3]))
        return NO_MOVE;
    Square from = textToSquare(c[0], c[1]), to = textToSquare(c[2], c[3]);
    const char *letter = c[4] ? std::strchr(PROMOTION_LETTERS + 1, c[4]) : nullptr;
    std::uint32_t promotion = letter ? std::uint32_t(letter - PROMOTION_LETTERS) : 0;
    return makeMove(from, to, promotion);
}

int ParseSanList(const char *text, Move *out, int capacity) {
    const Position &pos = GamePosition;
    Colour us = Colour(pos.sideToMove);
    int count = 0;
    const char *p = text;
    auto startsMove = [](char c) { return std::strchr("O0KQRBN", c) || isFileLetter(c); };
    for (;;) {
        while (*p && *p != ';' && !startsMove(*p))
            ++p;
        if (!*p || *p == ';') return count;
        if (count >= capacity) return count;
        Move move = NO_MOVE;
        if (!std::strncmp(p, "O-O-O", 5) || !std::strncmp(p, "0-0-0", 5)) {
            move = us == WHITE ? CASTLE_WQ : CASTLE_BQ;
            p += 5;
        } else if (!std::strncmp(p, "O-O", 3) || !std::strncmp(p, "0-0", 3)) {
            move = us == WHITE ? CASTLE_WK : CASTLE_BK;
            p += 3;
        } else if (std::strchr("KQRBN", *p)) {
            PieceType type = *p == 'K'   ? KING
                             : *p == 'Q' ? QUEEN
                             : *p == 'R' ? ROOK
                             : *p == 'B' ? BISHOP
                                         : KNIGHT;
            ++p;
            if (*p == 'x') ++p;
            Bitboard restrict = ~Bitboard(0);
            if (isRankDigit(*p)) restrict = RANK_MASK[*p++ - '1'];
            Square to;
            if (isFileLetter(p[0]) && isRankDigit(p[1]) && (isFileLetter(p[2]) || p[2] == 'x')) {
                // Long form: from-square, optional capture mark, to-square, taken as written.
                Square from = textToSquare(p[0], p[1]);
                p += 2;
                if (*p == 'x') ++p;
                if (!isFileLetter(p[0]) || !isRankDigit(p[1])) return -1;
                move = makeMove(from, textToSquare(p[0], p[1]));
                p += 2;
                out[count++] = move;
                continue;
            } else if (isFileLetter(p[0]) && isRankDigit(p[1])) {
                to = textToSquare(p[0], p[1]);
                p += 2;
            } else if (isFileLetter(p[0]) && (isFileLetter(p[1]) || p[1] == 'x')) {
                restrict &= FILE_MASK['h' - p[0]];
                p += 1;
                if (*p == 'x') ++p;
                if (!isFileLetter(p[0]) || !isRankDigit(p[1])) return -1;
                to = textToSquare(p[0], p[1]);
                p += 2;
            } else {
                return -1;
            }
            Bitboard candidates = reachingPieces(pos, type, to) &restrict;
            Square chosen = NO_SQUARE;
            for (Bitboard b = candidates; b;) {
                Square from = popLowest(b);
                if (!exposesKing(pos, from, to)) chosen = from; // the highest square wins
            }
            if (chosen == NO_SQUARE) return -1; // no piece can make it: report the line
            move = makeMove(chosen, to);
        } else {
            // Pawn move.
            Square from, to;
            int f = us == WHITE ? 8 : -8;
            if (p[1] == 'x') {
                if (!isFileLetter(p[2]) || !isRankDigit(p[3])) return -1;
                to = textToSquare(p[2], p[3]);
                Bitboard pawns =
                    pos.pieces[us][PAWN] & FILE_MASK['h' - p[0]] & PawnAttacksOf(~us, SquareBit[to]);
                if (!pawns) return -1;
                from = lowestSquare(pawns);
                p += 4;
            } else {
                if (!isRankDigit(p[1])) return -1;
                to = textToSquare(p[0], p[1]);
                int behind = int(to) - f, twoBehind = int(to) - 2 * f;
                auto ownPawn = [&](int sq) {
                    return sq >= 0 && sq < 64 && pos.board[sq] == makeCell(us, PAWN);
                };
                if (ownPawn(behind))
                    from = Square(behind);
                else if (ownPawn(twoBehind))
                    from = Square(twoBehind);
                else
                    return -1;
                p += 2;
            }
            std::uint32_t promotion = 0;
            if (*p == '=') {
                promotion = std::uint32_t(promotionFromLetter(p[1]));
                p += p[1] ? 2 : 1;
            }
            move = makeMove(from, to, promotion);
        }
        out[count++] = move;
    }
}

} // namespace position
