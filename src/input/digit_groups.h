// Eight bytes at a time: the word tricks the reader's in-place numbers use,
// each named once. A word holds eight bytes of text, the first in the lowest
// byte (loaded little-endian).
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace slip {

static_assert(std::endian::native == std::endian::little, "digit groups are loaded little-endian");

inline constexpr std::uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// Eight bytes from `p`, the first in the lowest byte.
[[gnu::always_inline]] inline std::uint64_t loadWord(const unsigned char* p) {
  std::uint64_t bytes;
  std::memcpy(&bytes, p, sizeof bytes);
  return bytes;
}

// Of eight bytes less '0' each, the top bit of every byte that is not a digit
// 0..9. A borrow or carry only reaches the bytes after the first that is not,
// so that byte is always seen.
[[gnu::always_inline]] inline std::uint64_t nonDigitBytes(std::uint64_t a) {
  return (a | (a + 0x7676767676767676u)) & 0x8080808080808080u;
}

// Whether all eight bytes of `a` (the bytes less '0') are digits.
[[gnu::always_inline]] inline bool allDigits(std::uint64_t a) { return nonDigitBytes(a) == 0; }

// The value of eight digit bytes, '0' already subtracted, the first in the
// lowest byte.
[[gnu::always_inline]] inline std::uint64_t eightDigits(std::uint64_t a) {
  a = a * 10 + (a >> 8);
  return (((a & 0x000000FF000000FFu) * 0x000F424000000064u) +
          (((a >> 16) & 0x000000FF000000FFu) * 0x0000271000000001u)) >> 32;
}

// The blanks at `p`, up to seven, by one look at eight bytes; 8 when there
// are eight or more.
[[gnu::always_inline]] inline int blanksAt(const unsigned char* p) {
  const std::uint64_t others = loadWord(p) ^ 0x2020202020202020u;
  return others == 0 ? 8 : std::countr_zero(others) >> 3;
}

}  // namespace slip
