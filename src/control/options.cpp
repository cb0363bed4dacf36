#include "control/options.h"

#include "control/debuglog.h"
#include "control/inifile.h"
#include "control/text.h"

#include <cinttypes>
#include <cstdio>
#include <string_view>

namespace control {

namespace {

constexpr std::int32_t STRING_MAX = 256;
constexpr const char *ENGINE_ABOUT = "Vorlan 1.8 by the Vorlan developers";

struct OptionDefinition {
    const char *name;
    OptionType type;
    OptionGroup group;
    std::int64_t defaultValue;
    const char *defaultText;
    std::int64_t min;
    std::int32_t max;
    const char *choices;
};

constexpr OptionDefinition spin(const char *name, OptionGroup g, std::int64_t def, std::int64_t min, std::int32_t max) {
    return {name, OPT_SPIN, g, def, nullptr, min, max, nullptr};
}
constexpr OptionDefinition check(const char *name, OptionGroup g, bool def) {
    return {name, OPT_CHECK, g, def ? 1 : 0, nullptr, 0, 0, nullptr};
}
constexpr OptionDefinition text(const char *name, const char *def) {
    return {name, OPT_STRING, GROUP_UCI, 0, def, 0, STRING_MAX, nullptr};
}
constexpr OptionDefinition combo(const char *name, const char *def, const char *choices) {
    return {name, OPT_COMBO, GROUP_UCI, 0, def, 0, 0, choices};
}
constexpr OptionDefinition button(const char *name) { return {name, OPT_BUTTON, GROUP_UCI, 0, nullptr, 0, 0, nullptr}; }

constexpr OptionGroup UCI = GROUP_UCI, PERS = GROUP_PERSONALITY, INTERNAL = GROUP_INTERNAL;

constexpr OptionDefinition DEFINITIONS[OPTION_COUNT] = {
    spin("Hash", UCI, 128, 1, 2048),
    combo("Hashfull", "None", "var None var Main var Pawn var PV"),
    button("Clear Hash"),
    spin("Threads", UCI, 1, 1, 1),
    text("NalimovPath", "C:\\EGTB\\"),
    spin("NalimovCache", UCI, 1, 1, 1024),
    check("OwnBook", UCI, true),
    check("TournamentBook", UCI, false),
    text("OwnBookPath", "Book.vlb"),
    check("Bookmove Info", UCI, true),
    check("Debug", INTERNAL, false),
    spin("Buffer", UCI, 300, 0, 1000000),
    spin("MultiPV", UCI, 1, 1, 256),
    check("Full PV", UCI, false),
    check("UCI_ShowCurrLine", UCI, false),
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
    const std::string &v = Options[index].text;
    int choice = v.find("None") != std::string::npos   ? 0
                 : v.find("Main") != std::string::npos ? 1
                 : v.find("Pawn") != std::string::npos ? 2
                 : v.find("PV") != std::string::npos   ? 3
                                                       : -1;
    if (choice >= 0) Options[index].max = choice;
}

// Handlers owned by this subsystem; the others arrive through registerOptionHandler.
OptionHandler Handlers[OPTION_COUNT] = {};
bool BuiltinsInstalled = false;

void installBuiltins() {
    if (BuiltinsInstalled) return;
    BuiltinsInstalled = true;
    Handlers[OPTION_HASHFULL] = onHashfullChanged;
    Handlers[OPTION_DEBUG] = [](int) { DebugModeChanged(); };
    Handlers[OPTION_PERSONALITY] = onPersonalityChanged;
    Handlers[OPTION_INIFILEPATH] = [](int) { loadIniFile(INI_SETTINGS); };
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
    if (Options[index].onChange) Options[index].onChange(index);
}

} // namespace

EngineOption Options[OPTION_COUNT];

bool registerOptionHandler(std::string_view name, OptionHandler handler) {
    installBuiltins();
    int index = findOption(name);
    if (index < 0) return false;
    Handlers[index] = handler;
    Options[index].onChange = handler;
    return true;
}

void buildOptions() {
    installBuiltins();
    buildPersonalityChoices();
    for (int i = 0; i < OPTION_COUNT; ++i) {
        const OptionDefinition &d = DEFINITIONS[i];
        EngineOption &o = Options[i];
        o.name = d.name;
        o.value = 0;
        o.text.clear();
        o.group = d.group;
        o.type = d.type;
        o.defaultValue = d.defaultValue;
        o.defaultText = d.defaultText;
        o.min = d.min;
        o.choices = i == OPTION_PERSONALITY ? personalityChoices() : d.choices;
        o.max = d.max;
        o.onChange = Handlers[i];
    }
}

void resetOptionGroup(OptionGroup group) {
    for (int i = 0; i < OPTION_COUNT; ++i) {
        EngineOption &o = Options[i];
        if (o.group != group) continue;
        if (o.type == OPT_STRING || o.type == OPT_COMBO)
            o.text = o.defaultText;
        else if (o.type != OPT_BUTTON)
            o.value = o.defaultValue;
        runHandler(i);
    }
}

void printOptions() {
    for (const EngineOption &o : Options) {
        if (o.group != GROUP_UCI) continue;
        switch (o.type) {
        case OPT_SPIN:
            std::printf("option name %s type spin default %" PRId64 " min %" PRId64 " max %d\n", o.name,
                        o.defaultValue, o.min, o.max);
            break;
        case OPT_CHECK:
            std::printf("option name %s type check default %s\n", o.name, o.defaultValue ? "true" : "false");
            break;
        case OPT_STRING:
            std::printf("option name %s type string default %s\n", o.name, o.defaultText);
            break;
        case OPT_COMBO:
            std::printf("option name %s type combo default %s %s\n", o.name, o.defaultText, o.choices);
            break;
        case OPT_BUTTON:
            std::printf("option name %s type button\n", o.name);
            break;
        }
    }
}

void handleSetOption(std::string_view line) {
    std::string prefix;
    for (int i = 0; i < OPTION_COUNT; ++i) {
        const EngineOption &o = Options[i];
        if (i == OPTION_DEBUG)
            prefix = "debug ";
        else {
            prefix = "setoption name ";
            prefix += o.name;
            if (o.type != OPT_BUTTON) prefix += " value ";
        }
        if (startsWithNoCase(line, prefix)) {
            setOptionValue(i, line.substr(prefix.size()));
            return;
        }
    }
    std::printf("info string ERROR: Unknown Option!\n");
}

void setOptionValue(int index, std::string_view value) {
    EngineOption &o = Options[index];
    switch (o.type) {
    case OPT_SPIN: {
        std::int64_t n = leadingInt(value);
        if (n == o.value) return;
        if (n < o.min || n > o.max) {
            std::printf("info string ERROR: Value Out of Bound!\n");
            return;
        }
        o.value = n;
        break;
    }
    case OPT_CHECK: {
        int b = checkWord(value);
        if (b < 0) {
            std::printf("info string ERROR: Invalid Value!\n");
            return;
        }
        if (b == o.value) return;
        o.value = b;
        break;
    }
    case OPT_STRING:
    case OPT_COMBO:
        if (o.text == value) return;
        o.text = value;
        break;
    case OPT_BUTTON:
        break;
    }
    runHandler(index);
}

void storeOptionValue(OptionId id, std::int64_t value) { Options[id].value = value; }

int findOption(std::string_view name) {
    for (int i = 0; i < OPTION_COUNT; ++i)
        if (equalsNoCase(name, DEFINITIONS[i].name)) return i;
    return -1;
}

std::int64_t optionInt(std::string_view name) {
    int i = findOption(name);
    return i < 0 ? 0 : Options[i].value;
}

bool optionBool(std::string_view name) { return optionInt(name) != 0; }

std::string_view optionText(std::string_view name) {
    int i = findOption(name);
    return i < 0 ? std::string_view() : std::string_view(Options[i].text);
}

} // namespace control
