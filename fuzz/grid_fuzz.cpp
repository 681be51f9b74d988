// Feeds arbitrary text to slipdeform's --grid reader.
//
// A grid read has at least one node each way, at most 1e8 nodes, and its
// last node at its maximum within a millionth of a step; anything else is a
// mistake with a message.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "deform/points.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  slip::deform::GridSpec g;
  const std::string mistake = slip::deform::parseGrid(text, g);
  if (!mistake.empty()) return 0;
  if (g.columns < 1 || g.rows < 1 || static_cast<double>(g.columns) * static_cast<double>(g.rows) > 1e8) std::abort();
  if (std::fabs(g.lon(g.columns - 1) - g.lonMax) > 1.0e-6 * g.step + 1e-9 * std::fabs(g.lonMax)) std::abort();
  if (std::fabs(g.lat(g.rows - 1) - g.latMax) > 1.0e-6 * g.step + 1e-9 * std::fabs(g.latMax)) std::abort();
  return 0;
}
