// The battle's own sine, cosine, arctangent and power, each within one unit
// in the last place over a million arguments of the kinds the battle gives,
// measured against the C library's 64-bit-mantissa long double functions.
#include "base/maths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

constexpr int ARGUMENTS = 1'000'000;

// |got - exact| in units of the last place of the exact value, as a double.
double ulps(double got, long double exact) {
    const double rounded = std::fabs(static_cast<double>(exact));
    const double ulp = std::nextafter(rounded, INFINITY) - rounded;
    return static_cast<double>(std::fabs(static_cast<long double>(got) - exact)) / ulp;
}

template <typename Argument, typename Ours, typename Exact>
double worst_error(Argument next_argument, Ours ours, Exact exact) {
    double worst = 0;
    for (int i = 0; i < ARGUMENTS; ++i) {
        const double x = next_argument(i);
        worst = std::max(worst, ulps(ours(x), exact(static_cast<long double>(x))));
    }
    return worst;
}

std::mt19937_64 engine(2026);

// Headings: singles widened, many turns either way; every other one with a
// tank drawing's corner angle added in double; and every third anywhere in
// the range the header promises, |x| < 1.6e6.
double heading(int i) {
    std::uniform_real_distribution<float> turns(-2000, 2000);
    std::uniform_real_distribution<double> anywhere(-1.6e6, 1.6e6);
    if (i % 3 == 2) return anywhere(engine);
    const double h = turns(engine);
    return i % 2 ? h + 0.5235987755982989 : h;
}

TEST(Maths, sine_is_within_one_ulp) {
    EXPECT_LT(worst_error(heading, sine, [](long double x) { return std::sin(x); }), 1);
}

TEST(Maths, cosine_is_within_one_ulp) {
    EXPECT_LT(worst_error(heading, cosine, [](long double x) { return std::cos(x); }), 1);
}

// Ratios dx / dy of whole offsets across the field, and of any size.
TEST(Maths, arctangent_is_within_one_ulp) {
    std::uniform_int_distribution<int> offset(-2000, 2000);
    std::uniform_real_distribution<double> log2_size(-60, 60);
    const auto ratio = [&](int i) {
        if (i % 2) return std::exp2(log2_size(engine)) * (i % 4 == 1 ? 1 : -1);
        const int dy = offset(engine);
        return static_cast<double>(offset(engine)) / (dy == 0 ? 1 : dy);
    };
    EXPECT_LT(worst_error(ratio, arctangent, [](long double x) { return std::atan(x); }), 1);
}

// A shell's range: distance^0.6, from the field's distances to a pointer far off.
TEST(Maths, power_is_within_one_ulp) {
    std::uniform_real_distribution<double> distance(0, 50000);
    const auto d = [&](int) { return distance(engine); };
    const auto ours = [](double x) { return power(x, 0.6); };
    const auto exact = [](long double x) { return std::pow(x, static_cast<long double>(0.6)); };
    EXPECT_LT(worst_error(d, ours, exact), 1);
    EXPECT_EQ(power(0, 0.6), 0);
}

}  // namespace
