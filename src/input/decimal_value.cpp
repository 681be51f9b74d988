#include "input/decimal_value.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace slip {

double decimalMagnitudeText(const char* text, int count, std::int32_t exponent) {
  char buffer[kMaxSignificantDigits + 16];
  std::memcpy(buffer, text, static_cast<std::size_t>(count));
  char* end = buffer + count;
  *end++ = 'e';
  end = std::to_chars(end, buffer + sizeof buffer - 1, exponent).ptr;
  *end = '\0';
  double value = 0.0;
  auto result = std::from_chars(buffer, end, value, std::chars_format::scientific);
  if (result.ec == std::errc::result_out_of_range) {
    // Beyond the range of a double: infinity, or a subnormal or zero, as strtod gives it.
    value = std::strtod(buffer, nullptr);
  }
  return value;
}

double decimalMagnitudeUndecided(std::uint64_t mantissa, std::int32_t exponent) {
  char text[kMaxMantissaDigits + 1];
  const char* end = std::to_chars(text, text + sizeof text, mantissa).ptr;
  return decimalMagnitudeText(text, static_cast<int>(end - text), exponent);
}

double decimalMagnitudeLong(std::uint64_t lead, const char* rest, int count, std::int32_t exponent) {
  // The number lies in [lead, lead + 1) x 10^scale: where both ends round to
  // the same double, so does every number between them.
  const std::int32_t scale = exponent + (count - kMaxMantissaDigits);
  const double low = productMagnitude(lead, scale);
  if (low >= 0.0 && low == productMagnitude(lead + 1, scale)) return low;
  char text[kMaxSignificantDigits];
  std::to_chars(text, text + kMaxMantissaDigits, lead);
  std::memcpy(text + kMaxMantissaDigits, rest, static_cast<std::size_t>(count - kMaxMantissaDigits));
  return decimalMagnitudeText(text, count, exponent);
}

}  // namespace slip
