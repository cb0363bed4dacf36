// Helpers shared by the test executables.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

// Builds the engine's tables once per test process.
void initOnce();
std::string dataPath(const std::string &name);

struct EpdRecord {
    std::string fen;
    std::vector<unsigned long long> counts; // counts[d - 1] is the perft count at depth d
};
std::vector<EpdRecord> readPerftFile();

// The lines "FEN;field field ..." of a data file; blank lines and lines starting with '#' are
// comments.
struct DataRecord {
    std::string fen;
    std::vector<std::string> fields;
};
std::vector<DataRecord> readDataFile(const std::string &name);

// Runs a shell command; its exit status (-1 when it did not exit) and its output, standard error
// included.
struct CommandRun {
    int status;
    std::string output;
};
CommandRun runCommand(const std::string &command);

// The same position with colours exchanged, the board mirrored and the other side to move.
std::string mirrorFen(const std::string &fen);

} // namespace testsupport
