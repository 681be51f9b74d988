#include "report/printf_numbers.h"

#include <charconv>
#include <cmath>

#include "report/field_editor.h"

namespace slip {
namespace {

// A printed number whose digits are all zeros loses its minus sign: "-0.000000"
// and "-0" say nothing a reader needs.
void append(std::string& out, double value, std::chars_format format, int precision) {
  char text[64];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value, format, precision);
  const char* begin = text;
  if (ec != std::errc{}) return;  // 64 bytes hold any double at the precisions used here
  if (*begin == '-') {
    bool allZero = true;
    for (const char* p = begin + 1; p < end && *p != 'e'; ++p) {
      if (*p >= '1' && *p <= '9') {
        allZero = false;
        break;
      }
      if (*p == 'i' || *p == 'n') allZero = false;  // -inf, -nan
    }
    if (allZero) ++begin;
  }
  out.append(begin, static_cast<std::size_t>(end - begin));
}

// The report's exact fixed-field editor (printf's "%#.*f", correctly
// rounded, fast for values below 10^9 with up to 9 decimals), in the field
// that the value's `integerDigits` need; one wider when rounding carries
// into another digit (the editor's asterisks say so).
void appendEdited(std::string& out, double value, int decimals, int integerDigits) {
  char field[24];
  const int width = (value < 0.0 ? 1 : 0) + integerDigits + 1 + decimals;
  editFixed(value, width, decimals, field);
  if (field[0] != '*') {
    out.append(field + (field[0] == ' ' ? 1 : 0), static_cast<std::size_t>(width - (field[0] == ' ' ? 1 : 0)));
    return;
  }
  editFixed(value, width + 1, decimals, field);
  out.append(field, static_cast<std::size_t>(width + 1));
}

constexpr double kPowers[] = {1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

}  // namespace

void appendFixed(std::string& out, double value, int decimals) {
  const double magnitude = std::fabs(value);
  if (decimals >= 0 && decimals <= 9 && magnitude < 1e9) {  // false for NaN
    int digits = 1;
    while (digits < 9 && magnitude >= kPowers[digits + 4]) ++digits;  // magnitude < 10^digits
    appendEdited(out, value, decimals, digits);
  } else {
    append(out, value, std::chars_format::fixed, decimals);
  }
}

void appendGeneral(std::string& out, double value, int significant) {
  if (value == 0.0) {  // most samples of a model: no conversion
    out += '0';
    return;
  }
  // %g writes fixed notation with P - 1 - X decimals when the exponent X of
  // the value rounded to P digits lies in -4..P-1, then drops trailing zeros.
  // X of the unrounded value is at most one less; where it still gives 0..9
  // decimals, the fixed digits with trailing zeros dropped are %g's (a value
  // rounding up to the next power of ten only gains a trailing zero).
  const double magnitude = std::fabs(value);
  int x = -4;
  while (x < 9 && magnitude >= kPowers[x + 5]) ++x;  // 10^x <= magnitude < 10^(x+1)
  const int decimals = significant - 1 - x;
  if (magnitude >= 1e-4 && x <= significant - 2 && decimals <= 9 && magnitude < 1e9) {
    const std::size_t start = out.size();
    appendEdited(out, value, decimals, x < 0 ? 1 : x + 1);
    std::size_t end = out.size();
    while (end > start && out[end - 1] == '0') --end;
    if (end > start && out[end - 1] == '.') --end;
    out.resize(end);
    return;
  }
  append(out, value, std::chars_format::general, significant);
}

void appendScientific(std::string& out, double value, int decimals) {
  append(out, value, std::chars_format::scientific, decimals);
}

void appendInteger(std::string& out, long long value) {
  char text[24];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  (void)ec;
  out.append(text, end);
}

}  // namespace slip
