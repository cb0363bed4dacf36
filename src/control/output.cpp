#include "control/output.h"

#include "base/clock.h"
#include "base/options.h"
#include "control/debuglog.h"

#include <cstdio>
#include <cstring>

namespace control {

using namespace base;

namespace {

char InfoBuffer[INFO_TEXT_SIZE];
char CurrLineBuffer[LINE_TEXT_SIZE];
char CurrMoveBuffer[LINE_TEXT_SIZE];
char HashFullBuffer[LINE_TEXT_SIZE];
// The printed text: InfoText with the three other slots behind it.
char FlushBuffer[INFO_TEXT_SIZE + 3 * LINE_TEXT_SIZE];

void append(OutputSlot &slot, std::string_view text) {
    if (slot.length + text.size() >= slot.capacity) return;
    std::memcpy(slot.text + slot.length, text.data(), text.size());
    slot.length += text.size();
    slot.text[slot.length] = '\0';
}

void replace(OutputSlot &slot, std::string_view text) {
    slot.length = 0;
    slot.text[0] = '\0';
    append(slot, text);
}

} // namespace

OutputSlot InfoText{InfoBuffer, INFO_TEXT_SIZE, 0};
OutputSlot CurrLineText{CurrLineBuffer, LINE_TEXT_SIZE, 0};
OutputSlot CurrMoveText{CurrMoveBuffer, LINE_TEXT_SIZE, 0};
OutputSlot HashFullText{HashFullBuffer, LINE_TEXT_SIZE, 0};
std::uint64_t LastFlushTime = 0;

void appendInfoText(std::string_view text) { append(InfoText, text); }
void setCurrLineText(std::string_view text) { replace(CurrLineText, text); }
void setCurrMoveText(std::string_view text) { replace(CurrMoveText, text); }
void setHashFullText(std::string_view text) { replace(HashFullText, text); }

void clearOutputSlots() {
    for (OutputSlot *slot : {&InfoText, &CurrLineText, &CurrMoveText, &HashFullText}) {
        slot->length = 0;
        slot->text[0] = '\0';
    }
}

bool outputSlotsEmpty() {
    return InfoText.length + CurrLineText.length + CurrMoveText.length + HashFullText.length == 0;
}

void FlushOutput(bool force) {
    std::uint64_t now = GetTimeMs();
    if (outputSlotsEmpty()) return;
    if (!force && now - LastFlushTime < std::uint64_t(optionValue(OPTION_BUFFER))) return;
    std::size_t length = 0;
    for (const OutputSlot *slot : {&InfoText, &CurrLineText, &CurrMoveText, &HashFullText}) {
        std::memcpy(FlushBuffer + length, slot->text, slot->length);
        length += slot->length;
    }
    std::fwrite(FlushBuffer, 1, length, stdout);
    std::fflush(stdout);
    debugLines(std::string_view(FlushBuffer, length));
    LastFlushTime = now;
    clearOutputSlots();
}

} // namespace control
