#include "report/field_editor.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace slip {

namespace {

// Every double's exact decimal expansion ends within 1074 decimals (the
// smallest subnormal is 2^-1074), so digits asked for beyond that are zeros
// and are laid out without converting them.
constexpr int kExactDecimals = 1074;
// Integer digits of the largest finite double (about 1.8e308).
constexpr int kMaxIntegerDigits = 309;
// The stage-one text: integer digits, the point, the converted decimals.
constexpr int kTextCapacity = kMaxIntegerDigits + 1 + kExactDecimals + 1;

// Powers of ten that doubles hold exactly, for the early overflow test.
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                             1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                             1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kPow10Count = static_cast<int>(sizeof kPow10 / sizeof kPow10[0]);

// The fixed text of a magnitude below 10^9 with d <= 9 decimals, computed
// exactly: the magnitude is m * 2^-shift, so round(magnitude * 10^d) is
// m * 10^d shifted right, rounded half to even on the bits shifted out (the
// rounding of the C library's conversion). Returns the text's length, or 0
// when the magnitude or d is outside this range.
constexpr int kFastDecimals = 9;
constexpr double kFastLimit = 1e9;
constexpr std::uint64_t kPow10Int[] = {1,      10,      100,      1000,      10000,
                                       100000, 1000000, 10000000, 100000000, 1000000000};

int fastFixedText(double magnitude, int d, char* text) {
  if (d > kFastDecimals || !(magnitude < kFastLimit)) return 0;
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(magnitude);
  const int biased = static_cast<int>(bits >> 52);
  std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
  int shift = 1074;  // subnormal: magnitude = m * 2^-1074
  if (biased != 0) {
    m |= std::uint64_t{1} << 52;
    shift = 1075 - biased;  // at least 1075 - 1053 = 22, since magnitude < 2^30
  }
  // m * 10^d < 2^83; from a shift of 84 on it lies below half a unit.
  std::uint64_t q = 0;  // the magnitude times 10^d, rounded to an integer
  if (shift < 84) {
    const unsigned __int128 scaled = static_cast<unsigned __int128>(m) * kPow10Int[d];
    q = static_cast<std::uint64_t>(scaled >> shift);
    const unsigned __int128 rest = scaled - (static_cast<unsigned __int128>(q) << shift);
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    if (rest > half || (rest == half && (q & 1) != 0)) ++q;
  }
  std::uint64_t integer = q / kPow10Int[d];
  std::uint64_t fraction = q % kPow10Int[d];
  char digits[20];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + integer % 10);
    integer /= 10;
  } while (integer != 0);
  int length = 0;
  while (count > 0) text[length++] = digits[--count];
  text[length++] = '.';
  for (int i = d - 1; i >= 0; --i) {
    text[length + i] = static_cast<char>('0' + fraction % 10);
    fraction /= 10;
  }
  return length + d;
}

void fill(char* out, int count, char c) {
  for (int i = 0; i < count; ++i) out[i] = c;
}

}  // namespace

void editInteger(int value, int w, char* out) {
  if (w < 1) return;
  // The magnitude as unsigned, exact for the most negative int as well.
  const bool negative = value < 0;
  unsigned magnitude = negative ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  char digits[10];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10u);
    magnitude /= 10u;
  } while (magnitude != 0u);

  const int n = count + (negative ? 1 : 0);
  if (n > w) {
    fill(out, w, '*');
    return;
  }
  int pos = w - n;
  fill(out, pos, ' ');
  if (negative) out[pos++] = '-';
  while (count > 0) out[pos++] = digits[--count];
}

void editFixed(double value, int w, int d, char* out) {
  if (w < 1) return;
  if (d < 0) {
    fill(out, w, '*');
    return;
  }

  // Sign: only a value below zero is negative; zeros of either sign and
  // NaNs keep their own bits as the magnitude (a NaN's sign shows in its text).
  bool negative = value < 0.0;
  const double magnitude = negative ? -value : (value == 0.0 ? 0.0 : value);

  // Stage one: the text of the magnitude, as "%#.*f" writes it.
  char text[kTextCapacity];
  int length = 0;   // characters in text
  int padZeros = 0; // decimals beyond kExactDecimals, all zeros, not in text
  if (std::isnan(magnitude)) {
    const char* nan = std::signbit(magnitude) ? "-nan" : "nan";
    length = static_cast<int>(std::strlen(nan));
    std::memcpy(text, nan, static_cast<std::size_t>(length));
  } else if (std::isinf(magnitude)) {
    std::memcpy(text, "inf", 3);
    length = 3;
  } else {
    // The text has at least 1 + 1 + d characters; from d >= w on it can never
    // fit, not even after dropping a leading zero. Likewise a magnitude of
    // 10^w or more has more than w integer digits.
    if (d >= w || (w < kPow10Count && magnitude >= kPow10[w])) {
      fill(out, w, '*');
      return;
    }
    length = fastFixedText(magnitude, d, text);
    if (length == 0) {
      const int converted = d < kExactDecimals ? d : kExactDecimals;
      padZeros = d - converted;
      const auto result = std::to_chars(text, text + kTextCapacity, magnitude,
                                        std::chars_format::fixed, converted);
      length = static_cast<int>(result.ptr - text);
      if (converted == 0) text[length++] = '.';  // "%#" keeps the point
    }

    // Minus zero: a negative value that rounds to zero prints unsigned.
    if (negative) {
      bool allZero = true;
      for (int i = 0; i < length && allZero; ++i) allZero = text[i] == '0' || text[i] == '.';
      if (allZero) negative = false;
    }
  }

  // Stage two: width check, then blanks, sign, text, padded decimals.
  const char* start = text;
  int n = length + padZeros + (negative ? 1 : 0);
  if (n > w) {
    if (text[0] == '0' && n - 1 == w) {
      ++start;
      --length;
      n = w;
    } else {
      fill(out, w, '*');
      return;
    }
  }
  int pos = w - n;
  fill(out, pos, ' ');
  if (negative) out[pos++] = '-';
  std::memcpy(out + pos, start, static_cast<std::size_t>(length));
  fill(out + pos + length, padZeros, '0');
}

}  // namespace slip
