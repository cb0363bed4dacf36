#include "control/inifile.h"

#include "base/text.h"
#include "control/options.h"
#include "control/protocol.h"
#include "platform/platform.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

namespace control {

namespace {

constexpr const char *PERSONALITY_DIRECTORY = "personalities";
constexpr const char *INI_SUFFIX = ".ini";
constexpr std::size_t CHOICES_CAPACITY = 2048; // including the terminating NUL
// INI files can name each other through "Inifilepath" and "Personality"; a cycle must end.
constexpr int MAX_INI_NESTING = 8;

std::string PersonalityChoices = "var main";
std::string PersonalityFolder = PERSONALITY_DIRECTORY;
int IniNesting = 0;

std::string iniFileName(IniKind kind) {
    if (kind == INI_SETTINGS) return base::optionText(base::OPTION_INIFILEPATH);
    return PersonalityFolder + platform::pathSeparator() +
           base::optionText(base::OPTION_PERSONALITY) + INI_SUFFIX;
}

void applyOptionLine(const std::string &line) {
    for (int i = 0; i < base::OPTION_COUNT; ++i) {
        std::string_view name = base::Options[i].name;
        if (base::startsWithNoCase(line, name) && line.size() > name.size() && line[name.size()] == '=') {
            setOptionValue(i, std::string_view(line).substr(name.size() + 1));
            return;
        }
    }
    std::printf("info string ERROR: '%s' is an unknown Option!\n", line.c_str());
}

} // namespace

void loadIniFile(IniKind kind) {
    if (IniNesting >= MAX_INI_NESTING) return;
    std::string name = iniFileName(kind);
    std::ifstream in(name, std::ios::binary);
    if (!in) {
        // A UCI interface shows only "info string" lines to the user.
        std::printf("%sCannot open %s\n", ProtocolMode == MODE_UCI ? "info string " : "", name.c_str());
        return;
    }
    std::printf("info string Loading ini file '%s'\n", name.c_str());
    ++IniNesting;
    bool inSection = true; // lines before the first header count as option lines
    std::string line;
    while (std::getline(in, line)) {
        // Text from a NUL on is not part of the line, and a CR before the line end is dropped.
        line.resize(std::min(line.find('\0'), line.size()));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line[0] == '[') {
            inSection = line == "[Engine]";
            continue;
        }
        if (inSection) applyOptionLine(line);
    }
    --IniNesting;
}

namespace {

// The working folder's personalities; without any, those installed beside the program
// (PREFIX/share/vorlan/personalities for PREFIX/bin/vorlan).
std::vector<std::string> findPersonalities() {
    PersonalityFolder = PERSONALITY_DIRECTORY;
    std::vector<std::string> files = platform::listFiles(PersonalityFolder, INI_SUFFIX);
    std::string program = platform::programFolder();
    if (!files.empty() || program.empty()) return files;
    const char sep = platform::pathSeparator();
    std::string installed = program + sep + ".." + sep + "share" + sep + "vorlan" + sep + PERSONALITY_DIRECTORY;
    std::vector<std::string> found = platform::listFiles(installed, INI_SUFFIX);
    if (!found.empty()) PersonalityFolder = installed;
    return found;
}

} // namespace

void buildPersonalityChoices() {
    PersonalityChoices = "var main";
    std::vector<std::string> files = findPersonalities();
    // Directory order differs between systems; sorted names give the same list everywhere.
    std::sort(files.begin(), files.end());
    for (const std::string &file : files) {
        if (file.find("default") != std::string::npos) {
            std::printf("Illegal Personality Name: %s\n", file.c_str());
            continue;
        }
        std::string choice = " var " + file.substr(0, file.size() - 4);
        // Personalities that no longer fit the choice text are not offered.
        if (PersonalityChoices.size() + choice.size() >= CHOICES_CAPACITY) continue;
        PersonalityChoices += choice;
    }
}

const char *personalityChoices() { return PersonalityChoices.c_str(); }

void onPersonalityChanged(int index) {
    if (base::Options[index].text == "main")
        resetOptionGroup(base::GROUP_PERSONALITY);
    else
        loadIniFile(INI_PERSONALITY);
}

} // namespace control
