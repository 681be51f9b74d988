// Numbers as the figure prints them: fixed decimals computed from integers,
// so that every build prints the same text for the same double.
#pragma once

#include <string>
#include <vector>

namespace slip::map {

// `value` rounded to `decimals` (0..6) places, half away from zero, without
// trailing zeros or a trailing point, and "0" for anything that rounds to
// zero: formatNumber(12.5, 2) == "12.5", formatNumber(-0.001, 2) == "0".
// Values beyond 1e12 in magnitude are clamped to it.
std::string formatNumber(double value, int decimals);
// The same, appended to `out`.
void appendNumber(std::string& out, double value, int decimals);

// The decimals that show a multiple of the round `step` exactly (0 for 5,
// 1 for 0.5, 2 for 0.25), at most 6.
int decimalsFor(double step);

// Labels for the round values `ticks` (ascending, a constant step apart),
// all distinct: fixed decimals while the values lie between 1e-4 and 1e9 and
// the step needs at most 6 decimals ({0, 2.5, 5} -> "0", "2.5", "5"), else
// scientific with as few mantissa digits as tell them apart ({0, 5e-301,
// 1e-300} -> "0", "5E-301", "1E-300").
std::vector<std::string> tickLabels(const std::vector<double>& ticks);

// `value` in scientific notation with `digits` after the point, trailing
// zeros and the exponent's '+' and leading zeros dropped: 1.5e-300 -> "1.5E-300".
std::string scientific(double value, int digits);

// `value` as the report prints it in a field of `width` with `decimals`,
// without its blanks ("7.21353"); in scientific notation when the field would
// hold asterisks, or a zero for a value that is not one (1e-300 -> "1E-300").
std::string printedValue(double value, int width, int decimals);

}  // namespace slip::map
