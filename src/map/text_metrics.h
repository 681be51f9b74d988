// How much room text takes: advance widths of DejaVu Sans (the widest of the
// common sans-serif faces a browser picks for "sans-serif"), so that a box
// computed here holds the text in any of them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "map/figure.h"

namespace slip::map {

// The advance width of `text` (UTF-8) at font size `size`.
double textWidth(std::string_view text, double size, bool bold = false);

// The box a mark covers: a text's from its ascent to its descent, rotated
// with it; any other mark's from its points (and half its stroke).
Box markBox(const Mark& mark);

// `text` broken at blanks into lines no wider than `width` (a word wider
// than that is broken where it must be); at least one line.
std::vector<std::string> wrapText(std::string_view text, double size, bool bold, double width);

}  // namespace slip::map
