// Numbers as the figure prints them: fixed decimals computed from integers,
// so that every build prints the same text for the same double.
#pragma once

#include <string>

namespace slip::map {

// `value` rounded to `decimals` (0..6) places, half away from zero, without
// trailing zeros or a trailing point, and "0" for anything that rounds to
// zero: formatNumber(12.5, 2) == "12.5", formatNumber(-0.001, 2) == "0".
// Values beyond 1e12 in magnitude are clamped to it.
std::string formatNumber(double value, int decimals);

// The decimals that show a multiple of the round `step` exactly (0 for 5,
// 1 for 0.5, 2 for 0.25), at most 6.
int decimalsFor(double step);

}  // namespace slip::map
