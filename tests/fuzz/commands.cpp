// The command loop as an interface drives it: the first byte picks console, xboard or UCI mode,
// the rest arrives as standard input in pieces of varying size. Searches stop after a few
// thousand nodes, so later lines arrive while they run. Lines that end the process ("quit",
// "profile") or run for minutes ("bench", "perft", "analyze") are left out.
#include "fuzz_support.h"

#include "base/text.h"
#include "control/input.h"
#include "control/protocol.h"
#include "search/context.h"
#include "search/hooks.h"
#include "search/thread.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint64_t NODE_CAP = 4096; // the search reads its input once, then stops
constexpr std::size_t LONGEST_INPUT = 140000;

struct Feed {
    std::string bytes;
    std::size_t at = 0;
    std::uint32_t chunkSeed = 1;
    bool endSent = false;
} Input;

// Pieces of 1 to 4096 bytes; after the data one line end, as the loop adds one at end of input.
long readFeed(char *buffer, unsigned long size) {
    if (Input.at == Input.bytes.size()) {
        Input.endSent = true;
        buffer[0] = '\n';
        return 1;
    }
    Input.chunkSeed = Input.chunkSeed * 1103515245u + 12345u;
    std::size_t n = std::min<std::size_t>({size, Input.bytes.size() - Input.at, 1 + (Input.chunkSeed >> 20)});
    std::memcpy(buffer, Input.bytes.data() + Input.at, n);
    Input.at += n;
    return long(n);
}

bool feedWaiting() { return !Input.endSent; }

void cappedInput() {
    control::ProcessInput();
    if (search::mainThread().nodeCount >= NODE_CAP) search::stopSearch();
}

bool leftOut(std::string_view line, int mode) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line == "quit") return true;
    if (mode != control::MODE_NONE) return false;
    for (const char *word : {"profile", "bench", "perft", "analyze"})
        if (base::startsWith(line, word)) return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0 || size > LONGEST_INPUT) return 0;
    fuzz::initEngineOnce();
    fuzz::resetEngine();
    control::resetInput();
    control::setInputSource({readFeed, feedWaiting});
    search::Hooks.readInput = cappedInput;
    int mode = data[0] % 3;
    control::setProtocolMode(mode == 0   ? control::MODE_NONE
                             : mode == 1 ? control::MODE_XBOARD
                                         : control::MODE_UCI);
    Input = Feed{};
    Input.chunkSeed = size;
    std::string_view text(reinterpret_cast<const char *>(data + 1), size - 1);
    std::vector<std::string_view> lines = fuzz::splitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (leftOut(lines[i], int(control::ProtocolMode))) continue;
        Input.bytes += lines[i];
        if (i + 1 < lines.size() || text.back() == '\n') Input.bytes += '\n';
    }
    while (!Input.endSent || std::memchr(control::PendingInput, '\n', control::PendingLength))
        control::ProcessInput();
    FUZZ_CHECK(search::searchState() == search::STATE_IDLE);
    fuzz::checkGamePosition();
    return 0;
}
