#include "map/number_text.h"

#include <cmath>

namespace slip::map {

std::string formatNumber(double value, int decimals) {
  if (decimals < 0) decimals = 0;
  if (decimals > 6) decimals = 6;
  if (!(value > -1e12)) value = -1e12;  // NaN too: never printed as such
  if (value > 1e12) value = 1e12;
  long long scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  const long long units = std::llround(value * static_cast<double>(scale));
  const unsigned long long magnitude = static_cast<unsigned long long>(units < 0 ? -units : units);
  std::string digits = std::to_string(magnitude / static_cast<unsigned long long>(scale));
  std::string fraction = std::to_string(magnitude % static_cast<unsigned long long>(scale) + static_cast<unsigned long long>(scale)).substr(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  std::string text = units < 0 ? "-" + digits : digits;
  return fraction.empty() ? text : text + "." + fraction;
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

}  // namespace slip::map
