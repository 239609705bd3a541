// Numbers as text and back, for quenmar-sim's files. Where the C++ library
// has floating-point to_chars and from_chars, they are used; elsewhere (the
// browser build's library lacks them) the C library does the same work.
#pragma once

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <type_traits>

// Appends a text that reads back to the same value of its type: the
// shortest, where the C++ library can find it.
template <typename Number>
requires std::is_arithmetic_v<Number>
void append_number(std::string& out, Number value) {
    char text[32];
#if defined(__cpp_lib_to_chars)
    out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
#else
    if constexpr (std::is_floating_point_v<Number>) {
        // Round trips from the fewest digits a value of its type may need, to
        // the most it can: not always the shortest text, but the same value.
        constexpr int fewest = std::is_same_v<Number, float> ? 6 : 15;
        constexpr int most = std::is_same_v<Number, float> ? 9 : 17;
        for (int digits = fewest;; ++digits) {
            std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
            if (digits == most || static_cast<Number>(std::strtod(text, nullptr)) == value) break;
        }
        out += text;
    } else {
        out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
    }
#endif
}

// A whole field read as a single; false if it is not a number, or too large for one.
inline bool parse_single(std::string_view field, float& value) {
#if defined(__cpp_lib_to_chars)
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    return error == std::errc() && end == field.data() + field.size();
#else
    const std::string text(field);
    if (text.empty() || text[0] == '+' || text[0] == ' ' || text.find("0x") != std::string::npos ||
        text.find("0X") != std::string::npos) {
        return false;
    }
    char* end = nullptr;
    const float read = std::strtof(text.c_str(), &end);
    if (end != text.c_str() + text.size()) return false;
    value = read;
    return true;
#endif
}
