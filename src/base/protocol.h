// The protocol the interface chose. Every layer formats its output lines by it.
#pragma once

namespace base {

enum : int { MODE_NONE = 0, MODE_XBOARD = 1, MODE_UCI = 2 };
// MODE_NONE (console) until "uci" or "xboard" chooses a protocol; never set back.
inline int ProtocolMode = MODE_NONE;

} // namespace base
