#include "input/list_reader.h"

#include <array>
#include <bit>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "input/decimal_value.h"

namespace slip {
namespace {

// The role of each byte in free-format input. Bytes without a role (letters
// other than the exponent letters, a lone CR, bytes 128..255) are kOther.
enum CharClass : unsigned char {
  kOther,
  kBlank,      // blank or tab: separates entries
  kNewline,    // ends a record; between values a separator
  kComma,      // separator, or a null value where an entry should begin
  kSlash,      // ends the value read
  kSign,       // sign of a value or an exponent; after digits it starts an exponent
  kDigit,
  kPoint,
  kExpLetter,  // D, E, d, e after digits
  kStar,       // ends a repeat count
  kEndOfData,  // kEof
};

constexpr std::array<CharClass, 257> makeClasses() {
  std::array<CharClass, 257> table{};  // indexed by byte + 1, so kEof is entry 0
  table[0] = kEndOfData;
  auto set = [&table](int c, CharClass k) { table[static_cast<std::size_t>(c + 1)] = k; };
  set(' ', kBlank);
  set('\t', kBlank);
  set('\n', kNewline);
  set(',', kComma);
  set('/', kSlash);
  set('+', kSign);
  set('-', kSign);
  for (int c = '0'; c <= '9'; ++c) set(c, kDigit);
  set('.', kPoint);
  for (int c : {'D', 'E', 'd', 'e'}) set(c, kExpLetter);
  set('*', kStar);
  return table;
}

constexpr std::array<CharClass, 257> kClasses = makeClasses();

inline CharClass classOf(int c) { return kClasses[static_cast<std::size_t>(c + 1)]; }
inline bool isDigit(int c) { return static_cast<unsigned>(c - '0') < 10u; }
inline unsigned digitOf(int c) { return static_cast<unsigned>(c - '0'); }

// Digits beyond the 40th before the point, and zeros after the point ahead of
// the first significant digit, move the decimal exponent one step each. It
// stops moving here, so no count of digits can overflow it; a value this far
// out is infinite or zero whatever exponent the file adds.
constexpr std::int32_t kExponentCap = 1 << 30;
constexpr std::int32_t kMaxWrittenExponent = 99999999;

}  // namespace

template <class Observer>
ReadStatus BasicListReader<Observer>::fail(ReadError error) const {
  // A read error of the stream takes precedence over whatever the missing
  // bytes led the scan to see.
  if (source_.readError() != 0) return {ReadError::kListInSystem, source_.readError()};
  return {error, 0};
}

template <class Observer>
ReadStatus BasicListReader<Observer>::recordSkip() {
  observer_.requestStart(false, 0, source_.position());
  if (source_.atEnd()) return fail(ReadError::kReadStart);
  if (!source_.skipRecord() && source_.readError() != 0) return fail(ReadError::kListInSystem);
  return {};
}

namespace {

// ---- numbers read in place ---------------------------------------------------
//
// Most entries are a plain number that ends well inside the block: those are
// read straight from the block, eight digits at a time where the run is
// longer. Anything else (a repeat count, more than 19 digits, an exponent of
// more than 4 digits, a malformed entry, an entry near the end of the block)
// is left to the byte-by-byte scanner below, which reads every entry alike;
// the in-place reading only ever gives the same outcome sooner.

static_assert(std::endian::native == std::endian::little, "digit groups are loaded little-endian");

// Bytes the in-place reading may look at from where it starts; an entry is
// read in place only when this many bytes of the block remain. A number looks
// at a repeat count and its asterisk, a sign, at most 19 digits and a point,
// then either a digit group or an exponent (a letter, its sign, 4 digits and
// the byte after them). A zero looks at most at "0.", three groups and an
// exponent. A run of entries looks at one group for the blanks before the
// first entry, at the entry, and at one group for the blanks after it.
constexpr std::ptrdiff_t kGroupBytes = 8;
constexpr std::ptrdiff_t kRepeatCountBytes = 10 + 1;
constexpr std::ptrdiff_t kSignDigitsPointBytes = 1 + kMaxMantissaDigits + 1;
constexpr std::ptrdiff_t kExponentBytes = 1 + 1 + 4 + 1;
constexpr std::ptrdiff_t kEntryLook = kRepeatCountBytes + kSignDigitsPointBytes + kGroupBytes;
constexpr std::ptrdiff_t kZeroLook = 2 + 3 * kGroupBytes + kExponentBytes;
constexpr std::ptrdiff_t kInPlaceWindow = kGroupBytes + kEntryLook + kGroupBytes;
static_assert(kExponentBytes <= kGroupBytes && kZeroLook <= kEntryLook && kInPlaceWindow == 56,
              "the window covers every look of the in-place reading");

constexpr std::uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// The value of eight digit bytes, '0' already subtracted, the first in the
// lowest byte.
[[gnu::always_inline]] inline std::uint64_t eightDigits(std::uint64_t a) {
  a = a * 10 + (a >> 8);
  return (((a & 0x000000FF000000FFu) * 0x000F424000000064u) +
          (((a >> 16) & 0x000000FF000000FFu) * 0x0000271000000001u)) >> 32;
}

// Of eight bytes less '0' each (the first in the lowest byte), the top bit of
// every byte that is not a digit 0..9. A borrow or carry only reaches the
// bytes after the first that is not, so that byte is always seen.
[[gnu::always_inline]] inline std::uint64_t nonDigitBytes(std::uint64_t a) {
  return (a | (a + 0x7676767676767676u)) & 0x8080808080808080u;
}
[[gnu::always_inline]] inline bool allDigits(std::uint64_t a) { return nonDigitBytes(a) == 0; }

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
    std::uint64_t bytes;
    std::memcpy(&bytes, p, sizeof bytes);
    const std::uint64_t a = bytes - 0x3030303030303030u;
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
    std::uint64_t high;
    std::uint64_t low;
    std::memcpy(&high, p + 2, sizeof high);
    std::memcpy(&low, p + 10, sizeof low);
    high -= 0x3030303030303030u;
    low -= 0x3030303030303030u;
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
      using Binary = fast_float::binary_format<double>;
      const fast_float::adjusted_mantissa am = fast_float::compute_float<Binary>(exponent, mantissa);
      if (am.power2 < 0) {
        magnitude = decimalMagnitudeUndecided(mantissa, exponent);
      } else {
        fast_float::to_float(false, am, magnitude);
      }
    } else {
      magnitude = decimalMagnitude(mantissa, exponent);
    }
  }
  value = negative && mantissa != 0 ? -magnitude : magnitude;  // all zeros: positive zero
  return p;
}

// A zero written as "0." and up to 24 zeros, with or without an exponent of
// up to 4 digits, followed by a byte that ends the number: most entries of a
// model are such zeros, "0.0" in a sparse one, "0.00000E+00" or
// "0.0000000000000000E+000" in a dense one. Returns the byte after the zero,
// or null for anything else.
//
// "0.0" before a blank or a line end is recognised inline (shortZeroInPlace),
// every other zero out of line, which keeps the value read's loop small.
[[gnu::noinline]] const unsigned char* longZeroInPlace(const unsigned char* p) {
  // The zero of "%.5E", 0.00000E+00: five zeros, the letter, the sign, two digits.
  if (std::memcmp(p, "00000E+00", 9) == 0 && classOf(p[9]) <= kSlash) return p + 9;
  for (int group = 0;; ++group) {
    if (group == 3) return nullptr;
    std::uint64_t bytes;
    std::memcpy(&bytes, p, sizeof bytes);
    const std::uint64_t others = bytes ^ 0x3030303030303030u;  // zero where a byte is '0'
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

// ---- the byte-by-byte scanner -------------------------------------------------

// Scans one entry whose first byte `c` has been fetched. On return `c` is the
// byte that ended the entry, fetched but not consumed.
// What the byte scanner found, `c` the byte that ended the entry: returned
// whole, so that the value read can keep its byte and entry in registers.
struct ByteScan {
  double value;
  int repeat;
  int c;
  bool isValue;
  ReadError error;
};

[[gnu::noinline]] ByteScan scanByBytes(ByteSource& source, int c) {
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
    } else if (c == ',' || c == '/' || (counted && (c == ' ' || c == '\t' || c == '\n'))) {
      isValue = false;
    } else {
      return {0.0, 0, c, false, ReadError::kInvalidNumber};
    }
    return {value, repeat, c, isValue, ReadError::kNone};
  }
}

}  // namespace

// Scans one entry whose first byte `c` has been fetched. On return `c` is the
// byte that ended the entry, fetched but not consumed.
template <class Observer>
ReadError BasicListReader<Observer>::scanEntry(ByteSource::Cursor& in, int& c, Entry& entry) {
  const unsigned char* first = in.at(c);
  if (in.blockEnd() - first >= kInPlaceWindow) {
    int repeat = 1;
    double value = 0.0;
    const unsigned char* stop = zeroInPlace(first);
    if (stop == nullptr) stop = numberInPlace<false>(first, value, repeat);
    if (stop != nullptr) {
      entry = {value, true, repeat};
      c = *stop;
      in.fetchTo(stop + 1);
      return ReadError::kNone;
    }
  }
  in.handOver();
  const ByteScan scan = scanByBytes(source_, c);
  in.takeOver();
  c = scan.c;
  if (scan.error == ReadError::kNone) {
    if (scan.isValue) entry.value = scan.value;
    entry.isValue = scan.isValue;
    entry.repeat = scan.repeat;
  }
  return scan.error;
}

// Any other number that numberInPlace reads, out of line so that the run of
// common entries keeps its registers; null also for a repeat count.
// Returned whole, in two registers.
struct InPlaceNumber {
  const unsigned char* stop;
  double value;
};

[[gnu::noinline]] InPlaceNumber otherNumberInPlace(const unsigned char* p) {
  if (const unsigned char* stop = zeroInPlace(p); stop != nullptr) return {stop, 0.0};
  int repeat = 1;
  double value = 0.0;
  const unsigned char* stop = numberInPlace<false>(p, value, repeat);
  return {repeat == 1 ? stop : nullptr, value};
}

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

// The blanks at `p`, up to seven, by one look at eight bytes; 8 when there
// are eight or more.
[[gnu::always_inline]] inline int blanksAt(const unsigned char* p) {
  std::uint64_t bytes;
  std::memcpy(&bytes, p, sizeof bytes);
  const std::uint64_t others = bytes ^ 0x2020202020202020u;
  return others == 0 ? 8 : std::countr_zero(others) >> 3;
}

// Reads targets[i..count) for as long as each is a common entry that ends,
// with its blanks and its comma, well inside the block that ends at `end`:
// the blanks before the entry (a value read's first entry follows the
// record's leading blank), the entry, the blanks after it, one comma.
// Returns where the next entry's blanks begin, `i` the next target. Anything
// else (a tab, eight blanks in a row, a line end, another layout) is left to
// the value read's steps, from the start of the entry.
template <class Observer>
[[gnu::noinline]] const unsigned char* commonRun(const unsigned char* p, const unsigned char* end, double* targets,
                                                 int& i, int count, Observer& observer) {
  if (end - p < kInPlaceWindow) return p;
  const unsigned char* const last = end - kInPlaceWindow;  // the last place an entry may begin
  const int before = blanksAt(p);
  if (before == 8) return p;
  p += before;
  // Each entry's blanks and comma end where the next entry begins; blanks
  // after a comma are left to the value read's steps.
  int target = i;
  do {
    double value;
    const unsigned char* stop = commonEntryInPlace(p, value);
    if (stop == nullptr) break;
    const int after = blanksAt(stop);
    if (after == 8) break;
    const unsigned char* next = stop + after;
    if (*next <= ',') {  // a digit or a minus is the likeliest next
      if (*next == '\t') break;
      next += *next == ',';
    }
    observer.entryStart(p, target);
    observer.entryEnd(stop, ListEntry{value, true, 1}, target);
    p = next;
    targets[target] = value;
  } while (++target != count && p <= last);
  i = target;
  return p;
}

template <class Observer>
ReadStatus BasicListReader<Observer>::valueRead(double* targets, int count) {
  observer_.requestStart(true, count, source_.position());
  if (source_.atEnd()) return fail(ReadError::kReadStart);
  {
    ByteSource::Cursor in(source_);
    Entry entry;
    int owed = 0;       // copies of `entry` still to give, the current target's included
    int c = in.get();   // the next byte not yet consumed
    bool slash = false;
    int i = 0;
    while (i < count) {
      if (owed == 0) {
        // A run of common entries, each read in place with its blanks and
        // comma, as the steps below would read it.
        if (c != kEof) {
          const unsigned char* p = in.at(c);
          const unsigned char* q = commonRun(p, in.blockEnd(), targets, i, count, observer_);
          if (q != p) {
            c = *q;
            in.fetchTo(q + 1);
          }
        }
        if (i == count) break;
        CharClass k = classOf(c);
        int crossed = 0;  // line feeds passed here (only an observer counts them)
        while (k == kBlank || k == kNewline) {
          if (k == kNewline && crossed++ == 0) observer_.recordCrossed(in.at(c), i);
          k = classOf(c = in.get());
        }
        if (crossed > 1) observer_.moreRecordsCrossed(crossed - 1, i);
        if (k == kComma) {  // a null for this target; the comma is its separator
          observer_.commaNull(in.at(c), i);
          c = in.get();
          ++i;
          continue;
        }
        if (k == kSlash) {  // this and every later target keep their values
          observer_.slash(in.at(c), i);
          slash = true;
          break;
        }
        observer_.entryStart(in.at(c), i);
        if (k == kEndOfData) {
          observer_.entryFailed(in.at(c), ReadError::kListInEof);
          return fail(ReadError::kListInEof);
        }
        ReadError error = scanEntry(in, c, entry);
        if (error != ReadError::kNone) {
          observer_.entryFailed(in.at(c), error);
          return fail(error);
        }
        observer_.entryEnd(in.at(c), entry, i);
        owed = entry.repeat;
      }
      // After the entry's last copy, its blanks and one comma belong to it.
      while (classOf(c) == kBlank) c = in.get();
      if (c == ',' && owed == 1) c = in.get();
      if (c == kEof && source_.readError() != 0) return fail(ReadError::kListInSystem);
      if (entry.isValue) targets[i] = entry.value;
      --owed;
      ++i;
    }
    // The rest of the record begins at the byte that ended the last entry,
    // or just after the slash.
    observer_.readEnd(slash ? in.at(c) + 1 : in.at(c), owed);
    if (!slash) in.unget(c);
  }
  if (!source_.skipRecord() && source_.readError() != 0) return fail(ReadError::kListInSystem);
  return {};
}

bool endsEntry(int c) {
  const CharClass k = classOf(c);
  return (k >= kBlank && k <= kSlash) || k == kEndOfData;
}

template class BasicListReader<NoReadObserver>;
template class BasicListReader<ReadObserver>;

}  // namespace slip
