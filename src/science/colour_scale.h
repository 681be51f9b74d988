// The slip colour scale: viridis, perceptually uniform and readable with the
// common colour-vision deficiencies, from 0 (or the smallest slip, when one
// is negative) to the largest slip.
#pragma once

#include <cstdint>
#include <vector>

namespace slip {

struct Colour {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Colour&) const = default;
};

// The colour of "no value" cells: a neutral grey outside the scale.
inline constexpr Colour kNoValueColour{153, 153, 153};

// The scale's colour at t in [0, 1] (clamped; NaN gives the bottom colour),
// interpolated linearly between the control colours.
Colour scaleColour(double t);

// The scale's control colours, evenly spaced from t = 0 to t = 1: a linear
// gradient through them is the scale.
std::vector<Colour> scaleControls();

// Where `value` lies on a scale from `low` to `high`, from 0 to 1 (clamped);
// 0 when the scale has no width or is not finite. Exact for any finite
// doubles, 1e300 and -1e300 included.
double scalePosition(double value, double low, double high);

// The colour of `value` on a scale from `low` to `high`.
Colour slipColour(double value, double low, double high);

}  // namespace slip
