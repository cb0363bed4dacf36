#include "book/random.h"

namespace book {

namespace {
constexpr std::uint32_t MULTIPLIER = 214013, INCREMENT = 2531011;
std::uint32_t State = 1;
} // namespace

void seedBookRandom(std::uint32_t seed) { State = seed; }

int nextBookRandom() {
    State = State * MULTIPLIER + INCREMENT;
    return int((State >> 16) & 32767);
}

} // namespace book
