// The slip colour scale: viridis, perceptually uniform and readable with the
// common colour-vision deficiencies, from 0 to the largest slip.
#pragma once

#include <cstdint>

namespace slip::map {

struct Colour {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Colour&) const = default;
};

// The colour of "no value" cells: a neutral grey outside the scale.
inline constexpr Colour kNoValueColour{153, 153, 153};

// The scale's colour at t in [0, 1] (clamped; NaN gives the bottom colour),
// interpolated linearly between the control colours.
Colour scaleColour(double t);

// The colour of `value` on a scale from 0 to `top`. A top of 0 or less, or
// one that is not finite, draws every value in the bottom colour.
Colour slipColour(double value, double top);

}  // namespace slip::map
