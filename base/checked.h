// The one checked path for 16-bit counters, conversions to 16 bits and slot
// indexes. A value that would leave its range stops the game with a GameFault
// naming what overflowed, instead of wrapping silently.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>

struct GameFault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Throws a GameFault with the message; every fault of the game goes through here.
[[noreturn]] void game_fault(const std::string& message);

// counter += amount, or a GameFault naming the counter if the sum leaves 16 bits.
void add_checked(std::int16_t& counter, int amount, const char* name);

// A whole-numbered double as a 16-bit value, or a GameFault naming the value.
std::int16_t to_int16(double value, const char* name);

// A slot number as a table index, or a GameFault if it lies outside 0..MAX_SLOT.
std::size_t slot(int index);

// One line saying what stopped the game, for any exception its code threw: a
// GameFault's own message, "out of memory", or the exception's text.
std::string fault_message(std::exception_ptr fault);

// Exit status of a program stopped by a fault.
constexpr int FAULT_EXIT_STATUS = 4;
