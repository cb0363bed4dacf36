#include "booktool/san.h"

#include "position/makemove.h"
#include "position/movegen.h"

#include <cstring>

namespace booktool {

using namespace position;

namespace {

constexpr const char *PIECE_SAN = "KQRBN"; // indexed by PieceType

// What a SAN text asks for; -1 marks a part it leaves open.
struct SanPattern {
    PieceType type = PAWN;
    int fromFile = -1, fromRank = -1; // file as in Square (0 = h-file)
    Square to = NO_SQUARE;
    std::uint32_t promotion = 0;
    Move castle = NO_MOVE;
};

int pieceIndex(char c) {
    const char *p = c ? std::strchr(PIECE_SAN, c) : nullptr;
    return p ? int(p - PIECE_SAN) : -1;
}

bool readPattern(const Position &pos, std::string_view s, SanPattern &out) {
    while (!s.empty() && std::strchr("+#!?", s.back()))
        s.remove_suffix(1);
    if (s == "O-O" || s == "0-0" || s == "O-O-O" || s == "0-0-0") {
        bool white = pos.sideToMove == WHITE;
        out.castle = s.size() == 3 ? (white ? CASTLE_WK : CASTLE_BK) : (white ? CASTLE_WQ : CASTLE_BQ);
        return true;
    }
    if (!s.empty() && pieceIndex(s[0]) >= 0) {
        out.type = PieceType(pieceIndex(s[0]));
        s.remove_prefix(1);
    }
    // Promotion at the end: "=Q", "Q" or "=q".
    if (s.size() >= 2 && out.type == PAWN) {
        char last = s.back();
        int promo = pieceIndex(char(last >= 'a' ? last - 'a' + 'A' : last));
        bool marked = s[s.size() - 2] == '=';
        if (promo > 0 && (marked || isRankDigit(s[s.size() - 2]))) {
            out.promotion = std::uint32_t(promo);
            s.remove_suffix(marked ? 2 : 1);
        }
    }
    if (s.size() < 2 || !isFileLetter(s[s.size() - 2]) || !isRankDigit(s.back())) return false;
    out.to = textToSquare(s[s.size() - 2], s.back());
    s.remove_suffix(2);
    if (!s.empty() && std::strchr("x-:", s.back())) s.remove_suffix(1);
    for (char c : s) {
        if (isFileLetter(c))
            out.fromFile = 'h' - c;
        else if (isRankDigit(c))
            out.fromRank = c - '1';
        else
            return false;
    }
    return true;
}

bool matches(const Position &pos, Move m, const SanPattern &p) {
    if (p.castle != NO_MOVE) return m == p.castle && pos.typeOn(moveFrom(m)) == KING;
    Square from = moveFrom(m);
    return pos.typeOn(from) == p.type && moveTo(m) == p.to && movePromotion(m) == p.promotion &&
           (p.fromFile < 0 || fileOf(from) == p.fromFile) && (p.fromRank < 0 || rankOf(from) == p.fromRank);
}

} // namespace

Move parseSan(Position &pos, std::string_view san, std::string &error) {
    SanPattern pattern;
    if (!readPattern(pos, san, pattern)) {
        error = "unreadable";
        return NO_MOVE;
    }
    MoveEntry list[MAX_MOVES];
    int n = GenerateLegal(pos, list);
    Move found = NO_MOVE;
    int count = 0;
    for (int i = 0; i < n; ++i)
        if (matches(pos, entryMove(list[i]), pattern)) {
            found = entryMove(list[i]);
            ++count;
        }
    if (count == 1) return found;
    error = count ? "ambiguous" : "illegal";
    return NO_MOVE;
}

std::string toSan(Position &pos, Move move) {
    Square from = moveFrom(move), to = moveTo(move);
    PieceType type = pos.typeOn(from);
    std::string s;
    bool capture = !pos.isEmpty(to) || isEnPassant(pos, move);
    if (type == KING && isCastlingValue(move)) {
        s = fileOf(to) == fileOf(SQ_G1) ? "O-O" : "O-O-O";
    } else {
        MoveEntry list[MAX_MOVES];
        int n = GenerateLegal(pos, list);
        if (type != PAWN) {
            s += PIECE_SAN[type];
            bool sameFile = false, sameRank = false, other = false;
            for (int i = 0; i < n; ++i) {
                Move m = entryMove(list[i]);
                if (m == move || moveTo(m) != to || pos.typeOn(moveFrom(m)) != type) continue;
                other = true;
                sameFile |= fileOf(moveFrom(m)) == fileOf(from);
                sameRank |= rankOf(moveFrom(m)) == rankOf(from);
            }
            if (other && (!sameFile || sameRank)) s += fileLetter(from);
            if (other && sameFile) s += rankDigit(from);
        } else if (capture) {
            s += fileLetter(from);
        }
        if (capture) s += 'x';
        s += fileLetter(to);
        s += rankDigit(to);
        if (movePromotion(move) != NO_PROMOTION) {
            s += '=';
            s += PIECE_SAN[movePromotion(move)];
        }
    }
    UndoState undo = saveUndo(pos);
    PieceType captured;
    MakeMove(pos, move, captured);
    if (inCheck(pos)) {
        MoveEntry replies[MAX_MOVES];
        s += GenerateLegal(pos, replies) ? '+' : '#';
    }
    UnmakeMove(pos, move, captured, undo);
    return s;
}

} // namespace booktool
