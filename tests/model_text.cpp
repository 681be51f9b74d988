#include "model_text.h"

#include <cstdio>

namespace slip::testing {
namespace {

void samples(std::string& out, double value) {
  char field[32];
  for (int k = 1; k <= 49; ++k) {
    std::snprintf(field, sizeof field, " %.4f", value);
    out += field;
    if (k % 10 == 0 || k == 49) out += '\n';
  }
}

}  // namespace

std::string canonicalModel() {
  std::string out;
  out.reserve(1 << 20);
  char line[160];
  for (int iw = 1; iw <= 22; ++iw) {
    for (int il = 1; il <= 43; ++il) {
      std::snprintf(line, sizeof line, " %d %d %.2f %.2f 9\n 1 2 3 4 %.1f\n", il, -iw, 140 + il / 100.0,
                    35 - iw / 100.0, il + iw / 10.0);
      out += line;
      samples(out, 0.01 * il);
      out += "skipped record one\nskipped record two\n";
      samples(out, 0.02 * iw);
    }
  }
  return out;
}

}  // namespace slip::testing
