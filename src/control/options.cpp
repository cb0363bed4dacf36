#include "control/options.h"

#include "base/features.h"

#include "base/text.h"
#include "control/debuglog.h"
#include "control/inifile.h"
#include "search/context.h"
#include "search/strength.h"
#include "search/thread.h"

#include <cinttypes>
#include <cstdio>
#include <string_view>

namespace control {

namespace {

constexpr std::int32_t STRING_MAX = 256;
constexpr const char *ENGINE_ABOUT = "Vorlan 1.8 by the Vorlan developers";

struct OptionDefinition {
    const char *name;
    base::OptionType type;
    base::OptionGroup group;
    std::int64_t defaultValue;
    const char *defaultText;
    std::int64_t min;
    std::int32_t max;
    const char *choices;
};

constexpr OptionDefinition spin(const char *name, base::OptionGroup g, std::int64_t def, std::int64_t min,
                                std::int32_t max) {
    return {name, base::OPT_SPIN, g, def, nullptr, min, max, nullptr};
}
constexpr OptionDefinition check(const char *name, base::OptionGroup g, bool def) {
    return {name, base::OPT_CHECK, g, def ? 1 : 0, nullptr, 0, 0, nullptr};
}
constexpr OptionDefinition text(const char *name, const char *def) {
    return {name, base::OPT_STRING, base::GROUP_UCI, 0, def, 0, STRING_MAX, nullptr};
}
constexpr OptionDefinition combo(const char *name, const char *def, const char *choices) {
    return {name, base::OPT_COMBO, base::GROUP_UCI, 0, def, 0, 0, choices};
}
constexpr OptionDefinition button(const char *name) {
    return {name, base::OPT_BUTTON, base::GROUP_UCI, 0, nullptr, 0, 0, nullptr};
}

constexpr base::OptionGroup UCI = base::GROUP_UCI, PERS = base::GROUP_PERSONALITY,
                            INTERNAL = base::GROUP_INTERNAL;

constexpr OptionDefinition DEFINITIONS[base::OPTION_COUNT] = {
    spin("Hash", UCI, 128, 1, 65536),
    combo("Hashfull", "None", "var None var Main var Pawn var PV"),
    button("Clear Hash"),
    spin("Threads", UCI, 1, 1, search::MAX_THREADS),
    text("NalimovPath", "C:\\EGTB\\"),
    spin("NalimovCache", UCI, 1, 1, 1024),
    text("SyzygyPath", "<empty>"),
    spin("SyzygyProbeDepth", UCI, 1, 1, 100),
    check("Syzygy50MoveRule", UCI, true),
    spin("SyzygyProbeLimit", UCI, 7, 0, 7),
    check("OwnBook", UCI, true),
    check("TournamentBook", UCI, false),
    text("OwnBookPath", "Book.vlb"),
    check("Bookmove Info", UCI, true),
    check("Debug", INTERNAL, false),
    spin("Buffer", UCI, 300, 0, 1000000),
    spin("MultiPV", UCI, 1, 1, 256),
    check("Full PV", UCI, false),
    check("UCI_ShowCurrLine", UCI, false),
    check("UCI_Chess960", UCI, false),
    check("UCI_LimitStrength", UCI, false),
    spin("UCI_Elo", UCI, 1500, search::LIMIT_ELO_MIN, search::LIMIT_ELO_MAX),
    text("UCI_EngineAbout", ENGINE_ABOUT),
    check("Nullmove", UCI, true),
    check("Quick Repetition", UCI, false),
    check("Swindle Mode", UCI, false),
    check("Ponder", UCI, true),
    check("Simple Move", UCI, true),
    check("Process Time", UCI, false),
    check("Nalimov", PERS, true),
    spin("Blindness (Book)", PERS, 0, 0, 100),
    check("UCI_AnalyseMode", PERS, false),
    check("Blocker", PERS, false),
    spin("Aggression", PERS, 100, 0, 500),
    spin("Caution", PERS, 100, 0, 500),
    spin("Activity", PERS, 100, 0, 500),
    spin("Restraint", PERS, 120, 0, 500),
    spin("Passers", PERS, 100, 0, 500),
    spin("Pawn structure", PERS, 100, 0, 500),
    spin("Contempt", PERS, 10, -100, 100),
    spin("Knight", PERS, 325, 0, 600),
    spin("Bishop", PERS, 335, 0, 600),
    spin("Rook", PERS, 500, 0, 1200),
    spin("Queen", PERS, 975, 0, 1800),
    spin("Bishop Pair", PERS, 30, 0, 1800),
    spin("Blur", PERS, 0, 0, 100),
    spin("Blindness (Main line)", PERS, 0, 0, 100),
    spin("Blindness (Candidates)", PERS, 0, 0, 100),
    spin("Blindness (Quiescence)", PERS, 0, 0, 100),
    spin("Time handicap", PERS, 100, 0, 100),
    spin("Bad depth", PERS, 3, 0, 100),
    spin("Max depth", PERS, 100, 0, 100),
    spin("NPS", PERS, 0, 0, 2147483647),
    spin("Blindness 2 (Main line)", PERS, 0, 0, 65535),
    spin("Blindness 2 (Candidates)", PERS, 0, 0, 65535),
    spin("King play", PERS, 0, 0, 100),
    spin("Queen play", PERS, 0, 0, 100),
    spin("Rook play", PERS, 0, 0, 100),
    spin("Bishop play", PERS, 0, 0, 100),
    spin("Knight play", PERS, 0, 0, 100),
    spin("Pawn play", PERS, 0, 0, 100),
    check("xboard_force", INTERNAL, false),
    check("xboard_post", INTERNAL, false),
    combo("Personality", "main", nullptr), // choices come from the personalities directory
    text("Inifilepath", "default.ini"),
};

void onHashfullChanged(int index) {
    const std::string &v = base::Options[index].text;
    int choice = v.find("None") != std::string::npos   ? 0
                 : v.find("Main") != std::string::npos ? 1
                 : v.find("Pawn") != std::string::npos ? 2
                 : v.find("PV") != std::string::npos   ? 3
                                                       : -1;
    if (choice >= 0) base::Options[index].max = choice;
}

// Handlers owned by this subsystem; the others arrive through registerOptionHandler.
base::OptionHandler Handlers[base::OPTION_COUNT] = {};
bool BuiltinsInstalled = false;
// The other subsystems' handlers change what a search reads (tables, piece values, settings):
// while a search runs they wait for its end, so that no search sees a change half-way.
bool WaitsForSearch[base::OPTION_COUNT] = {};
bool Deferred[base::OPTION_COUNT] = {};

void installBuiltins() {
    if (BuiltinsInstalled) return;
    BuiltinsInstalled = true;
    Handlers[base::OPTION_HASHFULL] = onHashfullChanged;
    Handlers[base::OPTION_DEBUG] = [](int) { DebugModeChanged(); };
    Handlers[base::OPTION_PERSONALITY] = onPersonalityChanged;
    Handlers[base::OPTION_INIFILEPATH] = [](int) { loadIniFile(INI_SETTINGS); };
}

// True when the text sets a check option to true (1) or false (0); -1 when it says neither.
int checkWord(std::string_view v) {
    for (const char *w : {"true", "on", "1"})
        if (v.find(w) != std::string_view::npos) return 1;
    for (const char *w : {"false", "off", "0"})
        if (v.find(w) != std::string_view::npos) return 0;
    return -1;
}

void runHandler(int index) {
    if (!base::Options[index].onChange) return;
    if (WaitsForSearch[index] && !search::searchIdle()) {
        Deferred[index] = true;
        return;
    }
    base::Options[index].onChange(index);
}

} // namespace

bool registerOptionHandler(std::string_view name, base::OptionHandler handler) {
    installBuiltins();
    int index = findOption(name);
    if (index < 0) return false;
    Handlers[index] = handler;
    WaitsForSearch[index] = true;
    base::Options[index].onChange = handler;
    return true;
}

void applyDeferredOptions() {
    for (int i = 0; i < base::OPTION_COUNT; ++i)
        if (Deferred[i]) {
            Deferred[i] = false;
            runHandler(i);
        }
}

void buildOptions() {
    installBuiltins();
    buildPersonalityChoices();
    for (int i = 0; i < base::OPTION_COUNT; ++i) {
        const OptionDefinition &d = DEFINITIONS[i];
        base::EngineOption &o = base::Options[i];
        o.name = d.name;
        o.value = 0;
        o.text.clear();
        o.group = d.group;
        o.type = d.type;
        o.defaultValue = d.defaultValue;
        o.defaultText = d.defaultText;
        o.min = d.min;
        o.choices = i == base::OPTION_PERSONALITY ? personalityChoices() : d.choices;
        o.max = d.max;
        o.onChange = Handlers[i];
    }
}

void resetOptionGroup(base::OptionGroup group) {
    for (int i = 0; i < base::OPTION_COUNT; ++i) {
        base::EngineOption &o = base::Options[i];
        if (o.group != group) continue;
        if (o.type == base::OPT_STRING || o.type == base::OPT_COMBO)
            o.text = o.defaultText;
        else if (o.type != base::OPT_BUTTON)
            o.value = o.defaultValue;
        runHandler(i);
    }
}

void printOptions() {
    for (const base::EngineOption &o : base::Options) {
        if (o.group != base::GROUP_UCI) continue;
        switch (o.type) {
        case base::OPT_SPIN:
            std::printf("option name %s type spin default %" PRId64 " min %" PRId64 " max %d\n", o.name,
                        o.defaultValue, o.min, o.max);
            break;
        case base::OPT_CHECK:
            std::printf("option name %s type check default %s\n", o.name, o.defaultValue ? "true" : "false");
            break;
        case base::OPT_STRING:
            std::printf("option name %s type string default %s\n", o.name, o.defaultText);
            break;
        case base::OPT_COMBO:
            std::printf("option name %s type combo default %s %s\n", o.name, o.defaultText, o.choices);
            break;
        case base::OPT_BUTTON: std::printf("option name %s type button\n", o.name); break;
        }
    }
#ifdef VORLAN_FEATURE_SWITCHES
    // Declared so that match runners, which send only declared options, pass it on.
    std::printf("option name Off type string default none\n");
#endif
}

void handleSetOption(std::string_view line) {
#ifdef VORLAN_FEATURE_SWITCHES
    // Measurement builds only: "setoption name Off value nullmove lmr ..." switches features off.
    constexpr std::string_view OFF = "setoption name Off value ";
    if (base::startsWithNoCase(line, OFF)) {
        std::string_view names = line.substr(OFF.size());
        base::FeaturesOff = 0;
        for (std::size_t i = 0; i < std::size(base::FEATURE_NAMES); ++i)
            if (names.find(base::FEATURE_NAMES[i]) != std::string_view::npos) base::FeaturesOff |= 1u << i;
        return;
    }
#endif
    std::string prefix;
    for (int i = 0; i < base::OPTION_COUNT; ++i) {
        const base::EngineOption &o = base::Options[i];
        if (i == base::OPTION_DEBUG)
            prefix = "debug ";
        else {
            prefix = "setoption name ";
            prefix += o.name;
            if (o.type != base::OPT_BUTTON) prefix += " value ";
        }
        if (base::startsWithNoCase(line, prefix)) {
            setOptionValue(i, line.substr(prefix.size()));
            return;
        }
    }
    std::printf("info string ERROR: Unknown Option!\n");
}

void setOptionValue(int index, std::string_view value) {
    base::EngineOption &o = base::Options[index];
    switch (o.type) {
    case base::OPT_SPIN: {
        std::int64_t n = base::leadingInt(value);
        if (n == o.value) return;
        if (n < o.min || n > o.max) {
            std::printf("info string ERROR: Value Out of Bound!\n");
            return;
        }
        o.value = n;
        break;
    }
    case base::OPT_CHECK: {
        int b = checkWord(value);
        if (b < 0) {
            std::printf("info string ERROR: Invalid Value!\n");
            return;
        }
        if (b == o.value) return;
        o.value = b;
        break;
    }
    case base::OPT_STRING:
    case base::OPT_COMBO:
        if (o.text == value) return;
        o.text = value;
        break;
    case base::OPT_BUTTON: break;
    }
    runHandler(index);
}

void storeOptionValue(base::OptionId id, std::int64_t value) { base::Options[id].value = value; }

int findOption(std::string_view name) {
    for (int i = 0; i < base::OPTION_COUNT; ++i)
        if (base::equalsNoCase(name, DEFINITIONS[i].name)) return i;
    return -1;
}

std::int64_t optionInt(std::string_view name) {
    int i = findOption(name);
    return i < 0 ? 0 : base::Options[i].value;
}

bool optionBool(std::string_view name) { return optionInt(name) != 0; }

std::string_view optionText(std::string_view name) {
    int i = findOption(name);
    return i < 0 ? std::string_view() : std::string_view(base::Options[i].text);
}

} // namespace control
