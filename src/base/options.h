// The options table's storage: every setting with its type, group, default, bounds and change
// handler. All layers read values through the accessors below (plain array reads by OptionId);
// the command layer owns the definitions and is the only writer.
#pragma once

#include <cstdint>
#include <string>

namespace base {

enum OptionGroup : std::uint32_t { GROUP_UCI = 1, GROUP_PERSONALITY = 2, GROUP_INTERNAL = 3 };
enum OptionType : std::uint32_t {
    OPT_SPIN = 0,
    OPT_CHECK = 1,
    OPT_STRING = 2,
    OPT_COMBO = 3,
    OPT_BUTTON = 4
};

// Table order: the order of listing, of INI matching and of group resets.
enum OptionId : int {
    OPTION_HASH,
    OPTION_HASHFULL,
    OPTION_CLEAR_HASH,
    OPTION_THREADS,
    OPTION_NALIMOV_PATH,
    OPTION_NALIMOV_CACHE,
    OPTION_SYZYGY_PATH,
    OPTION_SYZYGY_PROBE_DEPTH,
    OPTION_SYZYGY_50_MOVE_RULE,
    OPTION_SYZYGY_PROBE_LIMIT,
    OPTION_OWN_BOOK,
    OPTION_TOURNAMENT_BOOK,
    OPTION_OWN_BOOK_PATH,
    OPTION_BOOKMOVE_INFO,
    OPTION_DEBUG,
    OPTION_BUFFER,
    OPTION_MULTIPV,
    OPTION_FULL_PV,
    OPTION_SHOW_CURRLINE,
    OPTION_CHESS960,
    OPTION_LIMIT_STRENGTH,
    OPTION_ELO,
    OPTION_ENGINE_ABOUT,
    OPTION_NULLMOVE,
    OPTION_QUICK_REPETITION,
    OPTION_SWINDLE_MODE,
    OPTION_PONDER,
    OPTION_SIMPLE_MOVE,
    OPTION_PROCESS_TIME,
    OPTION_NALIMOV,
    OPTION_BLINDNESS_BOOK,
    OPTION_ANALYSE_MODE,
    OPTION_BLOCKER,
    OPTION_AGGRESSION,
    OPTION_CAUTION,
    OPTION_ACTIVITY,
    OPTION_RESTRAINT,
    OPTION_PASSERS,
    OPTION_PAWN_STRUCTURE,
    OPTION_CONTEMPT,
    OPTION_KNIGHT,
    OPTION_BISHOP,
    OPTION_ROOK,
    OPTION_QUEEN,
    OPTION_BISHOP_PAIR,
    OPTION_BLUR,
    OPTION_BLINDNESS_MAIN_LINE,
    OPTION_BLINDNESS_CANDIDATES,
    OPTION_BLINDNESS_QUIESCENCE,
    OPTION_TIME_HANDICAP,
    OPTION_BAD_DEPTH,
    OPTION_MAX_DEPTH,
    OPTION_NPS,
    OPTION_BLINDNESS2_MAIN_LINE,
    OPTION_BLINDNESS2_CANDIDATES,
    OPTION_KING_PLAY,
    OPTION_QUEEN_PLAY,
    OPTION_ROOK_PLAY,
    OPTION_BISHOP_PLAY,
    OPTION_KNIGHT_PLAY,
    OPTION_PAWN_PLAY,
    OPTION_XBOARD_FORCE,
    OPTION_XBOARD_POST,
    OPTION_PERSONALITY,
    OPTION_INIFILEPATH,
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

inline std::int64_t optionValue(OptionId id) { return Options[id].value; }
inline int optionInt(OptionId id) { return int(Options[id].value); }
inline bool optionBool(OptionId id) { return Options[id].value != 0; }
inline const std::string &optionText(OptionId id) { return Options[id].text; }
// The table whose fill "info hashfull" reports: 0 none, 1 main, 2 pawn, 3 PV.
inline int hashfullChoice() { return Options[OPTION_HASHFULL].max; }

} // namespace base
