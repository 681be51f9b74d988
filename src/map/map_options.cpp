#include "map/map_options.h"

namespace slip::map {
namespace {

enum OptionId { kOutput, kContour, kNoArrows, kTitle, kWidth, kModel, kDisplacement };

constexpr cli::Option kOptions[] = {
    {'o', "output", "FILE", "write the figure to FILE ('-' for standard output)", kOutput},
    {0, "contour", "SECONDS", "the interval between rupture-time contours (default: a\nround interval giving about 4 to 10 lines; at most 200)", kContour},
    {0, "no-arrows", nullptr, "leave out the rake arrows", kNoArrows},
    {0, "title", "TEXT", "the title's first words instead of the report's name", kTitle},
    {0, "width", "PIXELS", "the figure's width, 100 to 20000 (default 1000)", kWidth},
    {0, "model", "FILE", "the model for the moment-rate panel and the fault's outline\n(default: rateA.dat beside the report, when it is there)", kModel},
    {0, "displacement", "FILE", "draw the stations' ground displacement from FILE (slipdeform's\nstation CSV) on the map view", kDisplacement},
};

}  // namespace

const cli::Program kProgram = {
    "slipmap",
    "[REPORT]",
    1,
    "Draws a slipreport report (default rateA-out4.csv) as one SVG figure: slip\n"
    "on the fault plane with rake arrows and rupture-time contours, and the same\n"
    "slip in map view. The figure goes beside the report with the extension .svg.\n"
    "With the model at hand, a moment-rate panel (slipsource's moment, rigidity\n"
    "3.0e10 Pa) goes below them, and the fault's outline and strike on the map.\n",
    kOptions,
    "exit status: 0 figure written, 1 figure written but look at the warnings\n"
    "(the model's, or a report that is not the model's), 2 bad or unreadable\n"
    "report or unwritable figure (nothing is written), 64 a command-line mistake.\n",
    "draw a slipreport report as an SVG figure of the fault plane and the map view",
};

std::string readSettings(const cli::CommandLine& line, Settings& c) {
  for (const cli::GivenOption& option : line.options) {
    const std::string& value = option.value;
    switch (option.id) {
      case kOutput: c.output = value; break;
      case kContour:
        if (!cli::parseNumber(value, c.figure.contourStep) || !(c.figure.contourStep > 0.0))
          return option.name + " needs a number of seconds above 0, not '" + value + "'";
        c.contour = value;
        break;
      case kNoArrows: c.figure.arrows = false; break;
      case kTitle: c.figure.title = value; break;
      case kModel: c.model = value; break;
      case kDisplacement: c.displacement = value; break;
      case kWidth: {
        long long width = 0;
        if (!cli::parseInteger(value, width) || width < 100 || width > 20000)
          return option.name + " needs a whole number of pixels from 100 to 20000, not '" + value + "'";
        c.figure.pixelWidth = static_cast<int>(width);
        break;
      }
      default: break;
    }
  }
  if (!line.operands.empty()) c.report = line.operands.front();
  c.figure.name = baseName(c.report);
  return {};
}

std::string modelBeside(const std::string& report) {
  if (report == "-") return {};
  const std::size_t slash = report.find_last_of("/\\");
  return (slash == std::string::npos ? std::string() : report.substr(0, slash + 1)) + "rateA.dat";
}

std::string figurePathFor(const std::string& report) {
  // A dot that begins the name (".run1") is no extension.
  const std::size_t slash = report.find_last_of("/\\");
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = report.rfind('.');
  const bool hasExtension = dot != std::string::npos && dot > nameStart;
  return (hasExtension ? report.substr(0, dot) : report) + ".svg";
}

}  // namespace slip::map
