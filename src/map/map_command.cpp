#include "map/map_command.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "base/grid.h"
#include "check/model_check.h"
#include "check/model_file.h"
#include "cli/diagnostics.h"
#include "cli/exit_status.h"
#include "cli/file_system.h"
#include "cli/files.h"
#include "base/grid.h"
#include "map/contours.h"
#include "map/map_options.h"
#include "map/number_text.h"
#include "map/report_match.h"
#include "map/report_reader.h"
#include "map/source_panels.h"
#include "map/stations.h"
#include "map/svg_writer.h"

namespace slip::map {
namespace {

// A report is under 100 kB; anything past this is not one.
constexpr std::size_t kLargestReport = 64u << 20;

// Which of report and model was changed last, by their modification times:
// what a report that is not the model's most likely is.
std::string reportAge(const std::string& report, const std::string& model) {
  std::error_code failed;
  const auto reportTime = std::filesystem::last_write_time(report, failed);
  if (!failed) {
    const auto modelTime = std::filesystem::last_write_time(model, failed);
    if (!failed && reportTime < modelTime) {
      return "the report looks older than the model (it was modified before the model): run slipreport again";
    }
    if (!failed && modelTime < reportTime) {
      return "the report looks newer than the model (it was modified after the model), as if made from another "
             "model: run slipreport again on this one";
    }
  }
  return "the files' modification times do not tell which is older: run slipreport again on the model";
}

// The model's panels, when there is a model and the report is its own: nothing
// to go on, or the exit status of a model that a run would refuse (its located
// error, and no figure). `doubt` is set when the run must end with status 1:
// the model's warnings were said, or the report is not the model's.
std::optional<int> addModel(const std::string& model, const std::string& report, const ReportData& data,
                            FigureOptions& figure, bool& doubt) {
  if (model.empty()) return std::nullopt;
  auto grid = std::make_unique<SubfaultGrid>();
  // The report's rake of a negative 35-degree slip is drawn: its warning too.
  const check::KindSet kinds = check::kValuesInDoubt | check::kindBit(check::Kind::kNegativeSlip35);
  const source::ModelFile read = source::readModelFile(kProgram.name, model, *grid, kinds);
  if (read.exitStatus) return read.exitStatus;
  doubt = read.warned;
  if (const SlipDifference d = firstSlipDifference(data, *grid)) {
    char at[32];
    std::snprintf(at, sizeof at, "W%2d L%2d", d.iw, d.il);
    cli::writeDiagnostic(
        cli::renderDiagnostic({report}, cli::Severity::Warning,
                              "the report's slip is not the slip " + model + " composes: at " + at +
                                  " the report has " + d.report + " and the model " + d.model) +
        cli::renderDiagnostic({report}, cli::Severity::Note,
                              reportAge(report, model) + "; the figure leaves out the model's moment-rate panel "
                                                         "and fault outline"));
    figure.notes.push_back("Moment rate and fault outline of " + std::string(baseName(model)) + " left out: its slip differs from "
                           "the report's at " + at + "; run slipreport again");
    doubt = true;
    return std::nullopt;
  }
  SourcePanels panels = sourcePanels(*grid, std::string(baseName(model)));
  figure.moment = std::move(panels.moment);
  figure.outline = panels.outline;
  figure.notes = std::move(panels.notes);
  return std::nullopt;
}

int draw(const Settings& command) {
  const std::string target = command.output.empty() ? figurePathFor(command.report) : command.output;
  std::string model = command.model;
  if (model.empty()) {
    // The model beside the report, when there is one: a file that can be read.
    model = modelBeside(command.report);
    cli::fs::PathInfo info;
    if (!model.empty() && (cli::fs::inspect(model, info) != 0 || info.kind != cli::fs::Kind::Regular)) model.clear();
  }
  std::vector<std::string> inputs = {command.report};
  if (!command.displacement.empty()) inputs.push_back(command.displacement);
  const std::string targets[] = {target};
  const std::string clash = cli::checkTargets(inputs, targets);
  if (!clash.empty()) return cli::usageMistake(kProgram, clash);
  // The model is an input too, though the user may not have named it.
  if (const std::string models[] = {model}; !model.empty() && !cli::checkTargets(models, targets).empty()) {
    return cli::usageMistake(kProgram, "the output '" + target + "' is the model '" + model +
                                           "', read for the moment-rate panel: give another output");
  }
  const std::string unwritable = cli::checkWritable(targets);
  if (!unwritable.empty()) {
    cli::reportError(kProgram.name, unwritable);
    return cli::kExitFailed;
  }
  std::string bytes;
  const std::string unread = cli::readInput(command.report, bytes, kLargestReport);
  if (!unread.empty()) {
    // slipreport's report not written yet: the run it needs comes first.
    cli::fs::PathInfo info;
    const bool notYet = baseName(command.report) == "rateA-out4.csv" && cli::fs::inspect(command.report, info) == 0 &&
                        info.kind == cli::fs::Kind::Missing;
    const char* nextStep = notYet ? ": slipreport writes it; run slipreport on the model first" : "";
    cli::reportError(kProgram.name, unread + nextStep);
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
                             "--contour " + command.contour + " gives more than " + std::to_string(kMaxContourLines) +
                                 " contour lines over the report's rupture times");
  }
  FigureOptions figure = command.figure;
  if (!command.displacement.empty()) {
    std::string text;
    const std::string failed = cli::readInput(command.displacement, text, kLargestReport);
    if (!failed.empty()) {
      cli::reportError(kProgram.name, failed);
      return cli::kExitFailed;
    }
    StationError bad;
    if (!readStations(text, figure.stations, bad)) {
      std::string_view body = text;
      if (body.starts_with("\xEF\xBB\xBF")) body.remove_prefix(3);
      cli::writeDiagnostic(cli::renderDiagnostic({command.displacement, bad.line, bad.column, 0},
                                                 cli::Severity::Error, bad.message, {}, cli::lineOf(body, bad.line)));
      return cli::kExitFailed;
    }
  }
  bool doubt = false;
  if (const auto refused = addModel(model, command.report, *data, figure, doubt)) return *refused;
  const std::string svg = writeSvg(layoutFigure(*data, figure));
  if (target == "-") {
    cli::standardOutput().writeBytes(svg);  // finished, and a failure said, as the run ends
    return doubt ? cli::kExitWarnings : cli::kExitDone;
  }
  const std::string written = cli::writeOutput(target, svg);
  if (!written.empty()) {
    cli::reportError(kProgram.name, written);
    return cli::kExitFailed;
  }
  return doubt ? cli::kExitWarnings : cli::kExitDone;
}

}  // namespace

int runMap(int argc, char** argv) {
  cli::installInterruptCleanup();
  return cli::runCompanion(kProgram, argc, argv, readSettings, draw);
}

}  // namespace slip::map
