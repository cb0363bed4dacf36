// INI files: the settings file named by "Inifilepath" and the personality files.
#pragma once

namespace control {

enum IniKind : int { INI_SETTINGS = 1, INI_PERSONALITY = 2 };

// Applies the option lines of an INI file; messages go to standard output.
void loadIniFile(IniKind kind);

// Scans the personalities directory once and builds the "Personality" choice text.
void buildPersonalityChoices();
const char *personalityChoices();
// "Personality" handler: "main" restores the personality group, any other name loads its file.
void onPersonalityChanged(int index);

} // namespace control
