// Chess960: move counts of the published start and middle-game positions, in both FEN forms.
#include "position/castling.h"
#include "position/fen.h"
#include "position/movegen.h"
#include "position/perft.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

using namespace position;

namespace {

struct Record {
    std::string shredder, xfen;
    std::vector<std::uint64_t> counts;
};

// "FEN ;D1 n ;D2 n ... ; xfen FEN"
std::vector<Record> readRecords() {
    std::vector<Record> out;
    std::ifstream in(testsupport::dataPath("perft960.epd"));
    std::string line;
    while (std::getline(in, line)) {
        Record r;
        std::stringstream fields(line);
        std::string field;
        bool first = true;
        while (std::getline(fields, field, ';')) {
            while (!field.empty() && field.front() == ' ')
                field.erase(field.begin());
            while (!field.empty() && field.back() == ' ')
                field.pop_back();
            if (first) {
                r.shredder = field;
                first = false;
            } else if (field.rfind("xfen ", 0) == 0) {
                r.xfen = field.substr(5);
            } else if (field.size() > 3 && field[0] == 'D') {
                r.counts.push_back(std::stoull(field.substr(field.find(' ') + 1)));
            }
        }
        if (!r.counts.empty()) out.push_back(r);
    }
    return out;
}

struct Chess960Rules {
    Chess960Rules() { Chess960Mode = true; }
    ~Chess960Rules() {
        Chess960Mode = false;
        LoadFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    }
};

std::vector<MoveEntry> stack(64 * MAX_MOVES);

std::uint64_t countFrom(const std::string &fen, int depth, bool bulk) {
    LoadFen(fen);
    Position pos = GamePosition;
    return perftCount(pos, depth, stack.data(), bulk);
}

} // namespace

TEST(Perft960, PublishedCountsInBothFenForms) {
    testsupport::initOnce();
    Chess960Rules rules;
    std::vector<Record> records = readRecords();
    ASSERT_EQ(records.size(), 80u);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record &r = records[i];
        int depth = 0;
        while (depth < int(r.counts.size()) && r.counts[std::size_t(depth)] < 300000)
            ++depth;
        for (const std::string &fen : {r.shredder, r.xfen}) {
            // Every seventh position also makes and unmakes every leaf move.
            EXPECT_EQ(countFrom(fen, depth, i % 7 != 0), r.counts[std::size_t(depth - 1)]) << fen << " depth " << depth;
        }
    }
}
