// A streaming reader of PGN files: tags, the main line's moves as written, and the result.
// Comments, variations, NAGs, move numbers, escape lines, a byte-order mark and CRLF line ends
// are skipped.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace booktool {

struct PgnGame {
    std::size_t number = 0; // 1 for the file's first game
    std::string fen;        // the FEN tag; empty for the standard start
    std::string variant;    // the Variant tag
    std::string result;     // from the Result tag, else the closing token: "1-0", "0-1", "1/2-1/2", "*"
    std::vector<std::string> moves; // the main line up to a null move
};

class PgnReader {
  public:
    explicit PgnReader(std::FILE *file) : file_(file) {}
    // The next game; false at the end of the file.
    bool next(PgnGame &game);

  private:
    int get();
    int peek();
    void skipTo(char end);
    void readTag(PgnGame &game);
    std::string readToken();

    std::FILE *file_;
    std::vector<char> buffer_ = std::vector<char>(1 << 16);
    std::size_t at_ = 0, size_ = 0;
    bool started_ = false, lineStart_ = true;
    std::size_t games_ = 0;
};

} // namespace booktool
