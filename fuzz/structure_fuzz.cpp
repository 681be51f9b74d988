// Feeds arbitrary bytes to slipsource's structure reader.
//
// A text is either layers or one error, never both. Layers hold positive,
// finite rigidities with tops growing down; an error's place lies on a line
// the text has, within that line (or just past its end).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "science/structure.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<slip::source::Layer> layers;
  const slip::source::StructureError error = slip::source::parseStructure(text, layers);
  if (error) {
    if (error.line == 0) {
      if (error.column != 0) std::abort();
      return 0;
    }
    // The line's length, with LF, CR LF and a lone CR ending lines.
    long long line = 1, length = 0;
    for (std::size_t i = 0; i < size && line <= error.line; ++i) {
      const char c = text[i];
      if (c == '\n' || c == '\r') {
        if (c == '\r' && i + 1 < size && text[i + 1] == '\n') ++i;
        if (line == error.line) break;
        ++line;
        length = 0;
      } else if (line == error.line) {
        ++length;
      }
    }
    if (line != error.line || error.column < 1 || error.column > length + 1 || error.lastColumn > length + 1) {
      std::abort();
    }
    return 0;
  }
  if (layers.empty()) std::abort();
  double top = 0.0;
  for (const slip::source::Layer& layer : layers) {
    if (!(layer.rigidity > 0.0) || !std::isfinite(layer.rigidity) || layer.top != top) std::abort();
    top += layer.thickness;
  }
  for (double depth : {0.0, layers.back().top, top, 1e9}) {
    const double mu = slip::source::rigidityAt(layers, depth);
    if (!(mu > 0.0)) std::abort();
  }
  return 0;
}
