// Model files written by the tests themselves.
#pragma once

#include <string>

namespace slip::testing {

// A complete model in the canonical layout (946 groups of 14 records, LF
// line ends) whose values follow simple rules of (il, iw): a1 = (il, -iw,
// 140 + il/100, 35 - iw/100, 9), a2 = (1, 2, 3, 4, il + iw/10), every 35-degree
// sample 0.01 * il, every 125-degree sample 0.02 * iw.
std::string canonicalModel();

}  // namespace slip::testing
