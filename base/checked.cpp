#include "base/checked.h"

#include <cmath>
#include <limits>
#include <new>

#include "base/world.h"

void game_fault(const std::string& message) {
    throw GameFault(message);
}

std::string fault_message(std::exception_ptr fault) {
    try {
        std::rethrow_exception(fault);
    } catch (const std::bad_alloc&) {
        return "out of memory";
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "an unknown error";
    }
}

void add_checked(std::int16_t& counter, int amount, const char* name) {
    const int sum = counter + amount;
    if (sum > std::numeric_limits<std::int16_t>::max() ||
        sum < std::numeric_limits<std::int16_t>::min()) {
        game_fault(std::string("16-bit counter ") + name + " overflowed at " +
                   std::to_string(counter) + " + " + std::to_string(amount));
    }
    counter = static_cast<std::int16_t>(sum);
}

std::int16_t to_int16(double value, const char* name) {
    if (!(value >= std::numeric_limits<std::int16_t>::min() &&
          value <= std::numeric_limits<std::int16_t>::max())) {
        game_fault(std::string("value ") + name + " = " + std::to_string(value) +
                   " does not fit 16 bits");
    }
    return static_cast<std::int16_t>(value);
}

std::size_t slot(int index) {
    if (index < 0 || index > MAX_SLOT) {
        game_fault("slot index " + std::to_string(index) + " outside 0.." +
                   std::to_string(MAX_SLOT));
    }
    return static_cast<std::size_t>(index);
}
