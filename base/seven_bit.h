// Whole numbers seven bits a byte, lowest first, the high bit on in every
// byte but the last: short for the small numbers that counts and gaps mostly
// are. The battle's link form and a replay's kept pictures write them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

constexpr int SEVEN_BIT_LONGEST = 9;  // bytes of the longest number read: 63 bits

// Appends `n` to `out`, a string or a vector of bytes.
template <typename Bytes>
void append_seven_bit(Bytes& out, std::uint64_t n) {
    using Byte = typename Bytes::value_type;
    for (; n >= 0x80; n >>= 7)
        out.push_back(static_cast<Byte>(n | 0x80));
    out.push_back(static_cast<Byte>(n));
}

// The number at bytes[at], moving `at` past it; none if the bytes end inside
// it or it runs longer than SEVEN_BIT_LONGEST bytes.
template <typename Byte>
std::optional<std::uint64_t> read_seven_bit(std::span<const Byte> bytes, std::size_t& at) {
    std::uint64_t n = 0;
    for (int shift = 0; at < bytes.size() && shift < 7 * SEVEN_BIT_LONGEST; shift += 7) {
        const auto b = static_cast<std::uint8_t>(bytes[at++]);
        n |= static_cast<std::uint64_t>(b & 0x7F) << shift;
        if ((b & 0x80) == 0) return n;
    }
    return std::nullopt;
}
