#include "base/maths.h"

#include <cstdint>
#include <limits>

#include "base/bits.h"

namespace {

// A value carried as the unevaluated sum hi + lo, |lo| at most half an ulp of
// hi: twice a double's precision where one rounding would spoil the last bit.
struct Wide {
    double hi, lo;
};

// a + b exactly, as a rounded sum and its error.
Wide two_sum(double a, double b) {
    const double s = a + b;
    const double b_part = s - a;
    const double a_part = s - b_part;
    return {s, (a - a_part) + (b - b_part)};
}

// A double split into two halves of 26 bits, so that their products are exact.
Wide split(double a) {
    constexpr double SPLITTER = 134217729.0;  // 2^27 + 1
    const double t = SPLITTER * a;
    const double hi = t - (t - a);
    return {hi, a - hi};
}

// a * b exactly, as a rounded product and its error (no fused multiply-add).
Wide two_product(double a, double b) {
    const double p = a * b;
    const Wide x = split(a), y = split(b);
    const double error = ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo;
    return {p, error};
}

// The nearest whole number to x, |x| < 2^51, in the default rounding mode.
double nearest_whole(double x) {
    constexpr double SHIFTER = 6755399441055744.0;  // 1.5 * 2^52
    return (x + SHIFTER) - SHIFTER;
}

// Horner's rule over the coefficients, lowest first.
template <std::size_t N>
double polynomial(double z, const double (&c)[N]) {
    double sum = c[N - 1];
    for (std::size_t k = N - 1; k-- > 0;)
        sum = sum * z + c[k];
    return sum;
}

// Taylor series, the coefficients rounded once from the exact fractions.
// sin a = a + a z S(z), z = a^2
constexpr double SINE_TAIL[] = {-1.0 / 6,
                                1.0 / 120,
                                -1.0 / 5040,
                                1.0 / 362880,
                                -1.0 / 39916800,
                                1.0 / 6227020800,
                                -1.0 / 1307674368000,
                                1.0 / 355687428096000,
                                -1.0 / 121645100408832000.0,
                                1.0 / 51090942171709440000.0};
// cos a = 1 - z/2 + z^2 C(z)
constexpr double COSINE_TAIL[] = {1.0 / 24,
                                  -1.0 / 720,
                                  1.0 / 40320,
                                  -1.0 / 3628800,
                                  1.0 / 479001600,
                                  -1.0 / 87178291200,
                                  1.0 / 20922789888000,
                                  -1.0 / 6402373705728000.0,
                                  1.0 / 2432902008176640000.0,
                                  -1.0 / 1124000727777607680000.0};
// atan t = t + t z A(z), z = t^2
constexpr double ARCTANGENT_TAIL[] = {-1.0 / 3,  1.0 / 5,   -1.0 / 7,  1.0 / 9,   -1.0 / 11,
                                      1.0 / 13,  -1.0 / 15, 1.0 / 17,  -1.0 / 19, 1.0 / 21,
                                      -1.0 / 23, 1.0 / 25,  -1.0 / 27, 1.0 / 29,  -1.0 / 31,
                                      1.0 / 33,  -1.0 / 35, 1.0 / 37,  -1.0 / 39, 1.0 / 41,
                                      -1.0 / 43, 1.0 / 45,  -1.0 / 47, 1.0 / 49,  -1.0 / 51};
// ln m = 2s + 2 s z L(z), s = (m - 1) / (m + 1), z = s^2
constexpr double LOG_TAIL[] = {1.0 / 3,  1.0 / 5,  1.0 / 7,  1.0 / 9,  1.0 / 11, 1.0 / 13, 1.0 / 15,
                               1.0 / 17, 1.0 / 19, 1.0 / 21, 1.0 / 23, 1.0 / 25, 1.0 / 27};
// e^r = 1 + r + r^2 E(r)
constexpr double EXP_TAIL[] = {1.0 / 2,
                               1.0 / 6,
                               1.0 / 24,
                               1.0 / 120,
                               1.0 / 720,
                               1.0 / 5040,
                               1.0 / 40320,
                               1.0 / 362880,
                               1.0 / 3628800,
                               1.0 / 39916800,
                               1.0 / 479001600,
                               1.0 / 6227020800,
                               1.0 / 87178291200,
                               1.0 / 1307674368000,
                               1.0 / 20922789888000};

// The exact pi/2 in three parts: the first two have 33 significant bits, so
// that n times either is exact for n < 2^20.
constexpr double HALF_PI_1 = 0x1.921fb544p+0;
constexpr double HALF_PI_2 = 0x1.0b4611a6p-34;
constexpr double HALF_PI_3 = 0x1.3198a2e037073p-69;
constexpr double TWO_OVER_PI = 0x1.45f306dc9c883p-1;
constexpr Wide EXACT_HALF_PI = {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};

// x - n pi/2 as a wide value, |x| < 2^20 pi/2; n is returned too.
Wide reduce_by_quarter_turns(double x, double& n) {
    n = nearest_whole(x * TWO_OVER_PI);
    const double t = x - n * HALF_PI_1;  // exact: n pi/2 is near x
    const Wide r = two_sum(t, -(n * HALF_PI_2));
    const Wide p = two_product(n, HALF_PI_3);
    const Wide d = two_sum(r.hi, -p.hi);
    return two_sum(d.hi, d.lo + (r.lo - p.lo));
}

// sin(a + b) and cos(a + b) for |a| <= about pi/4, b below a's last bit.
double sine_near_zero(Wide r) {
    const double z = r.hi * r.hi;
    return r.hi + (r.hi * z * polynomial(z, SINE_TAIL) + r.lo * (1 - 0.5 * z));
}

double cosine_near_zero(Wide r) {
    const Wide z = two_product(r.hi, r.hi);
    const double half = 0.5 * z.hi;
    const double w = 1 - half;
    const double lost = (1 - w) - half;  // what rounding w lost, exactly
    return w + (lost + (z.hi * z.hi * polynomial(z.hi, COSINE_TAIL) - 0.5 * z.lo - r.hi * r.lo));
}

bool finite(double x) {
    return x - x == 0;
}

// sin x when cosine is false, else cos x.
double sine_or_cosine(double x, bool cosine) {
    if (!finite(x)) return x - x;
    double n = 0;
    const Wide r = reduce_by_quarter_turns(x, n);
    // The quarter turn n mod 4 picks the function and the sign.
    auto quarter = static_cast<std::int64_t>(n) & 3;
    if (cosine) quarter = (quarter + 1) & 3;
    switch (quarter) {
        case 0:
            return sine_near_zero(r);
        case 1:
            return cosine_near_zero(r);
        case 2:
            return -sine_near_zero(r);
        default:
            return -cosine_near_zero(r);
    }
}

// atan of t = c-relative argument, plus atan c as a wide value.
double arctangent_from(Wide base, double t) {
    const double z = t * t;
    const double tail = t * z * polynomial(z, ARCTANGENT_TAIL);
    return base.hi + (base.lo + (t + tail));
}

// ln 2 in two parts: the first has 42 significant bits, so that k times it is
// exact for |k| < 2^11.
constexpr double LN2_1 = 0x1.62e42fefa38p-1;
constexpr double LN2_2 = 0x1.ef35793c7673p-45;
constexpr double ONE_OVER_LN2 = 0x1.71547652b82fep+0;
constexpr double SQRT2 = 0x1.6a09e667f3bcdp+0;
constexpr int MANTISSA_BITS = 52;
constexpr int EXPONENT_BIAS = 1023;
constexpr std::uint64_t EXPONENT_MASK = 0x7ff;

// ln x as a wide value, x positive and finite.
Wide wide_log(double x) {
    int e = 0;
    if (x < 0x1p-1022) {  // subnormal: scale into the normal range first
        x *= 0x1p54;
        e = -54;
    }
    const auto bits = bits_as<std::uint64_t>(x);
    e += static_cast<int>((bits >> MANTISSA_BITS) & EXPONENT_MASK) - EXPONENT_BIAS;
    const std::uint64_t unit_exponent = static_cast<std::uint64_t>(EXPONENT_BIAS) << MANTISSA_BITS;
    double m = bits_as<double>((bits & ~(EXPONENT_MASK << MANTISSA_BITS)) | unit_exponent);
    if (m > SQRT2) {
        m *= 0.5;
        ++e;
    }
    // s = (m - 1) / (m + 1) to twice a double's precision.
    const double f = m - 1;  // exact
    const Wide den = two_sum(m, 1);
    const double s = f / den.hi;
    const Wide p = two_product(s, den.hi);
    const double s_lo = (((f - p.hi) - p.lo) - s * den.lo) / den.hi;
    const double z = s * s;
    const Wide series = two_sum(2 * s, 2 * s * z * polynomial(z, LOG_TAIL));
    const double k = e;
    const Wide scaled = two_sum(k * LN2_1, series.hi);
    return two_sum(scaled.hi, scaled.lo + (series.lo + 2 * s_lo + k * LN2_2));
}

// e^(hi + lo) for |hi| < 709.
double wide_exp(Wide v) {
    const double k = nearest_whole(v.hi * ONE_OVER_LN2);
    const double r0 = v.hi - k * LN2_1;  // exact: k ln 2 is near v.hi
    const Wide r = two_sum(r0, v.lo - k * LN2_2);
    const Wide one_plus = two_sum(1, r.hi);
    const double tail = r.hi * r.hi * polynomial(r.hi, EXP_TAIL) + r.lo + r.hi * r.lo;
    const double m = one_plus.hi + (one_plus.lo + tail);
    // Times 2^k, in two steps so that a result near the ends of the range stays exact.
    const auto half_k = static_cast<std::int64_t>(k) / 2;
    const auto scale = [](std::int64_t power_of_two) {
        return bits_as<double>(static_cast<std::uint64_t>(power_of_two + EXPONENT_BIAS)
                               << MANTISSA_BITS);
    };
    return m * scale(half_k) * scale(static_cast<std::int64_t>(k) - half_k);
}

constexpr double EXP_LIMIT = 709;  // beyond, e^v leaves the doubles' range

}  // namespace

double sine(double x) {
    return sine_or_cosine(x, false);
}

double cosine(double x) {
    return sine_or_cosine(x, true);
}

double arctangent(double x) {
    if (x != x) return x;
    const double a = x < 0 ? -x : x;
    constexpr Wide ATAN_HALF = {0x1.dac670561bb4fp-2, 0x1.a2b7f222f65e2p-56};
    constexpr Wide ATAN_ONE = {0x1.921fb54442d18p-1, 0x1.1a62633145c07p-55};
    constexpr Wide ATAN_THREE_HALVES = {0x1.f730bd281f69bp-1, 0x1.007887af0cbbdp-56};
    constexpr double HUGE_ARGUMENT = 0x1p66;  // atan is pi/2 to the last bit beyond
    // atan a = atan c + atan((a - c) / (1 + a c)), for the c nearest a.
    double result = 0;
    if (a < 7.0 / 16) {
        result = arctangent_from({0, 0}, a);
    } else if (a < 11.0 / 16) {
        result = arctangent_from(ATAN_HALF, (2 * a - 1) / (2 + a));
    } else if (a < 19.0 / 16) {
        result = arctangent_from(ATAN_ONE, (a - 1) / (a + 1));
    } else if (a < 39.0 / 16) {
        result = arctangent_from(ATAN_THREE_HALVES, (a - 1.5) / (1 + 1.5 * a));
    } else if (a < HUGE_ARGUMENT) {
        result = arctangent_from(EXACT_HALF_PI, -1 / a);
    } else {
        result = EXACT_HALF_PI.hi;
    }
    return x < 0 ? -result : result;
}

double power(double x, double y) {
    if (y == 0 || x == 1) return 1;
    if (x != x || y != y) return x + y;
    constexpr double INFINITE = std::numeric_limits<double>::infinity();
    if (x < 0) return std::numeric_limits<double>::quiet_NaN();  // not a real number
    if (x == 0) return y > 0 ? 0 : INFINITE;
    if (!finite(x)) return y > 0 ? x : 0;
    const Wide l = wide_log(x);
    const Wide p = two_product(y, l.hi);
    const Wide v = two_sum(p.hi, p.lo + y * l.lo);
    if (v.hi > EXP_LIMIT) return INFINITE;
    if (v.hi < -EXP_LIMIT) return 0;
    return wide_exp(v);
}
