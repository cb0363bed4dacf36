#include "booktool/pgn.h"

#include <cstring>

namespace booktool {

namespace {

constexpr unsigned char BOM[3] = {0xEF, 0xBB, 0xBF};

bool isSpace(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool endsToken(int c) { return c == EOF || isSpace(c) || std::strchr("{}()[];$", c); }
bool isResult(const std::string &t) { return t == "1-0" || t == "0-1" || t == "1/2-1/2" || t == "*"; }

} // namespace

int PgnReader::peek() {
    if (at_ == size_) {
        size_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
        at_ = 0;
        if (size_ == 0) return EOF;
        if (!started_) {
            started_ = true;
            if (size_ >= 3 && std::memcmp(buffer_.data(), BOM, 3) == 0) at_ = 3;
            if (at_ == size_) return peek();
        }
    }
    return static_cast<unsigned char>(buffer_[at_]);
}

int PgnReader::get() {
    int c = peek();
    if (c != EOF) ++at_;
    lineStart_ = c == '\n';
    return c;
}

void PgnReader::skipTo(char end) {
    for (int c = get(); c != EOF && c != end;)
        c = get();
}

void PgnReader::readTag(PgnGame &game) {
    std::string name, value;
    while (peek() != EOF && isSpace(peek()))
        get();
    while (peek() != EOF && !isSpace(peek()) && peek() != '"' && peek() != ']')
        name += char(get());
    while (peek() != EOF && peek() != '"' && peek() != ']' && peek() != '\n')
        get();
    if (peek() == '"') {
        get();
        for (int c = get(); c != EOF && c != '"'; c = get()) {
            if (c == '\\' && (peek() == '"' || peek() == '\\')) c = get();
            value += char(c);
        }
    }
    while (peek() != EOF && peek() != ']' && peek() != '\n')
        get();
    if (peek() == ']') get();
    if (name == "FEN") game.fen = value;
    if (name == "Variant") game.variant = value;
    if (name == "Result") game.result = value;
}

std::string PgnReader::readToken() {
    std::string token;
    while (!endsToken(peek()))
        token += char(get());
    return token;
}

bool PgnReader::next(PgnGame &game) {
    game = PgnGame{};
    bool any = false, nullMove = false;
    int depth = 0; // inside variations
    for (;;) {
        bool atLineStart = lineStart_;
        int c = peek();
        if (c == EOF) break;
        if (isSpace(c)) {
            get();
        } else if (c == '%' && atLineStart) {
            skipTo('\n');
        } else if (c == '{') {
            skipTo('}');
        } else if (c == ';') {
            skipTo('\n');
        } else if (c == '(') {
            get();
            ++depth;
        } else if (c == ')') {
            get();
            if (depth > 0) --depth;
        } else if (c == '[' && depth == 0) {
            if (!game.moves.empty()) break; // a game without a closing result
            get();
            readTag(game);
            any = true;
        } else if (c == '$' || c == '[' || c == ']') {
            get();
            readToken();
        } else {
            std::string t = readToken();
            if (t.empty()) {
                get();
                continue;
            }
            any = true;
            if (depth > 0) continue;
            if (isResult(t)) {
                if (game.result.empty()) game.result = t;
                break;
            }
            // Move numbers, with the move glued on or not: "12.", "12...", "12.Nf3".
            if (t[0] >= '1' && t[0] <= '9') {
                std::size_t p = t.find_first_not_of("0123456789");
                if (p == std::string::npos) continue;
                if (t[p] == '.') {
                    p = t.find_first_not_of('.', p);
                    t = p == std::string::npos ? std::string() : t.substr(p);
                }
            }
            if (t.size() > 4 && t.compare(t.size() - 4, 4, "e.p.") == 0) t.resize(t.size() - 4);
            if (t.empty() || t == "e.p." || t.find_first_not_of('.') == std::string::npos) continue;
            if (t == "--" || t == "Z0" || t == "0000") nullMove = true;
            if (!nullMove) game.moves.push_back(t);
        }
    }
    if (!any) return false;
    game.number = ++games_;
    return true;
}

} // namespace booktool
