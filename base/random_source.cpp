#include "base/random_source.h"

#include <chrono>

namespace {
constexpr int FLOAT_MANTISSA_BITS = 24;
constexpr float ONE_OVER_2_POW_24 = 1.0 / (1 << FLOAT_MANTISSA_BITS);
}  // namespace

void random_seed(RandomSource& source, std::uint32_t seed) {
    source.engine.seed(seed);
}

void random_seed_from_clock(RandomSource& source) {
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::seed_seq seq{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
    source.engine.seed(seq);
}

float random_next(RandomSource& source) {
    const std::uint32_t bits = source.engine() >> (32 - FLOAT_MANTISSA_BITS);
    return static_cast<float>(bits) * ONE_OVER_2_POW_24;
}
