#include "map/number_text.h"

#include <charconv>
#include <cmath>

#include "report/field_editor.h"

namespace slip::map {

void appendNumber(std::string& out, double value, int decimals) {
  if (decimals < 0) decimals = 0;
  if (decimals > 6) decimals = 6;
  if (!(value > -1e12)) value = -1e12;  // NaN too: never printed as such
  if (value > 1e12) value = 1e12;
  long long scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  const long long units = std::llround(value * static_cast<double>(scale));
  unsigned long long magnitude = static_cast<unsigned long long>(units < 0 ? -units : units);
  // Digits from the last: the fraction's without its trailing zeros, then the point, then the whole part.
  char text[32];
  char* first = text + sizeof text;
  int places = decimals;
  while (places > 0 && magnitude % 10 == 0) {
    magnitude /= 10;
    --places;
  }
  if (places > 0) {
    for (; places > 0; --places, magnitude /= 10) *--first = static_cast<char>('0' + magnitude % 10);
    *--first = '.';
  }
  do {
    *--first = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (units < 0) *--first = '-';
  out.append(first, static_cast<std::size_t>(text + sizeof text - first));
}

std::string formatNumber(double value, int decimals) {
  std::string text;
  appendNumber(text, value, decimals);
  return text;
}

int decimalsFor(double step) {
  int decimals = 0;
  double scaled = std::fabs(step);
  while (decimals < 6 && std::fabs(scaled - std::round(scaled)) > 1e-9 * (scaled > 1.0 ? scaled : 1.0)) {
    scaled *= 10.0;
    ++decimals;
  }
  return decimals;
}

std::string scientific(double value, int digits) {
  if (value == 0.0) return "0";
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, digits);
  if (ec != std::errc()) return "0";
  const std::string text(buffer, end);
  const std::size_t e = text.find('e');
  std::string mantissa = text.substr(0, e);
  if (mantissa.find('.') != std::string::npos) {
    while (mantissa.back() == '0') mantissa.pop_back();
    if (mantissa.back() == '.') mantissa.pop_back();
  }
  std::string exponent = text.substr(e + 1);
  const bool negative = exponent[0] == '-';
  exponent.erase(0, exponent.find_first_not_of("+-0"));
  if (exponent.empty()) return mantissa;
  return mantissa + "E" + (negative ? "-" : "") + exponent;
}

std::vector<std::string> tickLabels(const std::vector<double>& ticks) {
  double largest = 0.0;
  for (double t : ticks) largest = std::fmax(largest, std::fabs(t));
  const double step = ticks.size() > 1 ? std::fabs(ticks[1] - ticks[0]) : largest;
  const bool fixed = largest < 1e9 && (largest == 0.0 || step >= 1e-4) && decimalsFor(step) < 6;
  std::vector<std::string> labels;
  for (int digits = 0; digits <= 16; ++digits) {
    labels.clear();
    for (double t : ticks) labels.push_back(fixed ? formatNumber(t, decimalsFor(step)) : scientific(t, digits));
    bool distinct = true;
    for (std::size_t i = 1; i < labels.size(); ++i) distinct = distinct && labels[i] != labels[i - 1];
    if (fixed || distinct) break;
  }
  return labels;
}

std::string printedValue(double value, int width, int decimals) {
  char field[32];
  editFixed(value, width, decimals, field);
  std::string printed(field, static_cast<std::size_t>(width));
  printed.erase(0, printed.find_first_not_of(' '));
  const bool zero = printed.find_first_not_of("-0.") == std::string::npos;
  if (printed[0] != '*' && !(zero && value != 0.0)) return printed;
  return scientific(value, decimals);
}

}  // namespace slip::map
