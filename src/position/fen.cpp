#include "position/fen.h"

#include "base/piece_tables.h"
#include "position/attacks.h"
#include "position/castling.h"
#include "position/makemove.h"
#include "position/notation.h"
#include "position/zobrist.h"

#include <cctype>
#include <cstring>
#include <string>

namespace position {

namespace {

// Field lengths beyond which a field counts as corrupt (the size of its buffer less the NUL).
constexpr std::size_t BOARD_FIELD_MAX = 79, CASTLING_FIELD_MAX = 11, EP_FIELD_MAX = 7;
// Game history kept when moves are applied: positions more than 100 reversible plies back
// cannot matter, and the room left over is what the search's own line needs.
constexpr std::uint32_t GAME_HISTORY_KEEP = 101;

void note(FenNotes &notes, const char *text) {
    if (notes.count < MAX_FEN_NOTES) notes.notes[notes.count++] = text;
}

// A position refused: the start position takes its place.
FenNotes &refuse(FenNotes &notes, const char *text) {
    note(notes, text);
    notes.refused = true;
    LoadFen(START_FEN);
    return notes;
}

// The FEN split the way "%s %c %s %s %d %d" reads it: the count of fields read and their text.
struct FenFields {
    int count = 0;
    std::string board, castling, ep;
    char side = 0;
    long half = 0;
};

struct Scanner {
    std::string_view text;
    std::size_t at = 0;
    void skipBlanks() {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
            ++at;
    }
    bool word(std::string &out) {
        skipBlanks();
        std::size_t start = at;
        while (at < text.size() && !std::isspace(static_cast<unsigned char>(text[at])) && text[at] != '\0')
            ++at;
        out.assign(text.substr(start, at - start));
        return at > start;
    }
    bool character(char &out) {
        skipBlanks();
        if (at >= text.size() || text[at] == '\0') return false;
        out = text[at++];
        return true;
    }
    bool number(long &out) {
        skipBlanks();
        std::size_t p = at;
        bool negative = false;
        if (p < text.size() && (text[p] == '-' || text[p] == '+')) negative = text[p++] == '-';
        if (p >= text.size() || !std::isdigit(static_cast<unsigned char>(text[p]))) return false;
        long v = 0;
        while (p < text.size() && std::isdigit(static_cast<unsigned char>(text[p]))) {
            if (v < 100000000) v = v * 10 + (text[p] - '0');
            ++p;
        }
        at = p;
        out = negative ? -v : v;
        return true;
    }
};

FenFields splitFen(std::string_view text) {
    FenFields f;
    Scanner s{text};
    long full;
    if (!s.word(f.board)) return f;
    f.count = 1;
    if (!s.character(f.side)) return f;
    f.count = 2;
    if (!s.word(f.castling)) return f;
    f.count = 3;
    if (!s.word(f.ep)) return f;
    f.count = 4;
    if (!s.number(f.half)) return f;
    f.count = 5;
    if (!s.number(full)) return f;
    f.count = 6;
    return f;
}

int pieceFromLetter(char c, Colour &colour) {
    const char *white = std::strchr("KQRBNP", c);
    const char *black = std::strchr("kqrbnp", c);
    if (c && white) {
        colour = WHITE;
        return int(white - "KQRBNP");
    }
    if (c && black) {
        colour = BLACK;
        return int(black - "kqrbnp");
    }
    return -1;
}

// Places the pieces of the board field; false when the field is corrupt.
bool readBoard(Position &pos, const std::string &field) {
    if (field.size() > BOARD_FIELD_MAX) return false;
    int rankBase = 56, file = 7, slashes = 0, kings[2] = {0, 0};
    for (char c : field) {
        Colour colour;
        int type = pieceFromLetter(c, colour);
        if (type >= 0) {
            if (file < 0) return false;
            PutPiece(pos, colour, PieceType(type), Square(rankBase + file));
            if (type == KING) kings[colour]++;
            file--;
        } else if (c >= '1' && c <= '8') {
            file -= c - '0';
            if (file < -1) return false;
        } else if (c == '/') {
            if (file != -1 || ++slashes > 7) return false;
            rankBase -= 8;
            file = 7;
        } else {
            return false;
        }
    }
    return slashes == 7 && file == -1 && kings[WHITE] == 1 && kings[BLACK] == 1;
}

MoveListResult refuseMove(const char *text) {
    MoveListResult r{false, {}};
    std::strncpy(r.refused, text, sizeof r.refused - 1);
    return r;
}

bool rightFits(const Position &pos, std::uint32_t right) {
    auto has = [&](Colour c, PieceType t, Square sq) { return pos.board[sq] == makeCell(c, t); };
    switch (right) {
    case CASTLE_K: return has(WHITE, KING, SQ_E1) && has(WHITE, ROOK, SQ_H1);
    case CASTLE_Q: return has(WHITE, KING, SQ_E1) && has(WHITE, ROOK, SQ_A1);
    case CASTLE_k: return has(BLACK, KING, SQ_E8) && has(BLACK, ROOK, SQ_H8);
    default: return has(BLACK, KING, SQ_E8) && has(BLACK, ROOK, SQ_A8);
    }
}

} // namespace

void ClearPosition(Position &pos) {
    std::memset(pos.pieces, 0, sizeof pos.pieces);
    std::memset(pos.occupied, 0, sizeof pos.occupied);
    std::memset(pos.pieceCount, 0, sizeof pos.pieceCount);
    std::memset(pos.kingSquare, 0, sizeof pos.kingSquare);
    for (auto &cell : pos.board)
        cell = EMPTY_CELL;
    pos.material[0] = pos.material[1] = 0;
    pos.pstMg[0] = pos.pstMg[1] = 0;
    pos.pstEg[0] = pos.pstEg[1] = 0;
    pos.key = pos.pawnKey = 0;
    pos.sideToMove = WHITE;
    pos.fifty = 0;
    pos.castling = 0;
    pos.historyCount = 0;
    pos.epSquare = NO_SQUARE;
}

void PutPiece(Position &pos, Colour c, PieceType type, Square sq) {
    pos.pstMg[c] += base::PstMid[type][c][sq];
    pos.pstEg[c] += base::PstEnd[type][c][sq];
    pos.pieces[c][type] |= SquareBit[sq];
    pos.occupied[c] |= SquareBit[sq];
    pos.pieceCount[c][type]++;
    if (type != PAWN && type != KING) pos.material[c] += base::PieceValue[type];
    if (type == KING) pos.kingSquare[c] = sq;
    pos.board[sq] = makeCell(c, type);
    if (type == PAWN) pos.pawnKey ^= pawnTerm(c, sq);
    pos.key ^= pieceTerm(c, type, sq, pos.sideToMove);
}

FenNotes LoadFen(std::string_view text) {
    FenNotes notes;
    Position &pos = GamePosition;
    ClearPosition(pos);
    FenFields f = splitFen(text);
    if (f.count < 2) return refuse(notes, "Invalid Fen: To few Elements - Loading Startposition instead ...");
    static const char *const SHORT_NOTES[6] = {
        nullptr,
        nullptr,
        "Invalid Fen: To few Elements - Assume no Castling-Right, no EP-Square and ply = 0",
        "Invalid Fen: To few Elements - Assume no EP-Square and ply = 0",
        "Invalid Fen: To few Elements - Assume ply = 0",
        "Invalid Fen: To few Elements - Ignore last Element"};
    if (f.count < 6) note(notes, SHORT_NOTES[f.count]);

    if (!readBoard(pos, f.board))
        return refuse(notes, "Invalid Fen: Board corrupted - Loading Startposition instead ...");
    char side = char(std::tolower(static_cast<unsigned char>(f.side)));
    if (side != 'w' && side != 'b')
        return refuse(notes, "Invalid Fen: Side To Move corrupted - Loading Startposition instead ...");
    Colour us = side == 'w' ? WHITE : BLACK;

    setStandardCastling();
    if (f.count >= 3 && Chess960Mode) {
        bool corrupt = f.castling.size() > CASTLING_FIELD_MAX;
        pos.castling = corrupt ? 0 : readChess960Rights(pos, f.castling, corrupt);
        if (corrupt) note(notes, "Invalid Fen: Castling Rights corrupted - Ignore Castling Flags");
    } else if (f.count >= 3) {
        std::uint32_t granted = 0;
        bool corrupt = f.castling.size() > CASTLING_FIELD_MAX;
        if (!corrupt)
            for (char c : f.castling) {
                const char *p = std::strchr("KQkq", c);
                if (c && p) granted |= 1u << (p - "KQkq");
            }
        for (std::uint32_t bit = 1; bit <= 8; bit <<= 1)
            if ((granted & bit) && !rightFits(pos, bit)) {
                granted &= ~bit;
                corrupt = true;
            }
        if (corrupt) note(notes, "Invalid Fen: Castling Rights corrupted - Ignore Castling Flags");
        pos.castling = granted;
    }
    for (std::uint32_t bit = 1; bit <= 8; bit <<= 1)
        if (!(pos.castling & bit)) pos.key ^= castleTerm(bit, WHITE);

    if (f.count >= 4 && !f.ep.empty() && f.ep[0] != '-') {
        bool valid =
            f.ep.size() <= EP_FIELD_MAX && f.ep.size() >= 2 && isFileLetter(f.ep[0]) && isRankDigit(f.ep[1]);
        Square sq = valid ? textToSquare(f.ep[0], f.ep[1]) : NO_SQUARE;
        if (valid) {
            valid = us == WHITE ? rankOf(sq) == 5 && pos.board[sq - 8] == makeCell(BLACK, PAWN)
                                : rankOf(sq) == 2 && pos.board[sq + 8] == makeCell(WHITE, PAWN);
        }
        if (!valid) {
            note(notes, "Invalid Fen: En Passant Square corrupted - Ignore EP-Square");
        } else if (PawnAttacksOf(~us, SquareBit[sq]) & pos.pieces[us][PAWN]) {
            pos.epSquare = sq;
            std::uint64_t w = EpWindow(int(sq & 7));
            pos.key ^= us == BLACK ? w : Swap(w);
        }
    }

    if (f.count >= 5) {
        if (f.half > FIFTY_MOVE_PLIES)
            note(notes, "Invalid Fen: 50-move counter corrupted - Assume ply = 0");
        else
            pos.fifty = std::uint32_t(f.half) & 0xFF;
    }

    if (IsSquareAttacked(pos, us, pos.kingSquare[~us]))
        return refuse(notes, "Invalid Fen: Side Not To Move in Check - Loading Startposition instead ...");
    pos.sideToMove = us;
    if (us == BLACK) pos.key = Swap(pos.key);
    pos.historyCount = 1;
    pos.keyHistory[0] = pos.key ^ pos.sideToMove;
    return notes;
}

// Giving the move away is the null move of the search, played on the game position.
void PassMove(Position &pos) { MakeNullMove(pos); }

bool PlayGameMove(Move move) {
    Position &pos = GamePosition;
    move = adaptCastlingMove(pos, move);
    if (!IsMovePseudoLegal(pos, move)) return false;
    UndoState undo = saveUndo(pos);
    std::uint32_t historyCount = pos.historyCount;
    PieceType captured;
    Colour mover = Colour(pos.sideToMove);
    MakeMove(pos, move, captured);
    if (IsSquareAttacked(pos, ~mover, pos.kingSquare[mover])) {
        UnmakeMove(pos, move, captured, undo);
        pos.historyCount = historyCount;
        return false;
    }
    // Positions before a capture or a pawn move can never repeat; older ones than the fifty-move
    // rule allows cannot matter either.
    if (cellIsPawn(pos.board[moveTo(move)]) || captured != NO_PIECE || movePromotion(move) != NO_PROMOTION) {
        pos.historyCount = 0;
        pushKeyHistory(pos);
    } else if (pos.historyCount > GAME_HISTORY_KEEP + 1) {
        std::uint32_t keep = GAME_HISTORY_KEEP + 1;
        std::memmove(pos.keyHistory, pos.keyHistory + (pos.historyCount - keep),
                     keep * sizeof(std::uint64_t));
        pos.historyCount = keep;
    }
    return true;
}

MoveListResult ApplyMoveList(std::string_view text) {
    Position &pos = GamePosition;
    std::size_t at = 0;
    auto named = [&](std::string_view name) { // O or 0
        if (text.size() - at < name.size()) return false;
        for (std::size_t i = 0; i < name.size(); ++i)
            if ((text[at + i] == '0' ? 'O' : text[at + i]) != name[i]) return false;
        return true;
    };
    for (;;) {
        while (at < text.size() && !isFileLetter(char(std::tolower(static_cast<unsigned char>(text[at])))) &&
               !(Chess960Mode && (text[at] == 'O' || text[at] == '0')))
            ++at;
        if (at >= text.size()) return {};
        // Castling by name, as xboard interfaces send it in Chess960.
        if (text[at] == 'O' || text[at] == '0') {
            bool queenside = named("O-O-O");
            if (!queenside && !named("O-O")) {
                ++at;
                continue;
            }
            at += queenside ? 5 : 3;
            if (!PlayGameMove(namedCastlingMove(pos, !queenside))) return refuseMove(queenside ? "O-O-O" : "O-O");
            continue;
        }
        char token[6] = {0, 0, 0, 0, 0, 0};
        for (int i = 0; i < 4 && at + std::size_t(i) < text.size(); ++i)
            token[i] = char(std::tolower(static_cast<unsigned char>(text[at + std::size_t(i)])));
        bool onBoard = isFileLetter(token[0]) && isRankDigit(token[1]) && isFileLetter(token[2]) &&
                       isRankDigit(token[3]);
        if (!onBoard) return refuseMove(token);
        at += 4;
        Square from = textToSquare(token[0], token[1]), to = textToSquare(token[2], token[3]);
        // A side in check cannot pass: the other side could then take its king.
        if (pos.colourOn(from) == int(pos.sideToMove ^ 1) && !inCheck(pos)) PassMove(pos);
        std::uint32_t promotion = 0;
        if (at < text.size()) {
            const char *p = std::strchr("qrbn", std::tolower(static_cast<unsigned char>(text[at])));
            if (text[at] && p) {
                promotion = std::uint32_t(p - "qrbn") + 1;
                ++at;
            }
        }
        if (cellIsPawn(pos.board[from]) && (rankOf(to) == 0 || rankOf(to) == 7) && promotion == 0)
            promotion = QUEEN;
        Move move = makeMove(from, to, promotion);
        if (!PlayGameMove(move)) {
            char moveTextBuffer[8];
            MoveToText(move, moveTextBuffer);
            return refuseMove(moveTextBuffer);
        }
        if (at >= text.size()) return {};
        ++at;
    }
}

} // namespace position
