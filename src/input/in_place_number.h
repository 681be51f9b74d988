// Numbers read in place, straight from the reader's block.
//
// Most entries are a plain number that ends well inside the block: those are
// read straight from the block, eight digits at a time where the run is
// longer. Anything else (a repeat count, more than 19 digits, an exponent of
// more than 4 digits, a malformed entry, an entry near the end of the block)
// is left to the byte-by-byte scanner (byte_scan.h), which reads every entry alike;
// the in-place reading only ever gives the same outcome sooner.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "input/char_classes.h"
#include "input/decimal_value.h"
#include "input/digit_groups.h"

namespace slip {

// Bytes the in-place reading may look at from where it starts, so that it
// never reads past the block: an entry is read in place only when this many
// bytes of the block remain. A number looks at a repeat count and its
// asterisk, a sign, at most 19 digits and a point, then either a digit group
// or an exponent (a letter, its sign, 4 digits and the byte after them). A
// run of entries looks at one group for the blanks before the first entry,
// at the entry, and at one group for its blanks from the byte that ends it.
inline constexpr std::ptrdiff_t kRepeatCountBytes = 10 + 1;
inline constexpr std::ptrdiff_t kSignDigitsPointBytes = 1 + kMaxMantissaDigits + 1;
inline constexpr std::ptrdiff_t kExponentBytes = 1 + 1 + 4 + 1;
inline constexpr std::ptrdiff_t kGroupBytes = 8;
inline constexpr std::ptrdiff_t kEntryLook = kRepeatCountBytes + kSignDigitsPointBytes + kGroupBytes;
inline constexpr std::ptrdiff_t kInPlaceWindow = kGroupBytes + kEntryLook + kGroupBytes;
// A zero looks at "0.", three groups of zeros and an exponent.
inline constexpr std::ptrdiff_t kZeroLook = 2 + 3 * kGroupBytes + kExponentBytes;
static_assert(kExponentBytes <= kGroupBytes && kZeroLook <= kEntryLook && kInPlaceWindow == 56,
              "the in-place window covers every look of the in-place reading");

// Appends the run of digits at `p` to `mantissa` and `count`; stops early
// once `count` passes 19 (the number is then left to the byte scanner).
// `shortRun`: the run is mostly 0 or 1 digits (before a point), worth a look
// at single bytes first.
template <bool shortRun>
[[gnu::always_inline]] inline const unsigned char* digitRun(const unsigned char* p, std::uint64_t& mantissa, int& count) {
  if (shortRun) {
    if (!isDigit(p[0])) return p;
    if (!isDigit(p[1])) {
      mantissa = mantissa * 10 + digitOf(p[0]);
      ++count;
      return p + 1;
    }
  }
  for (;;) {
    const std::uint64_t a = loadWord(p) - 0x3030303030303030u;
    const std::uint64_t others = nonDigitBytes(a);
    if (others == 0) {
      // Eight zeros (as in the fraction of a zero written with 17 digits) add nothing.
      mantissa = mantissa * kPowersOfTen[8] + (a == 0 ? 0 : eightDigits(a));
      count += 8;
      p += 8;
      if (count > kMaxMantissaDigits || !isDigit(p[0])) return p;
      continue;
    }
    const int n = std::countr_zero(others) >> 3;
    if (n != 0) {
      mantissa = mantissa * kPowersOfTen[n] + eightDigits(a << (64 - 8 * n));
      count += n;
      p += n;
    }
    return p;
  }
}

// The exponent that may follow a number's digits at `p` (a letter with or
// without a sign, or a bare sign, then one to four digits), added to
// `exponent`. Returns the byte after it (`p` when there is none), or null
// for a longer exponent or one without digits, which the byte scanner reads.
[[gnu::always_inline]] inline const unsigned char* exponentInPlace(const unsigned char* p, std::int32_t& exponent) {
  const CharClass k = classOf(*p);
  if (k != kExpLetter && k != kSign) return p;
  if (k == kExpLetter) ++p;
  const bool negativeExponent = *p == '-';
  if (negativeExponent || *p == '+') ++p;
  const unsigned d0 = digitOf(p[0]);
  if (d0 > 9) return nullptr;
  const unsigned d1 = digitOf(p[1]);
  unsigned written = d0;
  if (d1 <= 9) {
    const unsigned d2 = digitOf(p[2]);
    written = d0 * 10 + d1;
    if (d2 <= 9) {
      const unsigned d3 = digitOf(p[3]);
      written = written * 10 + d2;
      if (d3 <= 9) {
        if (isDigit(p[4])) return nullptr;
        written = written * 10 + d3;
        ++p;
      }
      ++p;
    }
    ++p;
  }
  const auto w = static_cast<std::int32_t>(written);
  exponent += negativeExponent ? -w : w;
  return p + 1;
}

// Reads a number of at most 19 digits (leading zeros included) starting at
// `p` into `value`, the whole number within the block's next kInPlaceWindow
// bytes. Returns the byte that ends it, or null when the byte scanner must
// read the entry. The number may carry a repeat count ("r*v", a count of at
// most 10 digits), which goes to `repeat`.
template <bool afterCount>
[[gnu::always_inline]] inline const unsigned char* numberInPlace(const unsigned char* p, double& value, int& repeat) {
  const bool signed_ = *p == '-' || *p == '+';
  const bool negative = *p == '-';
  if (signed_) ++p;
  std::uint64_t mantissa = 0;
  int count = 0;
  p = digitRun<true>(p, mantissa, count);
  if (*p == '*') {
    if (afterCount || signed_ || count > 10 || mantissa == 0 || mantissa > INT_MAX) return nullptr;
    repeat = static_cast<int>(mantissa);
    return numberInPlace<true>(p + 1, value, repeat);
  }
  if (count > kMaxMantissaDigits) return nullptr;
  std::int32_t exponent = 0;
  if (*p == '.') {
    const int before = count;
    p = digitRun<false>(p + 1, mantissa, count);
    exponent = before - count;
  }
  if (count == 0 || count > kMaxMantissaDigits) return nullptr;
  p = exponentInPlace(p, exponent);
  if (p == nullptr) return nullptr;
  const double magnitude = decimalMagnitude(mantissa, exponent);  // all zeros: positive zero
  value = negative && mantissa != 0 ? -magnitude : magnitude;
  return p;
}

// ---- numbers in the fixed layouts of dense models ----------------------------
//
// Dense models write nearly every value in one of two layouts, each read
// here with a few whole-word tests in place of a test per byte; a number in
// any other layout goes on to numberInPlace, which reads it the same.

// An optional minus, a digit and a point, then either
//  - five digits, then an exponent letter (D, E, d or e), a sign and two
//    digits, or the end of the number ("%.5E" and "%.5f"): six significant
//    digits are exact in a double, so with an exponent within +-22 the value
//    is one exact multiply or divide;
//  - 16 or 17 digits, then a letter, a sign and three digits (or any
//    exponent numberInPlace reads), or the end of the number: a
//    list-directed WRITE of a double. The 17 or 18 digits are two groups of
//    eight after the first, converted by the 128-bit product.
// The eighth byte tells the two apart: a digit only in the second.
// `negative`: the entry begins with a minus, which `p` is past.
template <bool negative>
[[gnu::always_inline]] inline const unsigned char* denseInPlace(const unsigned char* p, double& value) {
  std::uint64_t head;  // d . d d d d d x, the first byte lowest
  std::memcpy(&head, p, sizeof head);
  // Less '0' from the digits and '.' from the point, the eighth byte
  // shifted out: 0, d, 0, d, d, d, d, d when the layout holds. The point's
  // place must be 0 exactly, each digit's at most 9: adding 0x7F and 0x76
  // sets a top bit where either is not so (and a borrow from a byte below
  // '0' or '.' sets its own).
  const std::uint64_t a = (head - 0x3030303030302E30u) << 8;
  if (((a | (a + 0x76767676767F7676u)) & 0x8080808080808080u) != 0) return nullptr;
  const unsigned eighth = p[7];
  std::uint64_t mantissa;
  std::int32_t exponent;
  double magnitude;
  if ((eighth & 0xDEu) == 'D') {  // D, E, d or e
    const unsigned sign = p[8];
    const unsigned e0 = digitOf(p[9]);
    const unsigned e1 = digitOf(p[10]);
    if (e0 > 9 || e1 > 9 || isDigit(p[11])) return nullptr;
    p += 11;
    if (a == 0) {  // a zero, 0.00000E+00 in a sparse model
      if (sign != '+' && sign != '-') return nullptr;
      mantissa = 0;
      magnitude = 0.0;
    } else {
      // The first digit moved into the point's place: the six digits are
      // the top six bytes.
      mantissa = eightDigits(a + ((a >> 8) & 0xFFu) * 0xFF00u);
      const auto w = static_cast<std::int32_t>(e0 * 10 + e1);
      const double m = static_cast<double>(mantissa);
      // The value is mantissa x 10^(w - 5) or x 10^(-w - 5).
      if (sign == '-') {
        if (w + 5 > kMaxExactPower) {
          magnitude = decimalMagnitude(mantissa, -w - 5);
        } else {
          magnitude = m / kExactPowersOfTen[w + 5];
        }
      } else if (sign == '+') {
        if (w < 5) {
          magnitude = m / kExactPowersOfTen[5 - w];
        } else if (w - 5 > kMaxExactPower) {
          magnitude = decimalMagnitude(mantissa, w - 5);
        } else {
          magnitude = m * kExactPowersOfTen[w - 5];
        }
      } else {
        return nullptr;
      }
    }
  } else if (!isDigit(static_cast<int>(eighth))) {
    if (classOf(static_cast<int>(eighth)) == kSign) return nullptr;
    mantissa = eightDigits(a + ((a >> 8) & 0xFFu) * 0xFF00u);
    magnitude = static_cast<double>(mantissa) / kExactPowersOfTen[5];
    p += 7;
  } else {
    const std::uint64_t high = loadWord(p + 2) - 0x3030303030303030u;
    const std::uint64_t low = loadWord(p + 10) - 0x3030303030303030u;
    if (!allDigits(high) || !allDigits(low)) return nullptr;
    mantissa = (a >> 8 & 0xFFu) * 10000000000000000u + eightDigits(high) * kPowersOfTen[8] + eightDigits(low);
    exponent = -16;
    p += 18;
    if (const unsigned last = digitOf(*p); last <= 9) {
      mantissa = mantissa * 10 + last;
      --exponent;
      ++p;
      if (isDigit(*p)) return nullptr;
    }
    // The exponent of such a WRITE below 0.1: a letter, a sign, three digits.
    std::uint64_t tail;
    std::memcpy(&tail, p, sizeof tail);
    // Less "E+000" (the letter's case and D or E cleared first), the sign's
    // place 0 for '+' or 2 for '-': each place at most 9, the letter's and
    // the sign's (its bit 1 cleared) 0 exactly, and no digit after.
    const std::uint64_t e = ((tail & 0xFFFFFFFFDEu) - 0x3030302B44u) & ~std::uint64_t{0x200};
    if (((e | (e + 0x7676767F7Fu)) & 0x8080808080u) == 0 && !isDigit(p[5])) {
      const auto w = static_cast<std::int32_t>(((e >> 16) & 0xFF) * 100 + ((e >> 24) & 0xFF) * 10 + ((e >> 32) & 0xFF));
      exponent += p[1] == '-' ? -w : w;
      p += 5;
    } else {
      p = exponentInPlace(p, exponent);
      if (p == nullptr) return nullptr;
    }
    if (mantissa > kMaxExactMantissa) {
      magnitude = productMagnitude(mantissa, exponent);
      if (magnitude < 0.0) magnitude = decimalMagnitudeUndecided(mantissa, exponent);
    } else {
      magnitude = decimalMagnitude(mantissa, exponent);
    }
  }
  value = negative && mantissa != 0 ? -magnitude : magnitude;  // all zeros: positive zero
  return p;
}

// A zero written as "0." and up to 24 zeros, with or without an exponent of
// up to 4 digits, followed by a byte that ends the number, `p` after the
// "0.": see zeroInPlace. Out of line, which keeps the value read's loop small.
[[gnu::noinline]] const unsigned char* longZeroInPlace(const unsigned char* p);

constexpr std::uint32_t kZeroPoint = '0' | '.' << 8;

[[gnu::always_inline]] inline const unsigned char* shortZeroInPlace(const unsigned char* p) {
  std::uint32_t head;
  std::memcpy(&head, p, sizeof head);
  constexpr std::uint32_t kZeroBlank = kZeroPoint | '0' << 16 | std::uint32_t{' '} << 24;
  constexpr std::uint32_t kZeroLineEnd = kZeroPoint | '0' << 16 | std::uint32_t{'\n'} << 24;
  return head == kZeroBlank || head == kZeroLineEnd ? p + 3 : nullptr;
}

[[gnu::always_inline]] inline const unsigned char* zeroInPlace(const unsigned char* p) {
  return p[0] == '0' && p[1] == '.' ? longZeroInPlace(p + 2) : nullptr;
}

// Any other number that numberInPlace reads, out of line so that the run of
// common entries keeps its registers; null also for a repeat count.
// Returned whole, in two registers.
struct InPlaceNumber {
  const unsigned char* stop;
  double value;
};

[[gnu::noinline]] InPlaceNumber otherNumberInPlace(const unsigned char* p);

// The commonest entries read in place: the sparse model's zero, then the
// dense models' layouts (whose zeros they read as well). Returns the byte
// after the entry, or null for any other entry.
[[gnu::always_inline]] inline const unsigned char* commonEntryInPlace(const unsigned char* p, double& value) {
  value = 0.0;
  const unsigned char* stop = shortZeroInPlace(p);
  if (stop == nullptr) stop = *p == '-' ? denseInPlace<true>(p + 1, value) : denseInPlace<false>(p, value);
  if (stop == nullptr) {
    const InPlaceNumber other = otherNumberInPlace(p);
    stop = other.stop;
    value = other.value;
  }
  return stop;
}

}  // namespace slip
