// A number's bits as another type of the same size, and back: for hashing
// and packing numbers, and for taking them apart (the browser build's C++
// library has no std::bit_cast).
#pragma once

#include <cstring>

template <typename To, typename From>
To bits_as(From from) {
    static_assert(sizeof(To) == sizeof(From));
    To to;
    std::memcpy(&to, &from, sizeof to);
    return to;
}
