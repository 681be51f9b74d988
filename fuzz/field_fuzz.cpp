// Checks editFixed against the C library's "%#.*f" for arbitrary doubles,
// widths and decimal counts.
//
// Input: 8 bytes of a double's bit pattern, 2 bytes of width, 2 bytes of
// decimals (missing bytes read as zero). The expected field is laid out here
// from snprintf's text by the field rules alone: the sign of a value below
// zero, the minus-zero rule, the zero dropped from a text one too long that
// starts with "0", asterisks for anything else too long. The field is written
// into a buffer of exactly w bytes, so a write past it shows under ASan.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "report/field_editor.h"

namespace {

// Decimals up to 1199 go past the 1074 after which every double's expansion
// is zeros; widths up to 1600 let such texts, and the largest doubles, fit.
constexpr unsigned kWidths = 1600;
constexpr unsigned kDecimals = 1200;

std::string expectedField(double value, int w, int d) {
  bool negative = value < 0.0;
  const double magnitude = negative ? -value : (value == 0.0 ? 0.0 : value);
  static char text[2048];  // 309 integer digits, the point, d decimals
  const int length = std::snprintf(text, sizeof text, "%#.*f", d, magnitude);
  if (length < 0 || static_cast<std::size_t>(length) >= sizeof text) std::abort();
  std::string t(text, static_cast<std::size_t>(length));

  if (negative && t.find_first_not_of("0.") == std::string::npos) negative = false;
  std::size_t n = t.size() + (negative ? 1 : 0);
  const std::size_t width = static_cast<std::size_t>(w);
  if (n > width) {
    if (t[0] != '0' || n - 1 != width) return std::string(width, '*');
    t.erase(0, 1);
    n = width;
  }
  return std::string(width - n, ' ') + (negative ? "-" : "") + t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::uint8_t bytes[12] = {};
  std::memcpy(bytes, data, size < sizeof bytes ? size : sizeof bytes);
  double value;
  std::memcpy(&value, bytes, sizeof value);
  const unsigned rawWidth = bytes[8] | static_cast<unsigned>(bytes[9]) << 8;
  const unsigned rawDecimals = bytes[10] | static_cast<unsigned>(bytes[11]) << 8;
  const std::size_t width = 1 + rawWidth % kWidths;
  const int w = static_cast<int>(width);
  const int d = static_cast<int>(rawDecimals % kDecimals);

  const std::string expected = expectedField(value, w, d);
  std::unique_ptr<char[]> field = std::make_unique<char[]>(width);
  slip::editFixed(value, w, d, field.get());
  if (expected.compare(0, expected.size(), field.get(), width) != 0) {
    std::fprintf(stderr, "editFixed(%a, %d, %d)\n  gave     \"%.*s\"\n  expected \"%s\"\n", value, w, d, w,
                 field.get(), expected.c_str());
    std::abort();
  }
  return 0;
}
