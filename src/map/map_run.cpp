#include "map/map_run.h"

#include <memory>
#include <string>
#include <vector>

#include "cli/diagnostics.h"
#include "cli/exit_status.h"
#include "cli/files.h"
#include "map/command_line.h"
#include "map/contours.h"
#include "map/number_text.h"
#include "map/report_reader.h"
#include "map/svg_writer.h"

namespace slip::map {
namespace {

// A report is under 100 kB; anything past this is not one.
constexpr std::size_t kLargestReport = 64u << 20;

int draw(const Command& command) {
  const std::string target = command.output.empty() ? figurePathFor(command.report) : command.output;
  const std::string inputs[] = {command.report};
  const std::string targets[] = {target};
  const std::string clash = cli::checkTargets(inputs, targets);
  if (!clash.empty()) return cli::usageMistake(kProgram, clash);
  std::string bytes;
  const std::string unread = cli::readInput(command.report, bytes, kLargestReport);
  if (!unread.empty()) {
    cli::reportError(kProgram.name, unread);
    return cli::kExitFailed;
  }
  // Heap-held: the report's values are some 70 kB.
  auto data = std::make_unique<ReportData>();
  ReadError error;
  if (!readReport(bytes, *data, error)) {
    const cli::Place place{command.report, error.line, error.column, error.column};
    cli::writeDiagnostic(cli::renderDiagnostic(place, cli::Severity::Error, error.message, {},
                                               cli::lineOf(bytes, error.line)));
    return cli::kExitFailed;
  }
  const Summary summary = summarize(*data);
  const double step = isochroneStep(summary, command.figure.contourStep);
  if (contourLevels(summary.minTime, summary.maxTime, step, kMaxContourLines + 1).size() > kMaxContourLines) {
    return cli::usageMistake(kProgram,
                             "--contour " + formatNumber(step, decimalsFor(step)) + " gives more than 200 contour lines");
  }
  const std::string written = cli::writeOutput(target, writeSvg(layoutFigure(*data, command.figure)));
  if (!written.empty()) {
    cli::reportError(kProgram.name, written);
    return cli::kExitFailed;
  }
  return cli::kExitDone;
}

}  // namespace

int runSlipmap(int argc, char** argv) {
  cli::installInterruptCleanup();
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  const Command command = parseCommandLine(args);
  const int settled = cli::settleCommandLine(kProgram, command.line);
  if (settled >= 0) return settled;
  return draw(command);
}

}  // namespace slip::map
