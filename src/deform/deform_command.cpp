#include "deform/deform_command.h"

#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "base/grid.h"
#include "base/platform.h"
#include "check/model_file.h"
#include "cli/diagnostics.h"
#include "cli/exit_status.h"
#include "cli/files.h"
#include "deform/deform_files.h"
#include "deform/deform_options.h"
#include "deform/parallel.h"
#include "science/geometry.h"
#include "science/moment.h"
#include "science/outline.h"
#include "text/text.h"

namespace slip::deform {
namespace {

constexpr std::size_t kLargestStations = 64u << 20;
constexpr double kDegree = std::numbers::pi / 180.0;
const char* const kComponents[] = {"east", "north", "up", "los"};

// Points in the local frame, and the displacement there.
struct Points {
  std::vector<double> east, north;
  Field u;
  void resize(std::size_t n, bool los) {
    east.resize(n), north.resize(n);
    u.east.assign(n, 0.0), u.north.assign(n, 0.0), u.up.assign(n, 0.0);
    if (los) u.los.resize(n);
  }
};

// The line of sight, positive toward the satellite: the unit vector from the
// ground to a right-looking satellite points to its heading - 90 degrees,
// sin(i) of it horizontal and cos(i) up.
void addLineOfSight(const LineOfSight& l, Field& u) {
  const double h = l.heading * kDegree, i = l.incidence * kDegree;
  const double e = -(std::sin(i) * std::cos(h)), n = std::sin(i) * std::sin(h), up = std::cos(i);
  for (std::size_t k = 0; k < u.los.size(); ++k) u.los[k] = u.east[k] * e + u.north[k] * n + u.up[k] * up;
}

// The model's subfaults as dislocations, placed as slipsource places them.
std::vector<PatchTerms> patches(const source::SourceModel& model) {
  const source::PositionMap map = source::positionMap(model);
  const source::Geometry& g = model.geometry;
  std::vector<PatchTerms> out;
  for (const source::SubfaultSource& f : model.subfaults) {
    Patch p;
    map.toMap(f.x, f.y, p.east, p.north);
    p.depth = f.depth;
    p.strike = g.strike;
    p.dip = g.dip;
    p.length = g.dx;
    p.width = g.dz;
    p.strikeSlip = f.slip * std::cos(f.rake * kDegree);
    p.dipSlip = f.slip * std::sin(f.rake * kDegree);
    out.push_back(patchTerms(p));
  }
  return out;
}

class ProgressBar {
 public:
  explicit ProgressBar(bool shown) : shown_(shown) {}
  void operator()(double share) {
    const int percent = static_cast<int>(share * 100.0);
    if (!shown_ || percent == last_) return;
    last_ = percent;
    const std::string bar = std::string(static_cast<std::size_t>(percent / 4), '#') +
                            std::string(static_cast<std::size_t>(25 - percent / 4), '.');
    cli::writeDiagnostic("\rslipdeform: [" + bar + "] " + std::to_string(percent) + "%" + (percent == 100 ? "\n" : ""));
  }

 private:
  bool shown_;
  int last_ = -1;
};

void compute(const Settings& s, const std::vector<PatchTerms>& terms, Points& p, bool progress) {
  ProgressBar bar(progress && !s.quiet && platform::standardErrorIsTerminal());
  displacePoints(terms, s.poisson, p.east.data(), p.north.data(), p.east.size(), p.u.east.data(), p.u.north.data(),
                 p.u.up.data(), [&](double share) { bar(share); });
  if (s.los) addLineOfSight(*s.los, p.u);
}

std::vector<std::string> gridFiles(const Settings& s) {
  std::vector<std::string> names;
  if (!s.grid) return names;
  for (int k = 0; k < (s.los ? 4 : 3); ++k) {
    names.push_back(s.gridOut + "." + kComponents[k] + ".asc");
    names.push_back(s.gridOut + "." + kComponents[k] + ".prj");
  }
  return names;
}

int run(const Settings& s) {
  std::vector<std::string> targets = gridFiles(s);
  if (!s.output.empty() && s.output != "-") targets.push_back(s.output);
  if (!s.geojson.empty()) targets.push_back(s.geojson);
  std::vector<std::string> inputs = {s.model};
  if (!s.stations.empty()) inputs.push_back(s.stations);
  if (const std::optional<int> refused = cli::checkOutputs(kProgram, inputs, targets)) return *refused;

  std::vector<Station> stations;
  if (!s.stations.empty()) {
    std::string text;
    const std::string unread = cli::readInput(s.stations, text, kLargestStations);
    if (!unread.empty()) {
      cli::reportError(kProgram.name, unread);
      return cli::kExitFailed;
    }
    if (StationsError e = parseStations(text, stations)) {
      const cli::Place at{s.stations, e.line, e.column, e.lastColumn};
      cli::writeDiagnostic(cli::renderDiagnostic(at, cli::Severity::Error, e.message, {}, cli::lineOf(text, e.line)));
      return cli::kExitFailed;
    }
  }

  auto grid = std::make_unique<SubfaultGrid>();
  const source::ModelFile read = source::readModelFile(kProgram.name, s.model, *grid, check::kValuesInDoubt);
  if (read.exitStatus) return *read.exitStatus;
  source::Geometry geometry;
  auto model = std::make_unique<source::SourceModel>();
  source::Timing timing;
  timing.onset = source::Onset::kOrigin;  // the static field knows no rupture times
  source::SourceProblem p = source::deriveGeometry(*grid, s.geometry, geometry);
  if (!p) p = source::computeSource(*grid, geometry, source::Rigidity{}, timing, *model);
  if (p) {
    cli::writeDiagnostic(cli::renderDiagnostic({s.model}, cli::Severity::Error, p.message));
    return cli::kExitFailed;
  }
  const std::vector<PatchTerms> terms = patches(*model);
  bool warned = read.warned;

  std::vector<cli::OutputFile> files;
  if (!stations.empty() || !s.stations.empty()) {
    Points at;
    at.resize(stations.size(), s.los.has_value());
    for (std::size_t i = 0; i < stations.size(); ++i) {
      source::toLocalFrame(geometry, stations[i].lon, stations[i].lat, at.east[i], at.north[i]);
    }
    compute(s, terms, at, false);
    for (std::size_t i = 0; i < stations.size(); ++i) {
      if (std::isfinite(at.u.east[i]) && std::isfinite(at.u.north[i]) && std::isfinite(at.u.up[i])) continue;
      cli::writeDiagnostic(cli::renderDiagnostic(
          {s.stations}, cli::Severity::Warning,
          "station " + stations[i].name + " lies on a surface corner of a subfault that reaches the ground, "
          "where the displacement has no limit: its values are nan"));
      warned = true;
    }
    const std::string csv = stationsCsv(stations, at.u, s.los.has_value());
    if (s.output == "-") {
      cli::standardOutput().write(csv);
    } else {
      files.push_back({s.output, csv});
    }
    if (!s.geojson.empty()) files.push_back({s.geojson, stationsGeoJson(stations, at.u, s.los.has_value())});
  }
  if (s.grid) {
    const GridSpec& g = *s.grid;
    Points nodes;
    nodes.resize(g.columns * g.rows, s.los.has_value());
    for (std::size_t r = 0; r < g.rows; ++r) {
      for (std::size_t c = 0; c < g.columns; ++c) {
        const std::size_t k = r * g.columns + c;
        source::toLocalFrame(geometry, g.lon(c), g.lat(r), nodes.east[k], nodes.north[k]);
      }
    }
    compute(s, terms, nodes, true);
    long long singular = 0;
    for (std::size_t k = 0; k < nodes.u.up.size(); ++k) {
      singular += !std::isfinite(nodes.u.east[k] + nodes.u.north[k] + nodes.u.up[k]);
    }
    if (singular > 0) {
      cli::writeDiagnostic(format("%s: warning: %lld grid node%s on a surface corner of a subfault that reaches "
                                  "the ground, where the displacement has no limit: NODATA there\n",
                                  kProgram.name, singular, plural(singular)));
      warned = true;
    }
    const std::vector<double>* values[] = {&nodes.u.east, &nodes.u.north, &nodes.u.up, &nodes.u.los};
    const std::vector<std::string> names = gridFiles(s);
    for (std::size_t k = 0; k < names.size() / 2; ++k) {
      files.push_back({names[2 * k], esriAsciiGrid(g, *values[k])});
      files.push_back({names[2 * k + 1], kWgs84Prj});
    }
  }
  const std::string unwritten = cli::writeOutputs(files);
  if (!unwritten.empty()) {
    cli::reportError(kProgram.name, unwritten);
    return cli::kExitFailed;
  }
  return warned ? cli::kExitWarnings : cli::kExitDone;
}

}  // namespace

int runDeform(int argc, char** argv) {
  cli::installInterruptCleanup();
  return cli::runCompanion(kProgram, argc, argv, readSettings, run);
}

}  // namespace slip::deform
