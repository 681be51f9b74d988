// Fixed-width fields for the report: pure functions, no I/O, no allocation.
//
// A field is always exactly w characters: right-aligned, blanks on the left,
// "-" before a negative value, never a "+", never exponent notation; a value
// that does not fit becomes w asterisks, so a record never changes length.
#pragma once

namespace slip {

// Writes exactly w characters (w >= 1) to out: value right-aligned, blanks on
// the left, "-" for negatives, w asterisks when it does not fit.
//   editInteger(0, 2)   -> " 0"    editInteger(43, 2) -> "43"
//   editInteger(7, 2)   -> " 7"    editInteger(-5, 2) -> "-5"
//   editInteger(100, 2) -> "**"    editInteger(-10, 2) -> "**"
void editInteger(int value, int w, char* out);

// Writes exactly w characters (w >= 1, d >= 0) to out: the value in fixed
// notation with d decimals, right-aligned; asterisks when it does not fit.
//
// The digits are those of printf's "%#.*f" on the magnitude (correctly
// rounded, ties to even, the point kept even when d = 0, "inf"/"nan" for
// non-finite values). Then:
//  - a negative value that rounds to zero loses its minus sign;
//  - when the text is one character too long and begins with "0", that zero
//    is dropped (only in fields narrower than d + 3);
//  - any other text too long for the field gives w asterisks.
//   editFixed(0.5, 10, 5)           -> "   0.50000"
//   editFixed(-0.0, 10, 5)          -> "   0.00000"
//   editFixed(-0.000004, 10, 5)     -> "   0.00000"
//   editFixed(-0.000006, 10, 5)     -> "  -0.00001"
//   editFixed(140.123456789, 12, 7) -> " 140.1234568"
//   editFixed(-179.9999999, 10, 5)  -> "-180.00000"
//   editFixed(9999.999996, 10, 5)   -> "**********"
//   editFixed(-1000.0, 12, 7)       -> "************"
//   editFixed(1.0e300, 10, 5)       -> "**********"
//   editFixed(-0.5, 8, 6)           -> "-.500000"
//   editFixed(0.5, 7, 6)            -> ".500000"
//   editFixed(-0.5, 7, 6)           -> "*******"
// Any d is exact: a double has at most 1074 decimals, so digits beyond those
// are zeros. A negative d gives asterisks; w < 1 writes nothing.
void editFixed(double value, int w, int d, char* out);

}  // namespace slip
