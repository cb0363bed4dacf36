// Handlers of the command words that belong to the command loop itself: protocol choice,
// handshake, stop and quit, the xboard flag words, options and the engine's own console words.
#pragma once

#include <string_view>

namespace control {

void uciCommand(std::string_view line);
void xboardCommand(std::string_view line);
void isreadyCommand(std::string_view line);
void setoptionCommand(std::string_view line);
void progCommand(std::string_view line);
[[noreturn]] void quitCommand(std::string_view line);
// UCI "stop" and xboard "?": the search stops and unprinted information is dropped.
void stopCommand(std::string_view line);
void forceCommand(std::string_view line);
void hardCommand(std::string_view line);
void easyCommand(std::string_view line);
void postCommand(std::string_view line);
void nopostCommand(std::string_view line);
// Words the protocol sends that need no answer.
void ignoreCommand(std::string_view line);

void printBanner();

} // namespace control
