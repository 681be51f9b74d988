#include "input/in_place_number.h"

namespace slip {


// A zero written as "0." and up to 24 zeros, with or without an exponent of
// up to 4 digits, followed by a byte that ends the number: most entries of a
// model are such zeros, "0.0" in a sparse one, "0.00000E+00" or
// "0.0000000000000000E+000" in a dense one. Returns the byte after the zero,
// or null for anything else.
//
// "0.0" before a blank or a line end is recognised inline (shortZeroInPlace),
// every other zero out of line, which keeps the value read's loop small.
const unsigned char* longZeroInPlace(const unsigned char* p) {
  // The zero of "%.5E", 0.00000E+00: five zeros, the letter, the sign, two digits.
  if (std::memcmp(p, "00000E+00", 9) == 0 && classOf(p[9]) <= kSlash) return p + 9;
  for (int group = 0;; ++group) {
    if (group == 3) return nullptr;
    const std::uint64_t others = loadWord(p) ^ 0x3030303030303030u;  // zero where a byte is '0'
    if (others != 0) {
      p += std::countr_zero(others) >> 3;
      break;
    }
    p += 8;
  }
  const CharClass k = classOf(*p);
  if (k <= kSlash) return p;
  if (k != kExpLetter && k != kSign) return nullptr;
  if (k == kExpLetter) ++p;
  if (*p == '-' || *p == '+') ++p;
  // One to four digits, whose value does not matter.
  if (!isDigit(p[0])) return nullptr;
  if (!isDigit(p[1])) return p + 1;
  if (!isDigit(p[2])) return p + 2;
  if (!isDigit(p[3])) return p + 3;
  return isDigit(p[4]) ? nullptr : p + 4;
}

InPlaceNumber otherNumberInPlace(const unsigned char* p) {
  if (const unsigned char* stop = zeroInPlace(p); stop != nullptr) return {stop, 0.0};
  int repeat = 1;
  double value = 0.0;
  const unsigned char* stop = numberInPlace<false>(p, value, repeat);
  return {repeat == 1 ? stop : nullptr, value};
}

}  // namespace slip
