#include "tablebases/tb_support.h"

#include "position/fen.h"
#include "position/position.h"
#include "support/test_support.h"
#include "tablebases/probe.h"
#include "tbgen/store.h"
#include "tbgen/values.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace tbtest {

namespace {

constexpr const char *TEST_TABLES[] = {"kqk", "krk", "kbk", "knk", "kpk", "krkn"};
// Reads the tables the test run made; false when any is missing.
bool readPrepared() {
    std::string error;
    for (const char *name : TEST_TABLES)
        if (!tbgen::loadTable(tablebases::findTable(name), VORLAN_TB_TEST_TABLES, error)) return false;
    return true;
}

Dtm dtmAt(const tablebases::TableSpot &spot) {
    Dtm d;
    const auto &bytes = tbgen::Loaded[spot.id].side[spot.side];
    if (spot.index >= bytes.size() || bytes[spot.index] == tbgen::FILE_BROKEN) return d;
    std::uint8_t v = tbgen::fromFileByte(bytes[spot.index]);
    d.known = true;
    if (tbgen::isWin(v))
        d.plies = 2 * tbgen::movesOf(v) - 1;
    else if (tbgen::isLoss(v))
        d.plies = -2 * tbgen::movesOf(v), d.mated = tbgen::movesOf(v) == 0;
    return d;
}

} // namespace

bool makeTestTables() {
    static int state = 0; // 0 not yet, 1 read, -1 failed
    if (state) return state > 0;
    testsupport::initOnce();
    tablebases::initTableList();
    // The test run makes them before the tests; a test process started by hand makes them the same way.
    std::string make = std::string(VORLAN_TBGEN) + " kqk krk kbk knk kpk krkn --compress --threads 2 -o " +
                       VORLAN_TB_TEST_TABLES + " > /dev/null";
    if (!readPrepared() && std::system(make.c_str()) != 0) ADD_FAILURE() << make;
    state = readPrepared() ? 1 : -1;
    if (state < 0) ADD_FAILURE() << "no test tables in " << VORLAN_TB_TEST_TABLES;
    return state > 0;
}

const std::string &compressedFolder() {
    static const std::string folder = VORLAN_TB_TEST_TABLES;
    return folder;
}

Dtm lookup(const unsigned *white, const unsigned *black, const int *whiteCount, const int *blackCount,
           int sideToMove, unsigned ep) {
    tablebases::TableSpot spot;
    return tablebases::locate(white, black, whiteCount, blackCount, sideToMove, ep, spot) ? dtmAt(spot)
                                                                                          : Dtm{};
}

Dtm lookupFen(const std::string &fen, const std::string &moves) {
    position::LoadFen(fen);
    if (!moves.empty()) position::ApplyMoveList(moves);
    tablebases::TableSpot spot;
    return tablebases::positionSpot(position::GamePosition, spot) ? dtmAt(spot) : Dtm{};
}

std::string oracleFile(const std::string &name) { return std::string(VORLAN_SHARED_DATA) + "/" + name; }

std::vector<std::string> readLines(const std::string &path) {
    std::vector<std::string> lines;
    if (!std::filesystem::exists(path)) return lines;
    bool xz = path.size() > 3 && path.compare(path.size() - 3, 3, ".xz") == 0;
    std::FILE *f =
        xz ? ::popen(("xz -dc '" + path + "' 2>/dev/null").c_str(), "r") : std::fopen(path.c_str(), "r");
    if (!f) return lines;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, f)) {
        std::string line(buffer);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        lines.push_back(std::move(line));
    }
    xz ? ::pclose(f) : std::fclose(f);
    return lines;
}

} // namespace tbtest
