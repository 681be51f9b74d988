#include "map/map_run.h"

#include <memory>
#include <string>
#include <vector>

#include "cli/diagnostics.h"
#include "cli/exit_status.h"
#include "cli/file_system.h"
#include "cli/files.h"
#include "compose/slip_composer.h"
#include "driver/grid.h"
#include "map/command_line.h"
#include "map/contours.h"
#include "map/number_text.h"
#include "map/report_reader.h"
#include "map/source_panels.h"
#include "map/svg_writer.h"
#include "source/model_file.h"

namespace slip::map {
namespace {

// A report is under 100 kB; anything past this is not one.
constexpr std::size_t kLargestReport = 64u << 20;

// The model's panels, when there is a model: -1 to go on, or the exit status
// of a model that a run would refuse (its located error, and no figure).
int addModel(const std::string& model, FigureOptions& figure) {
  if (model.empty()) return -1;
  auto grid = std::make_unique<SubfaultGrid>();
  const int read = source::readModelFile(kProgram.name, model, *grid);
  if (read >= 0) return read;
  composeGrid(*grid);
  SourcePanels panels = sourcePanels(*grid, baseName(model));
  figure.moment = std::move(panels.moment);
  figure.outline = panels.outline;
  figure.notes = std::move(panels.notes);
  return -1;
}

int draw(const Command& command) {
  const std::string target = command.output.empty() ? figurePathFor(command.report) : command.output;
  std::string model = command.model;
  if (model.empty()) {
    // The model beside the report, when there is one: a file that can be read.
    model = modelBeside(command.report);
    cli::fs::PathInfo info;
    if (!model.empty() && (cli::fs::inspect(model, info) != 0 || info.kind != cli::fs::Kind::Regular)) model.clear();
  }
  std::vector<std::string> inputs = {command.report};
  if (!model.empty()) inputs.push_back(model);
  const std::string targets[] = {target};
  const std::string clash = cli::checkTargets(inputs, targets);
  if (!clash.empty()) return cli::usageMistake(kProgram, clash);
  const std::string unwritable = cli::checkWritable(targets);
  if (!unwritable.empty()) {
    cli::reportError(kProgram.name, unwritable);
    return cli::kExitFailed;
  }
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
    // Columns count from after a byte-order mark, and so does the excerpt.
    std::string_view text = bytes;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    const cli::Place place{command.report, error.line, error.column, error.lastColumn};
    cli::writeDiagnostic(cli::renderDiagnostic(place, cli::Severity::Error, error.message, {},
                                               cli::lineOf(text, error.line)));
    return cli::kExitFailed;
  }
  const Summary summary = summarize(*data);
  const double step = isochroneStep(summary, command.figure.contourStep);
  if (contourLevels(summary.minTime, summary.maxTime, step, kMaxContourLines + 1).size() > kMaxContourLines) {
    return cli::usageMistake(kProgram,
                             "--contour " + formatNumber(step, decimalsFor(step)) + " gives more than 200 contour lines");
  }
  FigureOptions figure = command.figure;
  const int modelRead = addModel(model, figure);
  if (modelRead >= 0) return modelRead;
  const std::string written = cli::writeOutput(target, writeSvg(layoutFigure(*data, figure)));
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
