#include "map/command_line.h"

#include <charconv>
#include <cmath>

namespace slip::map {

const char kUsage[] =
    "usage: slipmap [--contour SECONDS] [--no-arrows] [--title TEXT] [--width PIXELS] [-o FILE] [REPORT]\n";

const char kHelp[] =
    "usage: slipmap [options] [REPORT]\n"
    "\n"
    "Draws a slipreport report (default rateA-out4.csv) as one SVG figure: slip\n"
    "on the fault plane with rake arrows and rupture-time contours, and the same\n"
    "slip in map view. The figure goes beside the report with the extension .svg.\n"
    "\n"
    "options:\n"
    "  -o FILE            write the figure to FILE ('-' for standard output)\n"
    "  --contour SECONDS  the interval between rupture-time contours (default: a\n"
    "                     round interval giving about 4 to 10 lines; at most 200)\n"
    "  --no-arrows        leave out the rake arrows\n"
    "  --title TEXT       the title's first words instead of the report's name\n"
    "  --width PIXELS     the figure's width, 100 to 20000 (default 1000)\n"
    "  --help             show this help and exit\n"
    "  --version          show the version and exit\n"
    "\n"
    "exit status: 0 figure written, 2 bad or unreadable report or unwritable\n"
    "figure (nothing is written), 64 a command-line mistake.\n";

namespace {

bool parseNumber(const std::string& text, double& value) {
  const char* end = text.data() + text.size();
  auto [stop, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && stop == end && std::isfinite(value);
}

bool parseWidth(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  auto [stop, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && stop == end && value >= 100 && value <= 20000;
}

Command mistake(std::string message) {
  Command c;
  c.action = Action::Mistake;
  c.mistake = std::move(message);
  return c;
}

// Applies an option that takes a value; returns the mistake, or "".
std::string applyValue(Command& c, const std::string& name, const std::string& value) {
  if (name == "-o") {
    if (value.empty()) return "-o needs a file name";
    c.output = value;
  } else if (name == "--contour") {
    if (!parseNumber(value, c.figure.contourStep) || !(c.figure.contourStep > 0.0))
      return "--contour needs a number of seconds above 0, not '" + value + "'";
  } else if (name == "--title") {
    c.figure.title = value;
  } else if (!parseWidth(value, c.figure.pixelWidth)) {
    return "--width needs a whole number of pixels from 100 to 20000, not '" + value + "'";
  }
  return "";
}

bool takesValue(const std::string& name) {
  return name == "-o" || name == "--contour" || name == "--title" || name == "--width";
}

}  // namespace

Command parseCommandLine(const std::vector<std::string>& args) {
  Command c;
  bool haveReport = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    if (arg == "--help") return Command{Action::Help, {}, {}, {}, {}};
    if (arg == "--version") return Command{Action::Version, {}, {}, {}, {}};
    if (arg == "--no-arrows") {
      c.figure.arrows = false;
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string name = arg.rfind("--", 0) == 0 && equals != std::string::npos ? arg.substr(0, equals) : arg;
    if (takesValue(name)) {
      std::string value;
      if (name != arg) {
        value = arg.substr(equals + 1);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        return mistake(name + " needs a value");
      }
      std::string problem = applyValue(c, name, value);
      if (!problem.empty()) return mistake(problem);
      continue;
    }
    if (arg.size() > 1 && arg[0] == '-') return mistake("unknown option '" + arg + "'");
    if (haveReport) return mistake("one report at a time: '" + arg + "' is a second");
    c.report = arg;
    haveReport = true;
  }
  c.figure.name = baseName(c.report);
  return c;
}

std::string baseName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string figurePathFor(const std::string& report) {
  const std::size_t slash = report.find_last_of("/\\");
  const std::size_t dot = report.rfind('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  return (hasExtension ? report.substr(0, dot) : report) + ".svg";
}

}  // namespace slip::map
