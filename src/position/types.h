// Shared vocabulary: squares, colours, pieces, moves, scores and depths.
#pragma once

#include <bit>
#include <cstdint>

namespace position {

using Bitboard = std::uint64_t;

// Squares run h1 = 0, g1 = 1, ..., a1 = 7, h2 = 8, ..., a8 = 63; 64 means "no square".
// So sq & 7 is the file counted from the h-file and sq >> 3 the rank counted from rank 1.
using Square = std::uint32_t;
constexpr Square NO_SQUARE = 64;

constexpr Square SQ_H1 = 0, SQ_G1 = 1, SQ_F1 = 2, SQ_E1 = 3, SQ_D1 = 4, SQ_C1 = 5, SQ_B1 = 6, SQ_A1 = 7;
constexpr Square SQ_H8 = 56, SQ_G8 = 57, SQ_F8 = 58, SQ_E8 = 59, SQ_D8 = 60, SQ_C8 = 61, SQ_B8 = 62,
                 SQ_A8 = 63;

constexpr int fileOf(Square sq) { return int(sq & 7); }  // 0 = h-file ... 7 = a-file
constexpr int rankOf(Square sq) { return int(sq >> 3); } // 0 = rank 1
constexpr Square makeSquare(int fileIndex, int rank) { return Square(rank * 8 + fileIndex); }
constexpr Square mirrorSquare(Square sq) { return sq ^ 56; }
constexpr char fileLetter(Square sq) { return char('h' - (sq & 7)); }
constexpr char rankDigit(Square sq) { return char('1' + ((sq >> 3) & 7)); }
constexpr bool isFileLetter(char c) { return c >= 'a' && c <= 'h'; }
constexpr bool isRankDigit(char c) { return c >= '1' && c <= '8'; }
// Two characters (file letter, rank digit) to a square; the caller checks the characters.
constexpr Square textToSquare(char file, char rank) { return Square((rank - '1') * 8 + ('h' - file)); }

enum Colour : std::uint32_t { WHITE = 0, BLACK = 1 };
constexpr Colour operator~(Colour c) { return Colour(c ^ 1); }

enum PieceType : std::uint32_t {
    KING = 0,
    QUEEN = 1,
    ROOK = 2,
    BISHOP = 3,
    KNIGHT = 4,
    PAWN = 5,
    NO_PIECE = 6
};

// A cell of the square array: (colour * 8 + type) * 16. Empty cells read 96 (type 6, colour 0).
constexpr std::uint32_t EMPTY_CELL = 0x60;
constexpr std::uint32_t makeCell(Colour c, PieceType t) { return (c * 8 + t) * 16; }
constexpr PieceType cellType(std::uint32_t cell) { return PieceType((cell >> 4) & 7); }
constexpr Colour cellColour(std::uint32_t cell) { return Colour((cell >> 7) & 1); }
constexpr bool cellIsEmpty(std::uint32_t cell) { return (cell & 0x70) == 0x60; }
constexpr bool cellIsPawn(std::uint32_t cell) { return (cell & 0x70) == 0x50; }

constexpr char PIECE_LETTERS[2][7] = {{'K', 'Q', 'R', 'B', 'N', 'P', '.'},
                                      {'k', 'q', 'r', 'b', 'n', 'p', '.'}};

// Move layout (16 bits):
//   bits 0..5   from-square
//   bits 6..11  to-square
//   bits 12..14 promotion piece type (0 none, 1 queen, 2 rook, 3 bishop, 4 knight)
//   bit 15      always 0 in a real move
// 0 is "no move" (killers, hash entries); 0xFFFF is the null move, printed "0000".
// Castling, en passant and double pushes carry no flags: they are recognised from the position.
using Move = std::uint16_t;
constexpr Move NO_MOVE = 0;
constexpr Move NullMove = 0xFFFF;
// The promotion field of a move that promotes nothing (a king is never a promotion piece).
constexpr PieceType NO_PROMOTION = KING;

constexpr Square moveFrom(Move m) { return m & 63; }
constexpr Square moveTo(Move m) { return (m >> 6) & 63; }
constexpr PieceType movePromotion(Move m) { return PieceType((m >> 12) & 7); }
constexpr Move makeMove(Square from, Square to, std::uint32_t promotion = 0) {
    return Move((promotion * 64 + to) * 64 + from);
}

constexpr Move CASTLE_WK = 67;   // e1g1
constexpr Move CASTLE_WQ = 323;  // e1c1
constexpr Move CASTLE_BK = 3707; // e8g8
constexpr Move CASTLE_BQ = 3963; // e8c8
constexpr bool isCastlingValue(Move m) {
    return m == CASTLE_WK || m == CASTLE_WQ || m == CASTLE_BK || m == CASTLE_BQ;
}

// Chess960 castling: the king's square, its own rook's square, and this flag (position/castling.h).
constexpr Move CASTLE_FLAG = 0x8000;
constexpr bool isFlaggedCastling(Move m) { return (m & CASTLE_FLAG) && m != NullMove; }

// Castling rights bits.
constexpr std::uint32_t CASTLE_K = 1, CASTLE_Q = 2, CASTLE_k = 4, CASTLE_q = 8;

// Move-list entries: the move in the low 16 bits, a signed ordering score in the high 16 bits.
using MoveEntry = std::uint32_t;
constexpr Move entryMove(MoveEntry e) { return Move(e & 0xFFFF); }
constexpr int entryScore(MoveEntry e) { return std::int16_t(e >> 16); }
constexpr MoveEntry makeEntry(Move m, int score) { return (std::uint32_t(std::uint16_t(score)) << 16) | m; }

// Scores are centipawns from the side to move's view; depths are in 1/256 ply.
constexpr int MATE = 32000;
constexpr int MATE_BOUND = 30000; // |score| above this is a mate score
constexpr int INFINITE_SCORE = 32767;
constexpr int ONE_PLY = 256;
// The fifty-move rule: a game is drawn after this many half-moves without a capture or pawn move.
constexpr int FIFTY_MOVE_PLIES = 100;
constexpr int MAX_PLY = 100;
// A depth of n whole plies, and the whole plies of a depth (toward zero).
constexpr int plies(int n) { return n * ONE_PLY; }
constexpr int wholePlies(int depth) { return depth / ONE_PLY; }

// Bit helpers.
constexpr Bitboard squareBit(Square sq) { return sq < 64 ? Bitboard(1) << sq : 0; }
// A bit count without the processor's instruction.
constexpr int popCountPortable(Bitboard b) {
    b -= (b >> 1) & 0x5555555555555555ULL;
    b = (b & 0x3333333333333333ULL) + ((b >> 2) & 0x3333333333333333ULL);
    b = (b + (b >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return int((b * 0x0101010101010101ULL) >> 56);
}
#if defined(__x86_64__) && !defined(__POPCNT__) && defined(__GNUC__)
// The portable x86-64 build may not let the compiler use POPCNT, yet nearly every processor has
// it: ask the processor once at start-up and use the instruction where it exists (the test is
// one well-predicted branch). Before the question is answered the flag reads false, which is
// always safe.
inline const bool CpuHasPopcnt = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("popcnt") != 0;
}();
inline int popCount(Bitboard b) {
    if (!CpuHasPopcnt) return popCountPortable(b);
    Bitboard n;
    asm("popcnt %1, %0" : "=r"(n) : "r"(b) : "cc");
    return int(n);
}
#else
inline int popCount(Bitboard b) { return std::popcount(b); }
#endif
inline Square lowestSquare(Bitboard b) { return Square(std::countr_zero(b)); }
inline Square popLowest(Bitboard &b) {
    Square sq = lowestSquare(b);
    b &= b - 1;
    return sq;
}

} // namespace position
