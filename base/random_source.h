// The game's pseudo-random sequence: uniform singles in [0, 1). For play it
// is seeded from the clock and reseeded at every level set-up; a repeatable
// battle keeps one seeded sequence, or takes its numbers from a given list; a
// replayed battle takes its seeds from those a battle file recorded.
#pragma once

#include <cstdint>
#include <random>
#include <stdexcept>
#include <vector>

struct RandomSource {
    std::mt19937 engine;
    std::uint32_t first_seed = 0;     // the seed it started from (none for a list)
    bool reseeds_from_clock = false;  // play: random_reseed starts anew from the clock
    bool reseeds_from_list = false;   // replay: random_reseed takes the next of `later_seeds`
    std::vector<std::uint32_t> later_seeds;
    std::size_t later_seeds_used = 0;
    bool from_list = false;  // the numbers come from `list`, in order
    std::vector<float> list;
    std::size_t served = 0;  // numbers given since the start
    // Every seed taken from the clock or the later seeds, in order, until a
    // battle's recorder or replay takes them away.
    std::vector<std::uint32_t> seeds_taken;
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
// A recorded battle's sequence: seeded with `first`, reseeded with each of
// `later` in turn; once they are used up, a reseed goes on unchanged.
RandomSource random_from_seeds(std::uint32_t first, std::vector<std::uint32_t> later);
// These numbers, each 0 <= r < 1, in order.
RandomSource random_from_list(std::vector<float> numbers);
// A recorded battle's sequence where it stands, `used` of `later` taken: as
// random_from_seeds, whatever it was reseeded from so far.
void random_follow_seeds(RandomSource& source, std::vector<std::uint32_t> later, std::size_t used);
// A recorded battle's sequence taken over by the player where it stands:
// from here reseeded from the clock at each set-up if `reseeds`, else
// going on unchanged.
void random_take_over(RandomSource& source, bool reseeds);

// The next number r, 0 <= r < 1. A generated one has 24 random bits, so every
// value is exact in single.
float random_next(RandomSource& source);
// Starts the sequence anew from the clock, for play, or from the next later
// seed of a replay; a repeatable one goes on.
void random_reseed(RandomSource& source);
