// Correctly rounded conversion of a scanned decimal number to a double.
//
// The scanner keeps up to 40 significant digits and a decimal exponent; the
// value is digits x 10^exponent, rounded to the nearest double as the C
// library's strtod rounds it (overflow gives infinity, underflow a subnormal
// or zero). Most model values have few digits and a small exponent and take
// the exact path: one multiply or divide of two exactly representable doubles.
#pragma once

#include <cstdint>

namespace slip {

inline constexpr int kMaxSignificantDigits = 40;

// The exact powers of ten of a double.
inline constexpr double kExactPowersOfTen[] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
inline constexpr int kMaxExactPower = 22;
inline constexpr int kMaxExactDigits = 15;  // 10^15 < 2^53: the mantissa is exact

// `digits` holds `count` (1..40) ASCII digits, the first nonzero; `mantissa`
// is their value when count <= 15. Returns the magnitude, never negative.
double decimalMagnitudeSlow(const char* digits, int count, std::int32_t exponent);

inline double decimalMagnitude(const char* digits, int count, std::uint64_t mantissa,
                               std::int32_t exponent) {
  if (count <= kMaxExactDigits && exponent >= -kMaxExactPower && exponent <= kMaxExactPower) {
    double m = static_cast<double>(mantissa);
    return exponent >= 0 ? m * kExactPowersOfTen[exponent] : m / kExactPowersOfTen[-exponent];
  }
  return decimalMagnitudeSlow(digits, count, exponent);
}

}  // namespace slip
