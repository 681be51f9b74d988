// Feeds arbitrary bytes to slipmap's report reader; whatever reads as a
// report is laid out (at a width the input's size picks, 100 to 4000
// pixels) and written as SVG, which must hold no NaN or infinity.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "map/figure_layout.h"
#include "map/report_reader.h"
#include "map/svg_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static auto report = std::make_unique<slip::map::ReportData>();
  slip::map::ReadError error;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (!slip::map::readReport(text, *report, error)) {
    if (error.line < 1 || error.column < 1 || error.message.empty()) std::abort();
    return 0;
  }
  slip::map::FigureOptions options;
  options.pixelWidth = 100 + static_cast<int>(size % 3901);
  const std::string svg = slip::map::writeSvg(slip::map::layoutFigure(*report, options));
  if (svg.find("nan") != std::string::npos || svg.find("inf") != std::string::npos) std::abort();
  return 0;
}
