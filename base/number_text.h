// Numbers as text and back, the same way in every build: the shortest text
// that reads back to the same value, laid out as C++'s to_chars lays it out
// (fixed or scientific, whichever is shorter), and one strict reader. Both
// rest on the C library's correctly rounded printf and strtod alone, which
// every build has, so the native and the browser build write the same bytes.
#pragma once

#include <concepts>
#include <string>
#include <string_view>

void append_number(std::string& out, double value);
void append_number(std::string& out, float value);
void append_number(std::string& out, long long value);
template <std::integral Whole>
void append_number(std::string& out, Whole value) {
    append_number(out, static_cast<long long>(value));
}
inline void append_number(std::string& out, bool value) = delete;

// A whole field read as a number: an optional '-', digits with an optional
// fraction, and an optional exponent. False for anything else, and for a
// value too large for the type.
bool parse_number(std::string_view field, float& value);
bool parse_number(std::string_view field, double& value);
