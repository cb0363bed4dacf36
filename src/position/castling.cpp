#include "position/castling.h"

#include "position/attacks.h"
#include "position/makemove.h"

#include <cctype>

namespace position {

CastlingLayout Castling;
bool Chess960Mode = false;

namespace {

constexpr std::uint32_t RIGHTS[4] = {CASTLE_K, CASTLE_Q, CASTLE_k, CASTLE_q};
constexpr Square STANDARD_ROOK[4] = {SQ_H1, SQ_A1, SQ_H1 + 56, SQ_A1 + 56};

Colour ownerOf(std::uint32_t rightBit) { return (rightBit & (CASTLE_K | CASTLE_Q)) ? WHITE : BLACK; }

void buildLoss() {
    for (auto &l : Castling.loss)
        l = 0;
    Castling.loss[Castling.king[WHITE]] |= CASTLE_K | CASTLE_Q;
    Castling.loss[Castling.king[BLACK]] |= CASTLE_k | CASTLE_q;
    for (int i = 0; i < 4; ++i)
        Castling.loss[Castling.rook[i]] |= RIGHTS[i];
}

struct StandardAtStart {
    StandardAtStart() { setStandardCastling(); }
} standardAtStart;

} // namespace

int rightIndex(std::uint32_t rightBit) { return rightBit == CASTLE_K ? 0 : rightBit == CASTLE_Q ? 1 : rightBit == CASTLE_k ? 2 : 3; }

void setStandardCastling() {
    Castling.king[WHITE] = SQ_E1;
    Castling.king[BLACK] = SQ_E1 + 56;
    for (int i = 0; i < 4; ++i)
        Castling.rook[i] = STANDARD_ROOK[i];
    Castling.chess960 = false;
    buildLoss();
}

std::uint32_t readChess960Rights(const Position &pos, std::string_view field, bool &corrupt) {
    setStandardCastling();
    std::uint32_t granted = 0;
    for (char c : field) {
        if (c == '-') continue;
        Colour side = std::isupper(static_cast<unsigned char>(c)) ? WHITE : BLACK;
        char lower = char(std::tolower(static_cast<unsigned char>(c)));
        Square base = side == WHITE ? 0 : 56, king = pos.kingSquare[side];
        if (rankOf(king) != rankOf(base) || pos.board[king] != makeCell(side, KING)) {
            corrupt = true;
            continue;
        }
        Square rook = NO_SQUARE;
        bool kingside;
        auto rookOn = [&](Square sq) { return pos.board[sq] == makeCell(side, ROOK); };
        if (lower == 'k' || lower == 'q') {
            kingside = lower == 'k'; // the outermost rook on that side
            if (kingside) {
                for (Square sq = base; sq < king && rook == NO_SQUARE; ++sq)
                    if (rookOn(sq)) rook = sq;
            } else {
                for (Square sq = base + 7; sq > king && rook == NO_SQUARE; --sq)
                    if (rookOn(sq)) rook = sq;
            }
        } else if (lower >= 'a' && lower <= 'h') {
            Square sq = base + Square('h' - lower);
            kingside = sq < king;
            if (sq != king && rookOn(sq)) rook = sq;
        } else {
            corrupt = true;
            continue;
        }
        if (rook == NO_SQUARE) {
            corrupt = true;
            continue;
        }
        std::uint32_t bit = side == WHITE ? (kingside ? CASTLE_K : CASTLE_Q) : (kingside ? CASTLE_k : CASTLE_q);
        granted |= bit;
        Castling.rook[rightIndex(bit)] = rook;
        Castling.king[side] = king;
    }
    // Even the standard start castles the Chess960 way here: e1g1 may be a rook's move then.
    Castling.chess960 = true;
    buildLoss();
    return granted;
}

Square castledKingSquare(std::uint32_t rightBit) {
    Square base = ownerOf(rightBit) == WHITE ? 0 : 56;
    return base + (isKingside(rightBit) ? SQ_G1 : SQ_C1);
}

Square castledRookSquare(std::uint32_t rightBit) {
    Square base = ownerOf(rightBit) == WHITE ? 0 : 56;
    return base + (isKingside(rightBit) ? SQ_F1 : SQ_D1);
}

bool castlingAllowed(const Position &pos, std::uint32_t rightBit) {
    Colour us = ownerOf(rightBit);
    Square king = Castling.king[us], rook = Castling.rook[rightIndex(rightBit)];
    if (!(pos.castling & rightBit) || pos.board[king] != makeCell(us, KING) || pos.board[rook] != makeCell(us, ROOK))
        return false;
    Square kingTo = castledKingSquare(rightBit), rookTo = castledRookSquare(rightBit);
    Bitboard occ = pos.all() & ~SquareBit[king] & ~SquareBit[rook];
    Bitboard kingWay = Between[king][kingTo] | SquareBit[kingTo] | SquareBit[king];
    if ((kingWay | Between[rook][rookTo] | SquareBit[rookTo]) & occ) return false;
    for (Bitboard b = kingWay; b;)
        if (attackersOf(pos, ~us, popLowest(b), occ)) return false;
    return true;
}

Move castlingMove(std::uint32_t rightBit) {
    return Move(makeMove(Castling.king[ownerOf(rightBit)], Castling.rook[rightIndex(rightBit)]) | CASTLE_FLAG);
}

Move namedCastlingMove(const Position &pos, bool kingside) {
    Colour us = Colour(pos.sideToMove);
    std::uint32_t right = us == WHITE ? (kingside ? CASTLE_K : CASTLE_Q) : (kingside ? CASTLE_k : CASTLE_q);
    if (Castling.chess960) return castlingMove(right);
    return us == WHITE ? (kingside ? CASTLE_WK : CASTLE_WQ) : (kingside ? CASTLE_BK : CASTLE_BQ);
}

Move adaptCastlingMove(const Position &pos, Move move) {
    if (move == NO_MOVE || move == NullMove || isFlaggedCastling(move)) return move;
    Colour us = Colour(pos.sideToMove);
    Square from = moveFrom(move), to = moveTo(move);
    if (pos.board[from] != makeCell(us, KING) || pos.board[to] != makeCell(us, ROOK) || from != Castling.king[us])
        return move;
    for (std::uint32_t right : {us == WHITE ? CASTLE_K : CASTLE_k, us == WHITE ? CASTLE_Q : CASTLE_q})
        if (Castling.rook[rightIndex(right)] == to) return namedCastlingMove(pos, isKingside(right));
    return move;
}

std::uint32_t castlingRightOf(Move move) {
    Square king = moveFrom(move), rook = moveTo(move);
    bool white = rankOf(king) == 0;
    bool kingside = rook < king;
    return white ? (kingside ? CASTLE_K : CASTLE_Q) : (kingside ? CASTLE_k : CASTLE_q);
}

} // namespace position
