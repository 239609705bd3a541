// The game's pseudo-random sequence: uniform singles in [0, 1). For play it
// is seeded from the clock and reseeded at every level set-up; a repeatable
// battle keeps one seeded sequence, or takes its numbers from a given list.
#pragma once

#include <cstdint>
#include <random>
#include <stdexcept>
#include <vector>

struct RandomSource {
    std::mt19937 engine;
    bool reseeds_from_clock = false;  // play: random_reseed starts anew from the clock
    bool from_list = false;           // the numbers come from `list`, in order
    std::vector<float> list;
    std::size_t served = 0;  // numbers given since the start
};

// Thrown by random_next when a given list of numbers is used up.
struct RandomsRanOut : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// Exit status of a run whose list of random numbers ran out.
constexpr int RANDOMS_RAN_OUT_STATUS = 3;

// For play: seeded from the high-resolution clock, reseeded at every set-up.
RandomSource random_from_clock();
// One repeatable sequence from this seed.
RandomSource random_from_seed(std::uint32_t seed);
// These numbers, each 0 <= r < 1, in order.
RandomSource random_from_list(std::vector<float> numbers);

// The next number r, 0 <= r < 1. A generated one has 24 random bits, so every
// value is exact in single.
float random_next(RandomSource& source);
// Starts the sequence anew from the clock, for play; a repeatable one goes on.
void random_reseed(RandomSource& source);
