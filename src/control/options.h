// The options table's definitions and its writers: building, group resets, the handshake's
// option lines, "setoption" and lookups by name. Values are stored in base/options.h; nothing
// writes them except setOptionValue and storeOptionValue.
#pragma once

#include "base/options.h"

#include <cstdint>
#include <string_view>

namespace control {

using base::OptionGroup;
using base::OptionHandler;
using base::OptionId;

// Subsystems attach their change handler here, before initEngine() resets the groups (the
// start-up reset then runs it once with the default). Returns false for an unknown name.
// A value set while a search runs is stored at once, but such a handler runs only when the
// search has ended (applyDeferredOptions), once however often the option was set.
bool registerOptionHandler(std::string_view name, base::OptionHandler handler);
// Runs the handlers that waited for the end of a search.
void applyDeferredOptions();

// Fills the table and builds the personality choice list; values stay zero until the resets.
void buildOptions();
void resetOptionGroup(base::OptionGroup group);
// The UCI handshake's option lines (defaults, not current values).
void printOptions();
// The "setoption" command and the UCI "debug" command.
void handleSetOption(std::string_view line);
void setOptionValue(int index, std::string_view text);
// Writes a value without bounds check or handler (the xboard words that set flags).
void storeOptionValue(base::OptionId id, std::int64_t value);

// Case-insensitive lookup by name; -1 when there is no such option.
int findOption(std::string_view name);

// By name, for code outside hot paths: 0, false or "" when the name is unknown.
std::int64_t optionInt(std::string_view name);
bool optionBool(std::string_view name);
std::string_view optionText(std::string_view name);

} // namespace control
