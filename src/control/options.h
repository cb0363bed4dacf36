// The options table: every setting with its type, group, default, bounds and change handler.
// The rest of the engine reads values through the accessors below (plain array reads when the
// OptionId is used) and never writes them except through setOptionValue or storeOptionValue.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace control {

enum OptionGroup : std::uint32_t { GROUP_UCI = 1, GROUP_PERSONALITY = 2, GROUP_INTERNAL = 3 };
enum OptionType : std::uint32_t { OPT_SPIN = 0, OPT_CHECK = 1, OPT_STRING = 2, OPT_COMBO = 3, OPT_BUTTON = 4 };

// Table order: the order of listing, of INI matching and of group resets.
enum OptionId : int {
    OPTION_HASH, OPTION_HASHFULL, OPTION_CLEAR_HASH, OPTION_THREADS, OPTION_NALIMOV_PATH,
    OPTION_NALIMOV_CACHE, OPTION_OWN_BOOK, OPTION_TOURNAMENT_BOOK, OPTION_OWN_BOOK_PATH,
    OPTION_BOOKMOVE_INFO, OPTION_DEBUG, OPTION_BUFFER, OPTION_MULTIPV, OPTION_FULL_PV,
    OPTION_SHOW_CURRLINE, OPTION_ENGINE_ABOUT, OPTION_NULLMOVE, OPTION_QUICK_REPETITION,
    OPTION_SWINDLE_MODE, OPTION_PONDER, OPTION_SIMPLE_MOVE, OPTION_PROCESS_TIME, OPTION_NALIMOV,
    OPTION_BLINDNESS_BOOK, OPTION_ANALYSE_MODE, OPTION_BLOCKER, OPTION_AGGRESSION, OPTION_CAUTION,
    OPTION_ACTIVITY, OPTION_RESTRAINT, OPTION_PASSERS, OPTION_PAWN_STRUCTURE, OPTION_CONTEMPT,
    OPTION_KNIGHT, OPTION_BISHOP, OPTION_ROOK, OPTION_QUEEN, OPTION_BISHOP_PAIR, OPTION_BLUR,
    OPTION_BLINDNESS_MAIN_LINE, OPTION_BLINDNESS_CANDIDATES, OPTION_BLINDNESS_QUIESCENCE,
    OPTION_TIME_HANDICAP, OPTION_BAD_DEPTH, OPTION_MAX_DEPTH, OPTION_NPS,
    OPTION_BLINDNESS2_MAIN_LINE, OPTION_BLINDNESS2_CANDIDATES, OPTION_KING_PLAY, OPTION_QUEEN_PLAY,
    OPTION_ROOK_PLAY, OPTION_BISHOP_PLAY, OPTION_KNIGHT_PLAY, OPTION_PAWN_PLAY, OPTION_XBOARD_FORCE,
    OPTION_XBOARD_POST, OPTION_PERSONALITY, OPTION_INIFILEPATH,
    OPTION_COUNT
};

// Called with the option's index after its value changed, and on every reset of its group.
using OptionHandler = void (*)(int index);

struct EngineOption {
    const char *name;
    std::int64_t value; // spin and check (0 or 1)
    std::string text;   // string and combo
    OptionGroup group;
    OptionType type;
    std::int64_t defaultValue;
    const char *defaultText;
    std::int64_t min;    // spin
    const char *choices; // combo: "var a var b ..."
    std::int32_t max;    // spin: maximum; string: 256; "Hashfull": the selected table 0..3
    OptionHandler onChange;
};

extern EngineOption Options[OPTION_COUNT];

// Subsystems attach their change handler here, before initEngine() resets the groups (the
// start-up reset then runs it once with the default). Returns false for an unknown name.
bool registerOptionHandler(std::string_view name, OptionHandler handler);

// Fills the table and builds the personality choice list; values stay zero until the resets.
void buildOptions();
void resetOptionGroup(OptionGroup group);
// The UCI handshake's option lines (defaults, not current values).
void printOptions();
// The "setoption" command and the UCI "debug" command.
void handleSetOption(std::string_view line);
void setOptionValue(int index, std::string_view text);
// Writes a value without bounds check or handler (the xboard words that set flags).
void storeOptionValue(OptionId id, std::int64_t value);

// Case-insensitive lookup by name; -1 when there is no such option.
int findOption(std::string_view name);

inline std::int64_t optionValue(OptionId id) { return Options[id].value; }
inline int optionInt(OptionId id) { return int(Options[id].value); }
inline bool optionBool(OptionId id) { return Options[id].value != 0; }
inline const std::string &optionText(OptionId id) { return Options[id].text; }
// By name, for code outside hot paths: 0, false or "" when the name is unknown.
std::int64_t optionInt(std::string_view name);
bool optionBool(std::string_view name);
std::string_view optionText(std::string_view name);

// The table whose fill "info hashfull" reports: 0 none, 1 main, 2 pawn, 3 PV.
inline int hashfullChoice() { return Options[OPTION_HASHFULL].max; }

} // namespace control
