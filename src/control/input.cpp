#include "control/input.h"

#include "control/debuglog.h"
#include "control/dispatch.h"
#include "control/options.h"
#include "control/output.h"
#include "control/tablebase_report.h"
#include "platform/platform.h"
#include "search/context.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace control {

namespace {

// Nested ProcessInput calls (a command run from inside a search) each get their own line.
constexpr int LINE_NESTING = 4;

char LineBuffers[LINE_NESTING][PENDING_INPUT_SIZE];
int LineDepth = 0;
// Dropping the rest of a line that did not fit into PendingInput.
bool DiscardingLine = false;
bool InputClosed = false;

bool standardInputWaiting() { return PipeInput ? platform::inputWaiting() : platform::consoleLineWaiting(); }
InputSource Source{platform::readInput, standardInputWaiting};

[[noreturn]] void endProgram() {
    std::fflush(stdout);
    std::exit(0);
}

// Drops the part of an overlong line that arrived in the bytes [start, PendingLength).
void discardFrom(std::size_t start) {
    char *end = static_cast<char *>(std::memchr(PendingInput + start, '\n', PendingLength - start));
    if (!end) {
        PendingLength = start;
        return;
    }
    std::size_t after = std::size_t(end - PendingInput) + 1;
    std::memmove(PendingInput + start, PendingInput + after, PendingLength - after);
    PendingLength -= after - start;
    DiscardingLine = false;
}

// At end of input a last line without a line end still counts; a search that nothing can stop
// any more (infinite or pondering) is ended and reports its move as after "stop".
void noteEndOfInput() {
    InputClosed = true;
    if (PendingLength > 0 && PendingInput[PendingLength - 1] != '\n' && !DiscardingLine)
        PendingInput[PendingLength++] = '\n';
    if (!search::searchIdle() && (search::Shared.limitFlags & search::LIMIT_INFINITE)) search::stopSearch();
}

bool readLine(char *out, std::size_t &length) {
    if (takePendingLine(out, PENDING_INPUT_SIZE, length)) return true;
    if (!InputClosed) {
        if (!InputAvailable()) return false;
        std::size_t start = PendingLength;
        long n = Source.read(PendingInput + start, PENDING_INPUT_SIZE - 1 - start);
        if (n < 0) endProgram();
        if (n == 0) {
            noteEndOfInput();
        } else {
            PendingLength += std::size_t(n);
            if (DiscardingLine) discardFrom(start);
        }
        PendingInput[PendingLength] = '\0';
        if (takePendingLine(out, PENDING_INPUT_SIZE, length)) return true;
        if (PendingLength == PENDING_INPUT_SIZE - 1) { // no line end fits any more: drop the line
            PendingLength = 0;
            PendingInput[0] = '\0';
            DiscardingLine = true;
        }
    }
    // Only the top-level loop ends the program, so a search that runs on still prints its move.
    if (InputClosed && LineDepth == 0) endProgram();
    return false;
}

} // namespace

char PendingInput[PENDING_INPUT_SIZE];
std::size_t PendingLength = 0;
bool PipeInput = true;

void setInputSource(const InputSource &source) { Source = source; }

void resetInput() {
    PendingLength = 0;
    PendingInput[0] = '\0';
    DiscardingLine = false;
    InputClosed = false;
    clearOutputSlots();
    LastFlushTime = 0;
}

void setupConsole() {
    PipeInput = !platform::stdinIsConsole();
    if (PipeInput) {
        // An interface reads our replies through a pipe: nothing may wait in a stream buffer.
        std::setvbuf(stdout, nullptr, _IONBF, 0);
        std::setvbuf(stdin, nullptr, _IONBF, 0);
    } else {
        platform::prepareConsole();
    }
}

bool takePendingLine(char *out, std::size_t capacity, std::size_t &length) {
    const char *end = static_cast<const char *>(std::memchr(PendingInput, '\n', PendingLength));
    if (!end) return false;
    std::size_t lineLength = std::size_t(end - PendingInput);
    length = lineLength < capacity ? lineLength : capacity - 1;
    std::memcpy(out, PendingInput, length);
    if (length > 0 && out[length - 1] == '\r') --length;
    out[length] = '\0';
    std::size_t rest = PendingLength - lineLength - 1;
    std::memmove(PendingInput, end + 1, rest);
    PendingLength = rest;
    PendingInput[PendingLength] = '\0';
    return true;
}

bool InputAvailable() {
    if (search::searchIdle()) return true; // a blocking read is harmless
    return Source.waiting();
}

void ProcessInput() {
    int depth = LineDepth < LINE_NESTING ? LineDepth : LINE_NESTING - 1;
    char *line = LineBuffers[depth];
    std::size_t length = 0;
    if (readLine(line, length)) {
        std::string_view text(line, length);
        debugLine(text);
        ++LineDepth;
        dispatchLine(text);
        --LineDepth;
    }
    printQueuedTablebaseNews();
    if (!search::searchIdle())
        FlushOutput(false);
    else if (LineDepth == 0)
        applyDeferredOptions(); // option changes that arrived during the search that has ended
}

void requeueLine(std::string_view line) {
    search::stopSearch();
    std::size_t head = line.size() + 1;
    if (head > PENDING_INPUT_SIZE - 1) return; // cannot happen for a line that was read
    // Pending text that no longer fits behind the line is lost.
    std::size_t keep =
        PendingLength < PENDING_INPUT_SIZE - 1 - head ? PendingLength : PENDING_INPUT_SIZE - 1 - head;
    std::memmove(PendingInput + head, PendingInput, keep);
    std::memcpy(PendingInput, line.data(), line.size());
    PendingInput[line.size()] = '\n';
    PendingLength = head + keep;
    PendingInput[PendingLength] = '\0';
}

} // namespace control
