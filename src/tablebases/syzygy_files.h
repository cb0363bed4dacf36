// The Syzygy files of the "SyzygyPath" folders, checked before the reading library sees them.
// The library maps each file whole and trusts what it reads, so a truncated, foreign or damaged
// file could make it read past the file's end (a crash) or print into the protocol. Files that
// pass the checks are linked into a private folder, which is what the library is given.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tablebases {

struct SyzygyProblem {
    std::string path;
    std::string reason;
};

struct SyzygyFile {
    std::string name; // "KQvKR.rtbw"
    std::string path; // where it was found
};

struct SyzygyFiles {
    std::string folder;               // the private folder of links; empty when none could be made
    std::vector<SyzygyFile> accepted; // linked into `folder`, fewest pieces first
    std::vector<SyzygyProblem> problems;
};

// Piece counts of a table name such as "KQvKR": [side][kind], kinds K Q R B N P. False for a
// name that is no table of 3 to 7 pieces.
bool parseTableName(std::string_view name, int counts[2][6]);

// Finds the tables of the folders in `paths` (separated as search paths are on this system;
// the first folder that has a file wins), checks each file's header and size, and links the
// sound ones into a new private folder, made even when empty (the previous one, `previous`, is
// removed).
SyzygyFiles collectSyzygyFiles(std::string_view paths, const std::string &previous);

// (Re)initialises the library on one folder. The library cannot be emptied or freed safely: a
// folder without tables is how it forgets them.
void initialiseLibrary(const std::string &folder);

// Tries every accepted table with the library, in a copy of the process: a table whose probes
// crash the copy, make the library complain, or whose two files disagree is dropped (its link
// removed) and listed with the reason. The library must be initialised on `files.folder`; it is
// initialised again after a drop. Returns false when nothing was dropped.
bool dropFailingTables(SyzygyFiles &files);

} // namespace tablebases
