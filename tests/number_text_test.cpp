// Numbers as text: every single and double the game writes reads back to
// itself, in the fewest digits, laid out as C++'s to_chars lays it out.
#include "base/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>

namespace {

template <typename Number>
void expect_round_trip(Number value) {
    if (!std::isfinite(value)) return;
    std::string text;
    append_number(text, value);
    char shortest[64];
    EXPECT_EQ(text, std::string(shortest,
                                std::to_chars(shortest, shortest + sizeof shortest, value).ptr));
    const auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };  // widened exactly
    Number back = 0;
    EXPECT_TRUE(parse_number(text, back) && bits(back) == bits(value))
        << text << " reads back otherwise";
}

TEST(NumberText, every_single_and_double_reads_back_to_itself_in_the_fewest_digits) {
    std::mt19937_64 engine(2026);
    for (int i = 0; i < 300'000; ++i) {
        expect_round_trip(std::bit_cast<float>(static_cast<std::uint32_t>(engine())));
        expect_round_trip(std::bit_cast<double>(engine()));
    }
    for (const float v :
         {0.0f, -0.0f, 0.1f, 2.9599996f, 1e7f, 1e16f, 123456792.0f,
          std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::max()})
        expect_round_trip(v);
    for (const double v : {0.0, 5e-324, 0.1, 72.30000107735395, 1e21, 1e22, 9007199254740993.0,
                           std::numeric_limits<double>::max()})
        expect_round_trip(v);
}

}  // namespace
