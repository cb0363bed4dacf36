// The protocol the interface chose: the command layer writes every line in its form.
#pragma once

namespace control {

enum : int { MODE_NONE = 0, MODE_XBOARD = 1, MODE_UCI = 2 };
// MODE_NONE (console) until "uci" or "xboard" chooses a protocol; never set back.
inline int ProtocolMode = MODE_NONE;

// Chooses the protocol: the form of every line, and, for UCI, a search that waits for the
// interface to release it before it answers.
void setProtocolMode(int mode);

} // namespace control
