#include "science/colour_scale.h"

#include <cmath>
#include <iterator>

namespace slip {
namespace {

// viridis (Stéfan van der Walt and Nathaniel Smith, matplotlib 1.5, CC0),
// at 11 even steps from 0 to 1.
constexpr Colour kControls[] = {
    {0x44, 0x01, 0x54}, {0x48, 0x24, 0x75}, {0x41, 0x44, 0x87}, {0x35, 0x5f, 0x8d},
    {0x2a, 0x78, 0x8e}, {0x21, 0x91, 0x8c}, {0x22, 0xa8, 0x84}, {0x44, 0xbf, 0x70},
    {0x7a, 0xd1, 0x51}, {0xbd, 0xdf, 0x26}, {0xfd, 0xe7, 0x25},
};
constexpr int kSteps = sizeof kControls / sizeof kControls[0] - 1;

std::uint8_t mix(std::uint8_t a, std::uint8_t b, double f) {
  return static_cast<std::uint8_t>(std::lround(a + (b - a) * f));
}

}  // namespace

Colour scaleColour(double t) {
  if (!(t > 0.0)) return kControls[0];
  if (t >= 1.0) return kControls[kSteps];
  const double at = t * kSteps;
  const int i = static_cast<int>(at);
  const double f = at - i;
  const Colour& a = kControls[i];
  const Colour& b = kControls[i + 1];
  return {mix(a.r, b.r, f), mix(a.g, b.g, f), mix(a.b, b.b, f)};
}

std::vector<Colour> scaleControls() { return {std::begin(kControls), std::end(kControls)}; }

double scalePosition(double value, double low, double high) {
  // Halved first, so that the differences of opposite extremes stay finite.
  const double span = high / 2 - low / 2;
  if (!(span > 0.0) || !std::isfinite(span)) return 0.0;
  const double t = (value / 2 - low / 2) / span;
  return t < 0.0 ? 0.0 : t > 1.0 ? 1.0 : t;
}

Colour slipColour(double value, double low, double high) { return scaleColour(scalePosition(value, low, high)); }

}  // namespace slip
