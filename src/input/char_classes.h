// The role of each byte in free-format input, the one table every reader
// and locator of a model file's entries asks.
#pragma once

#include <array>
#include <cstddef>

#include "input/byte_source.h"

namespace slip {

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

inline constexpr std::array<CharClass, 257> kClasses = makeClasses();

inline CharClass classOf(int c) { return kClasses[static_cast<std::size_t>(c + 1)]; }
inline bool isDigit(int c) { return static_cast<unsigned>(c - '0') < 10u; }
inline unsigned digitOf(int c) { return static_cast<unsigned>(c - '0'); }

// Whether byte `c` (or kEof) ends the entry before it: a blank, a tab, a line
// feed, a comma, a slash or the end of the data. Any other byte after an
// entry runs into it.
inline bool endsEntry(int c) {
  const CharClass k = classOf(c);
  return (k >= kBlank && k <= kSlash) || k == kEndOfData;
}

}  // namespace slip
