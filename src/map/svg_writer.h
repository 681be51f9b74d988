// Emits a laid-out figure as one self-contained SVG 1.1 document: no script,
// no external reference, generic font families, coordinates to 2 decimals.
#pragma once

#include <string>
#include <string_view>

#include "map/figure.h"

namespace slip::map {

std::string writeSvg(const Figure& figure);

// `text` as XML character data: markup characters escaped, and every byte
// that is not part of valid UTF-8 or is a control character other than tab
// and line feed replaced by '?'.
std::string xmlText(std::string_view text);
// The same, appended to `out` in one pass.
void appendXmlText(std::string& out, std::string_view text);

}  // namespace slip::map
