// Numbers as printf prints them, for slipsource's exchange files and
// slipmap's figures: std::to_chars and the report's field editor, so that
// neither the locale nor the platform's C library changes a byte (the
// Windows build uses the same libstdc++ code). Each appends to `out`.
//
//   appendFixed(out, -110.5, 6)        -> "-110.500000"
//   appendFixed(out, -0.0000001, 6)    -> "0.000000"   (no minus before a zero)
//   appendGeneral(out, 0.123, 9)       -> "0.123"      (printf's %.9g)
//   appendGeneral(out, 3.0e10, 9)      -> "3e+10"
//   appendScientific(out, 1.5e20, 9)   -> "1.500000000e+20"
//
// A value that is not finite prints as to_chars gives it ("inf", "nan"); the
// JSON writer checks finiteness itself.
#pragma once

#include <string>

namespace slip {

void appendFixed(std::string& out, double value, int decimals);
void appendGeneral(std::string& out, double value, int significant);
void appendScientific(std::string& out, double value, int decimals);
void appendInteger(std::string& out, long long value);

}  // namespace slip
