#include "base/random_source.h"

#include <chrono>
#include <string>
#include <utility>

namespace {

constexpr int FLOAT_MANTISSA_BITS = 24;
constexpr float ONE_OVER_2_POW_24 = 1.0 / (1 << FLOAT_MANTISSA_BITS);

void seed(RandomSource& source, std::uint32_t seed) {
    source.engine.seed(seed);
    source.seeds_taken.push_back(seed);
}

// A seed from the clock, all of its bits folded into 32 so that the battle
// file can keep it.
void seed_from_clock(RandomSource& source) {
    const auto ticks = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    seed(source, static_cast<std::uint32_t>(ticks ^ (ticks >> 32)));
}

}  // namespace

RandomSource random_from_clock() {
    RandomSource source;
    seed_from_clock(source);
    source.first_seed = source.seeds_taken.front();
    source.reseeds_from_clock = true;
    return source;
}

RandomSource random_from_seed(std::uint32_t seed) {
    RandomSource source;
    source.engine.seed(seed);
    source.first_seed = seed;
    return source;
}

RandomSource random_from_seeds(std::uint32_t first, std::vector<std::uint32_t> later) {
    RandomSource source = random_from_seed(first);
    source.reseeds_from_list = true;
    source.later_seeds = std::move(later);
    return source;
}

RandomSource random_from_list(std::vector<float> numbers) {
    RandomSource source;
    source.from_list = true;
    source.list = std::move(numbers);
    return source;
}

void random_follow_seeds(RandomSource& source, std::vector<std::uint32_t> later, std::size_t used) {
    source.reseeds_from_clock = false;
    source.reseeds_from_list = true;
    source.later_seeds = std::move(later);
    source.later_seeds_used = used;
    source.seeds_taken.clear();
}

void random_take_over(RandomSource& source, bool reseeds) {
    source.reseeds_from_clock = reseeds;
    source.reseeds_from_list = false;
    source.later_seeds.clear();
    source.later_seeds_used = 0;
    source.seeds_taken.clear();
}

float random_next(RandomSource& source) {
    if (!source.from_list) {
        ++source.served;
        const auto bits = static_cast<std::uint32_t>(source.engine() >> (32 - FLOAT_MANTISSA_BITS));
        return static_cast<float>(bits) * ONE_OVER_2_POW_24;
    }
    if (source.served >= source.list.size()) {
        throw RandomsRanOut("the list of random numbers ran out after " +
                            std::to_string(source.served) + " numbers");
    }
    return source.list[source.served++];
}

void random_reseed(RandomSource& source) {
    if (source.reseeds_from_clock) seed_from_clock(source);
    if (source.reseeds_from_list && source.later_seeds_used < source.later_seeds.size()) {
        seed(source, source.later_seeds[source.later_seeds_used++]);
    }
}
