// The reference copy of the list reader; see reference_reader.h.
#include "reference_reader.h"

#include <array>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace reference_copy {

using slip::kEof;
namespace {

constexpr int kMaxSignificantDigits = 40;

// The exact powers of ten of a double.
constexpr double kExactPowersOfTen[] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxExactPower = 22;
constexpr int kMaxExactDigits = 15;  // 10^15 < 2^53: the mantissa is exact

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

ReadStatus ByteByByteReader::fail(ReadError error) const {
  // A read error of the stream takes precedence over whatever the missing
  // bytes led the scan to see.
  if (source_.readError() != 0) return {ReadError::kListInSystem, source_.readError()};
  return {error, 0};
}

ReadStatus ByteByByteReader::skipOneRecord() {
  if (source_.atEnd()) return fail(ReadError::kReadStart);
  if (!source_.skipRecord() && source_.readError() != 0) return fail(ReadError::kListInSystem);
  return {};
}

// Scans one entry whose first byte `c` has been fetched. On return `c` is the
// byte that ended the entry, fetched but not consumed.
ReadError ByteByByteReader::scanEntry(ByteSource::Cursor& in, int& c, Entry& entry) {
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
    char digits[kMaxSignificantDigits];
    std::uint64_t mantissa = 0;  // value of the retained digits while there are at most 15
    std::int32_t exponent = 0;

    while (c == '0') {
      seen = true;
      c = in.get();
    }
    while (isDigit(c)) {
      seen = true;
      if (kept < kMaxSignificantDigits) {
        digits[kept++] = static_cast<char>(c);
        mantissa = mantissa * 10 + digitOf(c);
      } else {
        dropped = true;
        if (exponent < kExponentCap) ++exponent;
      }
      c = in.get();
    }

    if (c == '*' && !counted) {
      if (kept == 0 || dropped || negative) return ReadError::kBadRepetition;
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
          digits[kept++] = static_cast<char>(c);
          mantissa = mantissa * 10 + digitOf(c);
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
      if (!isDigit(c)) return ReadError::kExponentField;
      std::int32_t written = 0;
      do {
        written = written * 10 + static_cast<std::int32_t>(digitOf(c));
        if (written > kMaxWrittenExponent) return ReadError::kExponentField;
        c = in.get();
      } while (isDigit(c));
      exponent += negativeExponent ? -written : written;
    }

    if (seen) {
      entry.isValue = true;
      if (kept == 0) {
        entry.value = 0.0;  // all zeros: positive zero, whatever the sign
      } else {
        double magnitude = decimalMagnitude(digits, kept, mantissa, exponent);
        entry.value = negative ? -magnitude : magnitude;
      }
    } else if (c == ',' || c == '/' || (counted && (c == ' ' || c == '\t' || c == '\n'))) {
      entry.isValue = false;
    } else {
      return ReadError::kInvalidNumber;
    }
    entry.repeat = repeat;
    return ReadError::kNone;
  }
}

ReadStatus ByteByByteReader::readValues(double* targets, int count) {
  if (source_.atEnd()) return fail(ReadError::kReadStart);
  {
    ByteSource::Cursor in(source_);
    Entry entry;
    int owed = 0;       // copies of `entry` still to give, the current target's included
    int c = in.get();   // the next byte not yet consumed
    bool slash = false;
    for (int i = 0; i < count; ++i) {
      if (owed == 0) {
        CharClass k = classOf(c);
        while (k == kBlank || k == kNewline) k = classOf(c = in.get());
        if (k == kComma) {  // a null for this target; the comma is its separator
          c = in.get();
          continue;
        }
        if (k == kSlash) {  // this and every later target keep their values
          slash = true;
          break;
        }
        if (k == kEndOfData) return fail(ReadError::kListInEof);
        ReadError error = scanEntry(in, c, entry);
        if (error != ReadError::kNone) return fail(error);
        owed = entry.repeat;
      }
      // After the entry's last copy, its blanks and one comma belong to it.
      while (classOf(c) == kBlank) c = in.get();
      if (c == ',' && owed == 1) c = in.get();
      if (c == kEof && source_.readError() != 0) return fail(ReadError::kListInSystem);
      if (entry.isValue) targets[i] = entry.value;
      --owed;
    }
    if (!slash) in.unget(c);
  }
  if (!source_.skipRecord() && source_.readError() != 0) return fail(ReadError::kListInSystem);
  return {};
}

}  // namespace reference_copy
