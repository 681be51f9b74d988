#include "map/map_run.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "driver/platform.h"
#include "map/command_line.h"
#include "map/contours.h"
#include "map/number_text.h"
#include "map/report_reader.h"
#include "map/svg_writer.h"

namespace slip::map {
namespace {

// A report is under 100 kB; anything past this is not one.
constexpr std::size_t kLargestReport = 64u << 20;

void say(const std::string& text) { platform::writeError(text.data(), text.size()); }

void sayLine(const std::string& text) { say(text + "\n"); }

bool readWhole(const std::string& path, std::string& bytes) {
  int error = 0;
  const int handle = platform::openFile(path.c_str(), platform::OpenMode::Read, &error);
  if (handle < 0) {
    sayLine(path + ": error: cannot read the report: " + platform::errorText(error));
    return false;
  }
  char buffer[1 << 16];
  for (;;) {
    const long n = platform::readFile(handle, buffer, sizeof buffer, &error);
    if (n < 0) sayLine(path + ": error: cannot read the report: " + platform::errorText(error));
    if (n > 0 && bytes.size() + static_cast<std::size_t>(n) > kLargestReport)
      sayLine(path + ": error: expected a report, found a file of more than 64 MiB");
    if (n <= 0 || bytes.size() + static_cast<std::size_t>(n) > kLargestReport) {
      platform::closeFile(handle, &error);
      return n == 0;
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
}

// Writes a temporary file beside `path` and puts it in its place only once
// it is complete, so that a failed run leaves any older figure as it was.
bool writeFigure(const std::string& path, const std::string& svg) {
  int error = 0;
  if (path == "-") {
    const int out = platform::standardOutput();
    if (platform::writeFile(out, svg.data(), svg.size(), &error) == svg.size()) return true;
    sayLine("-: error: cannot write the figure to standard output: " + std::string(platform::errorText(error)));
    return false;
  }
  const std::string temporary = path + ".tmp";
  const int handle = platform::openFile(temporary.c_str(), platform::OpenMode::Write, &error);
  bool done = handle >= 0 && platform::writeFile(handle, svg.data(), svg.size(), &error) == svg.size();
  if (handle >= 0) done = platform::closeFile(handle, &error) && done;
  done = done && platform::replaceFile(temporary.c_str(), path.c_str(), &error);
  if (!done) {
    if (handle >= 0) platform::removeFile(temporary.c_str());
    sayLine(path + ": error: cannot write the figure: " + platform::errorText(error));
  }
  return done;
}

int usageMistake(const std::string& message) {
  sayLine("slipmap: error: " + message);
  say(kUsage);
  return kExitUsage;
}

int draw(const Command& command) {
  const std::string target = command.output.empty() ? figurePathFor(command.report) : command.output;
  if (target == command.report) return usageMistake("the figure would replace the report '" + target + "'");
  std::string bytes;
  if (!readWhole(command.report, bytes)) return kExitBadInput;
  // Heap-held: the report's values are some 70 kB.
  auto data = std::make_unique<ReportData>();
  ReadError error;
  if (!readReport(bytes, *data, error)) {
    sayLine(command.report + ":" + std::to_string(error.line) + ":" + std::to_string(error.column) +
            ": error: " + error.message);
    return kExitBadInput;
  }
  const Summary summary = summarize(*data);
  const double step = isochroneStep(summary, command.figure.contourStep);
  if (contourLevels(summary.minTime, summary.maxTime, step, kMaxContourLines + 1).size() > kMaxContourLines) {
    return usageMistake("--contour " + formatNumber(step, decimalsFor(step)) + " gives more than 200 contour lines");
  }
  const std::string svg = writeSvg(layoutFigure(*data, command.figure));
  return writeFigure(target, svg) ? kExitDrawn : kExitBadInput;
}

}  // namespace

int runSlipmap(int argc, char** argv) {
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
  const Command command = parseCommandLine(args);
  switch (command.action) {
    case Action::Help: {
      int error = 0;
      platform::writeFile(platform::standardOutput(), kHelp, std::strlen(kHelp), &error);
      return kExitDrawn;
    }
    case Action::Version: {
      const std::string text = std::string("slipmap ") + SLIP_VERSION + "\n";
      int error = 0;
      platform::writeFile(platform::standardOutput(), text.data(), text.size(), &error);
      return kExitDrawn;
    }
    case Action::Mistake: return usageMistake(command.mistake);
    case Action::Draw: break;
  }
  return draw(command);
}

}  // namespace slip::map
