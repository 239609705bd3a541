// The game's pseudo-random sequence: uniform singles in [0, 1), seedable for
// repeatable battles and reseedable from the clock for play.
#pragma once

#include <cstdint>
#include <random>

struct RandomSource {
    std::mt19937 engine;
};

void random_seed(RandomSource& source, std::uint32_t seed);
// Seeds from the high-resolution clock.
void random_seed_from_clock(RandomSource& source);
// The next number r, 0 <= r < 1, with 24 random bits: every value is exact in single.
float random_next(RandomSource& source);
