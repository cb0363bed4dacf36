// The engine's name, version and author credit, shared by the banner, the handshakes and the
// debug log.
#pragma once

namespace base {

inline constexpr const char *ENGINE_NAME = "Vorlan";
inline constexpr const char *ENGINE_VERSION = "1.8";
inline constexpr const char *ENGINE_AUTHORS = "the Vorlan developers";

// Compiler date and time of the build, in one place so every output agrees.
const char *buildDate();
const char *buildTime();

} // namespace base
