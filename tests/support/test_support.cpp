#include "support/test_support.h"

#include "control/startup.h"
#include "search/hooks.h"
#include "search/search.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace testsupport {

void initOnce() {
    static bool done = false;
    if (!done) {
        control::initEngine();
        // In-process searches must not read the test runner's standard input.
        search::Hooks.readInput = search::readNoInput;
        done = true;
    }
}

std::string dataPath(const std::string &name) { return std::string(VORLAN_TEST_DATA) + "/" + name; }

std::vector<EpdRecord> readPerftFile() {
    std::vector<EpdRecord> records;
    std::ifstream in(dataPath("perft.epd"));
    std::string line;
    while (std::getline(in, line)) {
        auto semi = line.find(';');
        if (semi == std::string::npos) continue;
        EpdRecord r;
        r.fen = line.substr(0, semi);
        while (!r.fen.empty() && r.fen.back() == ' ')
            r.fen.pop_back();
        std::istringstream fields(line.substr(semi));
        std::string field;
        while (std::getline(fields, field, ';')) {
            std::istringstream f(field);
            std::string depth;
            unsigned long long count;
            if (f >> depth >> count && depth.size() >= 2 && depth[0] == 'D') r.counts.push_back(count);
        }
        records.push_back(r);
    }
    return records;
}

std::vector<DataRecord> readDataFile(const std::string &name) {
    std::vector<DataRecord> records;
    std::ifstream in(dataPath(name));
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::size_t semi = line.find(';');
        DataRecord r{line.substr(0, semi), {}};
        std::istringstream fields(line.substr(semi + 1));
        for (std::string f; fields >> f;)
            r.fields.push_back(f);
        records.push_back(r);
    }
    return records;
}

CommandRun runCommand(const std::string &command) {
    CommandRun r{-1, ""};
    std::FILE *p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return r;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;)
        r.output.append(buffer, n);
    int status = pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string mirrorFen(const std::string &fen) {
    std::istringstream in(fen);
    std::string board, side, castling = "-", ep = "-", rest;
    in >> board >> side >> castling >> ep;
    std::getline(in, rest);
    std::vector<std::string> ranks;
    std::stringstream rs(board);
    for (std::string r; std::getline(rs, r, '/');)
        ranks.push_back(r);
    std::string out;
    for (auto it = ranks.rbegin(); it != ranks.rend(); ++it) {
        if (!out.empty()) out += '/';
        for (char ch : *it)
            out += std::isupper(ch) ? char(std::tolower(ch)) : char(std::toupper(ch));
    }
    std::string swappedCastling;
    for (char ch : castling)
        swappedCastling += ch == '-'          ? ch
                           : std::isupper(ch) ? char(std::tolower(ch))
                                              : char(std::toupper(ch));
    if (ep != "-" && ep.size() == 2) ep[1] = char('1' + ('8' - ep[1]));
    return out + (side == "w" ? " b " : " w ") + swappedCastling + " " + ep + rest;
}

} // namespace testsupport
