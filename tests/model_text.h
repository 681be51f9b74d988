// Model files written by the tests themselves.
#pragma once

#include <string>

namespace slip::testing {

// A complete, valid model in the canonical layout (946 groups of 14 records,
// one record a line, LF line ends); see reader_support.h for its values.
std::string canonicalModel();

}  // namespace slip::testing
