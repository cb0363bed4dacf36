// The book's pseudo-random numbers: a 32-bit linear congruential generator giving 0..32767.
#pragma once

#include <cstdint>

namespace book {

void seedBookRandom(std::uint32_t seed);
int nextBookRandom();

} // namespace book
