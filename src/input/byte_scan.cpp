#include "input/byte_scan.h"

#include <climits>
#include <cstdint>

#include "input/char_classes.h"
#include "input/decimal_value.h"

namespace slip {
namespace {

// Digits beyond the 40th before the point, and zeros after the point ahead of
// the first significant digit, move the decimal exponent one step each. It
// stops moving here, so no count of digits can overflow it; a value this far
// out is infinite or zero whatever exponent the file adds.
constexpr std::int32_t kExponentCap = 1 << 30;
constexpr std::int32_t kMaxWrittenExponent = 99999999;

}  // namespace

ByteScan scanByBytes(ByteSource& source, int c) {
  ByteSource::Cursor in(source);
  double value = 0.0;
  bool isValue = false;
  bool counted = false;
  int repeat = 1;
  for (;;) {
    bool negative = false;
    if (c == '+') {
      c = in.get();
    } else if (c == '-') {
      negative = true;
      c = in.get();
    }
    bool seen = false;      // any digit, a leading zero included
    bool dropped = false;   // digits beyond the 40th before the point
    int kept = 0;           // significant digits retained
    std::uint64_t mantissa = 0;  // value of the first 19 retained digits
    char rest[kMaxSignificantDigits - kMaxMantissaDigits];  // the retained digits after them
    std::int32_t exponent = 0;
    auto keep = [&](int digit) {
      if (kept < kMaxMantissaDigits) {
        mantissa = mantissa * 10 + digitOf(digit);
      } else {
        rest[kept - kMaxMantissaDigits] = static_cast<char>(digit);
      }
      ++kept;
    };

    while (c == '0') {
      seen = true;
      c = in.get();
    }
    while (isDigit(c)) {
      seen = true;
      if (kept < kMaxSignificantDigits) {
        keep(c);
      } else {
        dropped = true;
        if (exponent < kExponentCap) ++exponent;
      }
      c = in.get();
    }

    if (c == '*' && !counted) {
      if (kept == 0 || dropped || negative) return {0.0, 0, c, false, ReadError::kBadRepetition};
      // Counts beyond the 32-bit range are clamped; no read has that many targets.
      repeat = kept > 10 || mantissa > INT_MAX ? INT_MAX : static_cast<int>(mantissa);
      counted = true;
      c = in.get();
      continue;  // the value proper follows the asterisk
    }

    if (c == '.') {
      c = in.get();
      if (kept == 0) {
        while (c == '0') {
          seen = true;
          if (exponent > -kExponentCap) --exponent;
          c = in.get();
        }
      }
      while (isDigit(c)) {
        seen = true;
        if (kept < kMaxSignificantDigits) {
          keep(c);
          --exponent;
        }
        c = in.get();
      }
    }

    CharClass k = classOf(c);
    if (k == kSign || (k == kExpLetter && seen)) {
      if (k == kExpLetter) c = in.get();
      bool negativeExponent = false;
      if (c == '+' || c == '-') {
        negativeExponent = c == '-';
        c = in.get();
      }
      if (!isDigit(c)) return {0.0, 0, c, false, ReadError::kExponentField};
      std::int32_t written = 0;
      do {
        written = written * 10 + static_cast<std::int32_t>(digitOf(c));
        if (written > kMaxWrittenExponent) return {0.0, 0, c, false, ReadError::kExponentField};
        c = in.get();
      } while (isDigit(c));
      exponent += negativeExponent ? -written : written;
    }

    if (seen) {
      isValue = true;
      if (kept == 0) {
        value = 0.0;  // all zeros: positive zero, whatever the sign
      } else {
        double magnitude = kept <= kMaxMantissaDigits ? decimalMagnitude(mantissa, exponent)
                                                      : decimalMagnitudeLong(mantissa, rest, kept, exponent);
        value = negative ? -magnitude : magnitude;
      }
    } else if (endsEntry(c) && c != kEof && (counted || c == ',' || c == '/')) {
      isValue = false;
    } else {
      return {0.0, 0, c, false, ReadError::kInvalidNumber};
    }
    return {value, repeat, c, isValue, ReadError::kNone};
  }
}

}  // namespace slip
