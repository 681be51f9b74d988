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

// Fields of magnitudes below 10^9 with up to 9 decimals, the report's range,
// are laid out straight from exact integer arithmetic. The magnitude is
// m * 2^-shift, so round(magnitude * 10^d) is m * 10^d shifted right, rounded
// half to even on the bits shifted out: the rounding of the C library's
// conversion, so the digits are those of "%#.*f".
constexpr int kFastDecimals = 9;
constexpr double kFastLimit = 1e9;
constexpr std::uint64_t kPow10Int[] = {1,      10,      100,      1000,      10000,
                                       100000, 1000000, 10000000, 100000000, 1000000000};

// The magnitude (finite, below 10^9) times 10^d, rounded to an integer.
std::uint64_t scaledRounded(double magnitude, int d) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(magnitude);
  const int biased = static_cast<int>(bits >> 52);
  std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
  int shift = 1074;  // subnormal: magnitude = m * 2^-1074
  if (biased != 0) {
    m |= std::uint64_t{1} << 52;
    shift = 1075 - biased;  // at least 1075 - 1053 = 22, since magnitude < 2^30
  }
  // m * 10^d < 2^83; from a shift of 84 on it lies below half a unit.
  if (shift >= 84) return 0;
  const unsigned __int128 scaled = static_cast<unsigned __int128>(m) * kPow10Int[d];
  std::uint64_t q = static_cast<std::uint64_t>(scaled >> shift);
  const unsigned __int128 rest = scaled - (static_cast<unsigned __int128>(q) << shift);
  const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
  if (rest > half || (rest == half && (q & 1) != 0)) ++q;
  return q;
}

// Writes `count` decimal digits of `value` (zero-padded) ending just before `end`.
char* putDigits(char* end, std::uint32_t value, int count) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  for (; count >= 2; count -= 2) {
    const std::size_t pair = static_cast<std::size_t>(value % 100) * 2;
    value /= 100;
    *--end = kPairs[pair + 1];
    *--end = kPairs[pair];
  }
  if (count == 1) *--end = static_cast<char>('0' + value % 10);
  return end;
}

int digitCount(std::uint32_t value) {
  int count = 1;
  while (value >= 10) {
    value /= 10;
    ++count;
  }
  return count;
}

// The whole field for a finite magnitude below 10^9 and d <= 9.
void editFixedExact(double magnitude, bool negative, int w, int d, char* out) {
  const std::uint64_t q = scaledRounded(magnitude, d);
  if (q == 0) negative = false;  // minus zero: the text is all zeros
  // Both parts are below 10^9: 32-bit arithmetic lays them out.
  const auto integer = static_cast<std::uint32_t>(q / kPow10Int[d]);
  const auto fraction = static_cast<std::uint32_t>(q % kPow10Int[d]);
  const int integerDigits = digitCount(integer);
  int n = integerDigits + 1 + d + (negative ? 1 : 0);
  bool dropZero = false;  // the "0" before the point gives way in a field one too narrow
  if (n > w) {
    if (integer != 0 || n - 1 != w) {
      for (int i = 0; i < w; ++i) out[i] = '*';
      return;
    }
    dropZero = true;
  }
  char* p = putDigits(out + w, fraction, d);
  *--p = '.';
  if (!dropZero) p = putDigits(p, integer, integerDigits);
  if (negative) *--p = '-';
  while (p > out) *--p = ' ';
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
  if (d <= kFastDecimals && magnitude < kFastLimit) {  // false for NaN and infinity
    editFixedExact(magnitude, negative, w, d, out);
    return;
  }

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
    const int converted = d < kExactDecimals ? d : kExactDecimals;
    padZeros = d - converted;
    const auto result = std::to_chars(text, text + kTextCapacity, magnitude,
                                      std::chars_format::fixed, converted);
    length = static_cast<int>(result.ptr - text);
    if (converted == 0) text[length++] = '.';  // "%#" keeps the point

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
