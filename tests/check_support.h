// Checking model texts in memory, and editing the tests' canonical model by lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "check/model_check.h"

namespace slip::testing {

struct Checked {
  std::string out;
  check::CheckResult result;
};

// Checks `model` as slipcheck checks a file named rateA.dat, with the source
// refilled at most `chunk` bytes at a time.
Checked checkText(std::string_view model, check::CheckOptions options = {},
                  std::size_t chunk = static_cast<std::size_t>(-1));

// The canonical model as lines (no line feeds), and back.
std::vector<std::string> canonicalLines();
std::string joinLines(const std::vector<std::string>& lines);

// The first line of `text` that contains `what`, or "".
std::string lineWith(const std::string& text, std::string_view what);

}  // namespace slip::testing
