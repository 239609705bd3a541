#include "base/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The digits of the shortest decimal that reads back as value, and the
// power of ten of its first digit.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

template <typename Number>
Number read_back(const char* text) {
    if constexpr (std::is_same_v<Number, float>) {
        return std::strtof(text, nullptr);
    } else {
        return std::strtod(text, nullptr);
    }
}

// value > 0 and finite. Rounding to more digits never undoes a round trip,
// so the fewest digits that read back are found by halving.
template <typename Number>
Decimal shortest(Number value) {
    constexpr int MOST_DIGITS = std::is_same_v<Number, float> ? 9 : 17;
    char text[40];
    const auto print = [&](int digits) {
        std::snprintf(text, sizeof text, "%.*e", digits - 1, static_cast<double>(value));
    };
    int low = 1, high = MOST_DIGITS;  // high reads back; low - 1 does not
    while (low < high) {
        const int middle = (low + high) / 2;
        print(middle);
        if (read_back<Number>(text) == value) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    print(high);
    Decimal d;
    const std::string s(text);
    const std::size_t e = s.find('e');
    for (std::size_t i = 0; i < e; ++i) {
        if (s[i] != '.') d.digits += s[i];
    }
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    d.exponent = std::atoi(s.c_str() + e + 1);
    return d;
}

std::string scientific(const Decimal& d) {
    std::string out(1, d.digits[0]);
    if (d.digits.size() > 1) out += "." + d.digits.substr(1);
    out += d.exponent < 0 ? "e-" : "e+";
    const std::string power = std::to_string(std::abs(d.exponent));
    if (power.size() < 2) out += '0';
    return out + power;
}

// A whole number is written with all its digits, exactly, as to_chars does.
std::string fixed(const Decimal& d, double value) {
    const auto n = static_cast<int>(d.digits.size());
    if (d.exponent < 0) {
        return "0." + std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + d.digits;
    }
    if (n <= d.exponent + 1) {
        char whole[400];
        std::snprintf(whole, sizeof whole, "%.0f", value);
        return whole;
    }
    const auto point = static_cast<std::size_t>(d.exponent + 1);
    return d.digits.substr(0, point) + "." + d.digits.substr(point);
}

template <typename Number>
void append_real(std::string& out, Number value) {
    if (std::signbit(value)) out += '-';
    const Number size = std::fabs(value);
    if (std::isnan(value)) {
        out += "nan";
    } else if (std::isinf(value)) {
        out += "inf";
    } else if (size == 0) {
        out += '0';
    } else {
        const Decimal d = shortest(size);
        const std::string f = fixed(d, static_cast<double>(size)), e = scientific(d);
        out += f.size() <= e.size() ? f : e;
    }
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Only the plain decimal form: no spaces, '+', hexadecimal, inf or nan.
bool plain_decimal(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && s[i] == '-') ++i;
    const std::size_t first = i;
    while (i < s.size() && is_digit(s[i]))
        ++i;
    bool any = i > first;
    if (i < s.size() && s[i] == '.') {
        const std::size_t fraction = ++i;
        while (i < s.size() && is_digit(s[i]))
            ++i;
        any = any || i > fraction;
    }
    if (!any) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
        const std::size_t power = i;
        while (i < s.size() && is_digit(s[i]))
            ++i;
        if (i == power) return false;
    }
    return i == s.size();
}

template <typename Number>
bool parse_real(std::string_view field, Number& value) {
    constexpr std::size_t LONGEST = 400;
    if (field.size() > LONGEST || !plain_decimal(field)) return false;
    const std::string text(field);
    const Number read = read_back<Number>(text.c_str());
    if (std::isinf(read)) return false;
    value = read;
    return true;
}

}  // namespace

void append_number(std::string& out, double value) {
    append_real(out, value);
}

void append_number(std::string& out, float value) {
    append_real(out, value);
}

void append_number(std::string& out, long long value) {
    out += std::to_string(value);
}

bool parse_number(std::string_view field, float& value) {
    return parse_real(field, value);
}

bool parse_number(std::string_view field, double& value) {
    return parse_real(field, value);
}
