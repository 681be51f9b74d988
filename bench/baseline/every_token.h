// The loop a run is measured against: every token of a model (a run of bytes
// between blanks, tabs, commas and line ends) converted by fast_float's
// from_chars, and nothing else done with the bytes. A token from_chars does
// not take whole (a D exponent, a repeat count, a header word) counts as
// converted as far as it goes.
#pragma once

#include <cstddef>

#include <fast_float/fast_float.h>

namespace bench {

struct TokenSum {
  double sum = 0.0;
  std::size_t converted = 0;
};

inline bool isSeparator(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ','; }

inline TokenSum convertEveryToken(const char* p, const char* end) {
  TokenSum total;
  for (;;) {
    while (p != end && isSeparator(*p)) ++p;
    if (p == end) return total;
    double value;
    const fast_float::from_chars_result result = fast_float::from_chars(p, end, value);
    if (result.ec == std::errc()) {
      total.sum += value;
      ++total.converted;
      p = result.ptr;
    }
    while (p != end && !isSeparator(*p)) ++p;
  }
}

}  // namespace bench
