#include "input/decimal_value.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace slip {

double decimalMagnitudeSlow(const char* digits, int count, std::int32_t exponent) {
  // Trailing zeros only scale: drop them and try the exact path again.
  while (count > 1 && digits[count - 1] == '0') {
    --count;
    ++exponent;
  }
  if (count <= kMaxExactDigits) {
    std::uint64_t mantissa = 0;
    for (int i = 0; i < count; ++i) mantissa = mantissa * 10 + static_cast<unsigned>(digits[i] - '0');
    double m = static_cast<double>(mantissa);
    if (exponent >= -kMaxExactPower && exponent <= kMaxExactPower) {
      return exponent >= 0 ? m * kExactPowersOfTen[exponent] : m / kExactPowersOfTen[-exponent];
    }
    // A short mantissa may take part of a large exponent and stay an exact
    // integer below 10^15; the rest is one exact power and one rounding.
    int shift = exponent - kMaxExactPower;
    if (exponent > kMaxExactPower && count + shift <= kMaxExactDigits) {
      return (m * kExactPowersOfTen[shift]) * kExactPowersOfTen[kMaxExactPower];
    }
  }

  char text[kMaxSignificantDigits + 16];
  std::memcpy(text, digits, static_cast<std::size_t>(count));
  char* end = text + count;
  *end++ = 'e';
  end = std::to_chars(end, text + sizeof text - 1, exponent).ptr;
  *end = '\0';
  double value = 0.0;
  auto result = std::from_chars(text, end, value, std::chars_format::scientific);
  if (result.ec == std::errc::result_out_of_range) {
    // Beyond the range of a double: infinity, or a subnormal or zero, as strtod gives it.
    value = std::strtod(text, nullptr);
  }
  return value;
}

}  // namespace slip
