// Correctly rounded conversion of a scanned decimal number to a double.
//
// The value is digits x 10^exponent, rounded to the nearest double as the C
// library's strtod rounds it (overflow gives infinity, underflow a subnormal
// or zero). The scanner hands over up to 19 significant digits as one 64-bit
// integer, and keeps the digit text only beyond the 19th (up to 40).
//
// Up to 19 digits: a mantissa below 2^53 with an exponent within +-22 is one
// multiply or divide of two exact doubles; anything else takes the 128-bit
// product with the power of ten (the Eisel-Lemire method, from the fast_float
// headers). That product decides the rounding exactly or says it cannot; the
// rare undecided cases, and numbers of 20 to 40 digits that their first 19
// do not decide, go to the C library with the digits as text.
#pragma once

#include <cstdint>

#include <fast_float/fast_float.h>

namespace slip {

inline constexpr int kMaxSignificantDigits = 40;
inline constexpr int kMaxMantissaDigits = 19;  // 10^19 < 2^64

// The exact powers of ten of a double.
inline constexpr double kExactPowersOfTen[] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
inline constexpr int kMaxExactPower = 22;
inline constexpr std::uint64_t kMaxExactMantissa = std::uint64_t{1} << 53;

// The magnitude of `text` (`count` ASCII digits, 1..40, the first nonzero)
// x 10^exponent, by the C library. Never negative.
double decimalMagnitudeText(const char* text, int count, std::int32_t exponent);

// The magnitude of mantissa x 10^exponent for a mantissa of 1 to 19 digits
// whose product with the power of ten left the rounding open.
double decimalMagnitudeUndecided(std::uint64_t mantissa, std::int32_t exponent);

// The double of mantissa x 10^exponent by the 128-bit product, or a negative
// value when the product leaves the rounding open. `mantissa` is not 0.
[[gnu::always_inline]] inline double productMagnitude(std::uint64_t mantissa, std::int32_t exponent) {
  using Binary = fast_float::binary_format<double>;
  fast_float::adjusted_mantissa am = fast_float::compute_float<Binary>(exponent, mantissa);
  if (am.power2 < 0) return -1.0;
  double value;
  fast_float::to_float(false, am, value);
  return value;
}

// The magnitude of mantissa x 10^exponent, mantissa < 10^19.
inline double decimalMagnitude(std::uint64_t mantissa, std::int32_t exponent) {
  if (mantissa == 0) return 0.0;
  if (mantissa <= kMaxExactMantissa && exponent >= -kMaxExactPower && exponent <= kMaxExactPower) {
    double m = static_cast<double>(mantissa);
    return exponent >= 0 ? m * kExactPowersOfTen[exponent] : m / kExactPowersOfTen[-exponent];
  }
  double value = productMagnitude(mantissa, exponent);
  return value >= 0.0 ? value : decimalMagnitudeUndecided(mantissa, exponent);
}

// The magnitude of a number of 20 to 40 significant digits: `lead` is the
// value of the first 19, `rest` the text of the others (`count` - 19 digits).
double decimalMagnitudeLong(std::uint64_t lead, const char* rest, int count, std::int32_t exponent);

}  // namespace slip
