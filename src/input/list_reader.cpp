#include "input/list_reader.h"

#include <array>
#include <climits>
#include <cstdint>

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

// Scans one entry whose first byte `c` has been fetched. On return `c` is the
// byte that ended the entry, fetched but not consumed.
template <class Observer>
ReadError BasicListReader<Observer>::scanEntry(ByteSource::Cursor& in, int& c, Entry& entry) {
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
    for (int i = 0; i < count; ++i) {
      if (owed == 0) {
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
    }
    // The rest of the record begins at the byte that ended the last entry,
    // or just after the slash.
    observer_.readEnd(slash ? in.at(c) + 1 : in.at(c), owed);
    if (!slash) in.unget(c);
  }
  if (!source_.skipRecord() && source_.readError() != 0) return fail(ReadError::kListInSystem);
  return {};
}

template class BasicListReader<NoReadObserver>;
template class BasicListReader<ReadObserver>;

}  // namespace slip
