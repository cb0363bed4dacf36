// Buffered search output. The search writes its information lines into four slots; the command
// loop prints them together, no more often than the "Buffer" option allows. Writers never
// allocate: the slots are fixed arrays, and text that does not fit is dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace control {

inline constexpr std::size_t INFO_TEXT_SIZE = 65536;
inline constexpr std::size_t LINE_TEXT_SIZE = 4096;

struct OutputSlot {
    char *text;
    std::size_t capacity; // bytes, including room for the terminating NUL
    std::size_t length;
};

// In print order: InfoText (appended to), CurrLineText, CurrMoveText, HashFullText (replaced).
extern OutputSlot InfoText, CurrLineText, CurrMoveText, HashFullText;
extern std::uint64_t LastFlushTime;

void appendInfoText(std::string_view text);
void setCurrLineText(std::string_view text);
void setCurrMoveText(std::string_view text);
void setHashFullText(std::string_view text);
// Drops everything not yet printed (stop commands).
void clearOutputSlots();
bool outputSlotsEmpty();

// Prints the slots when force is set or "Buffer" ms have passed since the last flush; also logs
// the printed lines to debug.txt. Unforced flushes belong to a running search only.
void FlushOutput(bool force);

} // namespace control
