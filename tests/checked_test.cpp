#include "base/checked.h"

#include <gtest/gtest.h>

#include <limits>
#include <new>
#include <stdexcept>

namespace {

TEST(CheckedCounters, add_within_range_stores_the_sum) {
    std::int16_t counter = 32766;
    add_checked(counter, 1, "wins");
    EXPECT_EQ(counter, 32767);
}

TEST(CheckedCounters, overflow_stops_with_the_counters_name_instead_of_wrapping) {
    std::int16_t counter = std::numeric_limits<std::int16_t>::max();
    try {
        add_checked(counter, 1, "losses");
        FAIL() << "no fault";
    } catch (const GameFault& fault) {
        EXPECT_NE(std::string(fault.what()).find("losses"), std::string::npos) << fault.what();
    }
    EXPECT_EQ(counter, 32767);
}

TEST(CheckedCounters, conversion_to_16_bits_refuses_values_outside_and_nan) {
    EXPECT_EQ(to_int16(-32768.0, "v"), -32768);
    EXPECT_THROW(to_int16(32768.0, "v"), GameFault);
    EXPECT_THROW(to_int16(std::numeric_limits<double>::quiet_NaN(), "v"), GameFault);
}

TEST(CheckedCounters, slot_index_must_lie_in_0_to_50) {
    EXPECT_EQ(slot(0), 0u);
    EXPECT_EQ(slot(50), 50u);
    EXPECT_THROW(slot(51), GameFault);
    EXPECT_THROW(slot(-1), GameFault);
}

}  // namespace

namespace {

TEST(Faults, any_exception_from_game_code_becomes_one_line_saying_what_stopped_it) {
    const auto message_of = [](auto thrower) {
        try {
            thrower();
        } catch (...) {
            return fault_message(std::current_exception());
        }
        return std::string("nothing thrown");
    };
    EXPECT_EQ(message_of([] { game_fault("slot index 51 outside 0..50"); }),
              "slot index 51 outside 0..50");
    EXPECT_EQ(message_of([] { throw std::bad_alloc(); }), "out of memory");
    EXPECT_EQ(message_of([] { throw std::length_error("vector too long"); }), "vector too long");
    EXPECT_EQ(message_of([] { throw 42; }), "an unknown error");
}

}  // namespace
