// Fixed-width fields for the report: pure functions, no I/O, no allocation.
#pragma once

namespace slip {

// Writes exactly w characters (w >= 1) to out: value right-aligned, blanks on
// the left, "-" for negatives, w asterisks when it does not fit.
//   editInteger(7, 2) -> " 7"   editInteger(-5, 2) -> "-5"   editInteger(100, 2) -> "**"
void editInteger(int value, int w, char* out);

// Writes exactly w characters (w >= 1, d >= 0) to out: the value in fixed
// notation with d decimals, right-aligned; asterisks when it does not fit.
void editFixed(double value, int w, int d, char* out);

}  // namespace slip
