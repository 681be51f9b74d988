#include "source/source_command.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/grid.h"
#include "base/platform.h"
#include "check/model_file.h"
#include "cli/diagnostics.h"
#include "cli/exit_status.h"
#include "cli/files.h"
#include "cli/options.h"
#include "science/geometry.h"
#include "science/moment.h"
#include "science/structure.h"
#include "source/exchange_files.h"
#include "base/grid.h"
#include "base/platform.h"
#include "check/model_file.h"
#include "source/source_options.h"
#include "source/source_text.h"

namespace slip::source {
namespace {

constexpr std::size_t kLargestStructure = 16u << 20;  // a few hundred bytes is usual

// A rupture time refused: said at its place in the model file, as the reading noted it.
int refuseRuptureTime(const std::string& name, const SourceProblem& p, const std::vector<check::ValuePlace>& places) {
  char context[160];
  std::snprintf(context, sizeof context, "in subfault W%2d L%2d (group %d of %d), the fifth value of its second "
                "header record", p.iw, p.il, subfaultIndex(p.il, p.iw) + 1, kSubfaults);
  const std::size_t group = static_cast<std::size_t>(subfaultIndex(p.il, p.iw));
  if (group < places.size() && places[group].line > 0) {
    const check::ValuePlace& at = places[group];
    cli::writeDiagnostic(cli::renderDiagnostic({name, at.line, at.column, at.lastColumn}, cli::Severity::Error,
                                               p.message, context, at.text));
  } else {
    cli::writeDiagnostic(cli::renderDiagnostic({name}, cli::Severity::Error, p.message, context));
  }
  return cli::kExitFailed;
}

int refuse(const std::string& name, const SourceProblem& p, const std::vector<check::ValuePlace>& ruptureTimes) {
  if (p.ruptureTime) return refuseRuptureTime(name, p, ruptureTimes);
  cli::writeDiagnostic(cli::renderDiagnostic({name}, cli::Severity::Error, p.message));
  return cli::kExitFailed;
}

int run(const Settings& s) {
  std::vector<std::string> targets = s.exchange.targets();
  if (!s.mr.empty() && s.mr != "-") targets.push_back(s.mr);
  if (!targets.empty()) {
    std::vector<std::string> inputs = {s.model};
    if (!s.structure.empty()) inputs.push_back(s.structure);
    if (const std::optional<int> refused = cli::checkOutputs(kProgram, inputs, targets)) return *refused;
  }
  Rigidity rigidity = s.rigidity;
  if (!s.structure.empty()) {
    std::string text;
    const std::string unread = cli::readInput(s.structure, text, kLargestStructure);
    if (!unread.empty()) {
      cli::reportError(kProgram.name, unread);
      return cli::kExitFailed;
    }
    if (StructureError e = parseStructure(text, rigidity.layers)) {
      const cli::Place at{s.structure, e.line, e.column, e.lastColumn};
      cli::writeDiagnostic(cli::renderDiagnostic(at, cli::Severity::Error, e.message, {}, cli::lineOf(text, e.line)));
      return cli::kExitFailed;
    }
    rigidity.layered = true;
    rigidity.structureName = s.structure;
  }

  auto grid = std::make_unique<SubfaultGrid>();
  std::vector<check::ValuePlace> ruptureTimes;
  const ModelFile read = readModelFile(kProgram.name, s.model, *grid, check::kValuesInDoubt, &ruptureTimes);
  if (read.exitStatus) return *read.exitStatus;
  Geometry geometry;
  if (SourceProblem p = deriveGeometry(*grid, s.geometry, geometry)) return refuse(s.model, p, ruptureTimes);
  auto model = std::make_unique<SourceModel>();
  if (SourceProblem p = computeSource(*grid, geometry, rigidity, s.timing, *model)) {
    return refuse(s.model, p, ruptureTimes);
  }

  const Geometry& g = model->geometry;
  if (!g.dipGiven && g.dipUncertainty > kPoorDip) {  // a word on the options: the exit status stays
    char text[300];
    std::snprintf(text, sizeof text,
                  "the positions constrain the dip poorly: %.2f deg in the %s frame, %.2f in the %s one; give "
                  "--dip if the model's dip is known",
                  g.dip, g.ellipsoidal ? "WGS84" : "spherical", g.otherDip, g.ellipsoidal ? "spherical" : "WGS84");
    cli::writeDiagnostic(std::string(kProgram.name) + ": warning: " + text + "\n");
  }
  // The summary first: it reaches standard output even when a file fails. With
  // --mr - standard output holds the table alone, loadable as it is, and the
  // summary goes to standard error.
  cli::StandardOutput& out = cli::standardOutput();
  const std::string summary = s.json ? summaryJson(*model, s.model) : summaryText(*model, s.model);
  if (s.mr == "-") {
    cli::writeDiagnostic(summary);
    out.write(momentRateTable(*model, s.model));
  } else {
    out.write(summary);
  }
  std::vector<cli::OutputFile> files;
  if (!s.mr.empty() && s.mr != "-") files.push_back({s.mr, momentRateTable(*model, s.model)});
  s.exchange.render(*model, s.model, out, files);
  const std::string unwritten = cli::writeOutputs(files);
  if (!unwritten.empty()) {
    cli::reportError(kProgram.name, unwritten);
    return cli::kExitFailed;
  }
  // Done; warnings of the model were said as it was read.
  return read.warned ? cli::kExitWarnings : cli::kExitDone;
}

}  // namespace

int runSource(int argc, char** argv) {
  cli::installInterruptCleanup();
  return cli::runCompanion(kProgram, argc, argv, readSettings, run);
}

}  // namespace slip::source
