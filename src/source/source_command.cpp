#include "source/source_command.h"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/diagnostics.h"
#include "cli/exit_status.h"
#include "cli/files.h"
#include "cli/options.h"
#include "compose/slip_composer.h"
#include "driver/grid.h"
#include "driver/platform.h"
#include "input/byte_source.h"
#include "input/list_reader.h"
#include "input/subfault_groups.h"
#include "source/exchange_files.h"
#include "source/geometry.h"
#include "source/model_file.h"
#include "source/moment.h"
#include "source/source_text.h"
#include "source/structure.h"

namespace slip::source {
namespace {

constexpr std::size_t kLargestStructure = 16u << 20;  // a few hundred bytes is usual
constexpr std::size_t kLargestModel = 1u << 30;       // read whole only to place a rupture time

// Values no source has: most likely given in another unit, which the refusal names.
constexpr double kDeepest = 800.0;          // km: the deepest earthquakes lie near 700 km
constexpr double kLongestSubfault = 100.0;  // km: 43 of them span 4300 km, beyond any rupture
constexpr double kLongestDt = 20.0;         // s: 49 samples then last over 16 minutes

enum OptionId { kRigidity, kStructure, kDepth, kStrike, kDip, kDx, kDz, kDt, kOnset, kJson, kMr,
                kFsp, kSrf, kGeojson, kKml, kAll, kEvent };

constexpr cli::Option kOptions[] = {
    {0, "rigidity", "PA", "one rigidity for every subfault, in Pa (default 3.0e10)", kRigidity},
    {0, "structure", "FILE",
     "layered structure, one layer a line from the surface down:\n"
     "THICKNESS_KM VP_KM_S VS_KM_S DENSITY_G_CM3; each subfault takes\n"
     "mu = rho Vs^2 of the layer at its depth (needs --depth)",
     kStructure},
    {0, "depth", "KM", "the hypocentre's depth; a subfault lies at KM + a1(2) sin(dip)", kDepth},
    {0, "strike", "DEG", "strike, clockwise from north (default: from the positions)", kStrike},
    {0, "dip", "DEG", "dip, 0 to 90, to the right of strike (default: from the positions)", kDip},
    {0, "dx", "KM", "subfault length along strike (default: the a1(1) spacing)", kDx},
    {0, "dz", "KM", "subfault width down dip (default: the a1(2) spacing)", kDz},
    {0, "dt", "S", "slip-rate sample interval (default 0.5 s)", kDt},
    {0, "onset", "WHEN",
     "rupture (default): a subfault's samples start at its rupture time;\norigin: every subfault's start at 0",
     kOnset},
    {0, "json", nullptr, "print the summary as one JSON object", kJson},
    {0, "mr", "FILE",
     "write the moment-rate function to FILE ('-': standard output,\n"
     "the table alone; the summary then goes to standard error)",
     kMr},
    {0, "fsp", "FILE", "write the model as an FSP file (needs --depth)", kFsp},
    {0, "srf", "FILE", "write the model as an SRF 2.0 file (needs --depth)", kSrf},
    {0, "geojson", "FILE", "write the subfaults' outlines and values as GeoJSON", kGeojson},
    {0, "kml", "FILE", "write the subfaults' outlines, coloured by slip, as KML", kKml},
    {0, "all", "PREFIX", "write PREFIX.fsp, .srf, .geojson, .kml and .mr (needs --depth)", kAll},
    {0, "event", "NAME", "the event's name in the FSP and KML files (default: the model file's)", kEvent},
};

const cli::Program kProgram = {
    "slipsource",
    "[MODEL]",
    1,
    "Reads the slip-rate model MODEL (default rateA.dat) as slipreport reads it\n"
    "and prints the rupture as a seismic source, one quantity a line:\n"
    "  the geometry: Dx, Dz from the a1(1), a1(2) spacing; strike, dip and the\n"
    "    epicentre from a plane fitted to the positions a1(3), a1(4)\n"
    "  M0 = sum of mu A slip (N m), A = Dx Dz; slip = sum of v dt, the report's at 0.5 s\n"
    "  Mw = 2/3 (log10 M0 - 9.1), the IASPEI standard form for M0 in N m\n"
    "    (and the Hanks-Kanamori form 2/3 log10(M0 in dyne cm) - 10.7)\n"
    "  the moment-rate function on bins of dt from 0: sample k of a subfault\n"
    "    lasts from t + (k-1) dt to t + k dt, t its rupture time, at the rate\n"
    "    mu A sqrt(slp35^2 + slp125^2); its peak, centroid time, T5, T95,\n"
    "    duration and integral (M0 unless a rake changes during slip)\n",
    kOptions,
    "exit status:\n"
    "  0  done\n"
    "  2  the model or structure is refused, or a file cannot be read or written\n"
    "  64 the command line is wrong\n",
};

struct Settings {
  std::string model = "rateA.dat";
  std::string structure;  // empty: a constant rigidity
  std::string mr;         // empty: no table
  bool json = false;
  GeometryOptions geometry;
  Rigidity rigidity;
  Timing timing;
  ExchangeFiles exchange;
};

// Reads the option values; returns -1, or the exit status of a mistake.
int readSettings(const cli::CommandLine& line, Settings& s) {
  bool rigidityGiven = false;
  for (const cli::GivenOption& o : line.options) {
    double v = 0.0;
    const bool isNumber = cli::parseNumber(o.value, v);
    auto bad = [&](const char* range) {
      return cli::usageMistake(kProgram, o.name + " '" + o.value + "': " + range);
    };
    switch (o.id) {
      case kRigidity:
        if (!isNumber || !(v >= 1.0e8 && v <= 5.0e11)) {
          return bad("give a rigidity from 1e8 to 5e11 Pa (in Pa: 30 GPa = 3e10)");
        }
        s.rigidity.constant = v;
        rigidityGiven = true;
        break;
      case kStructure: s.structure = o.value; break;
      case kDepth:
        if (!isNumber || !(v >= 0.0 && v <= kDeepest)) {
          return bad("give a depth from 0 to 800 km (in km: 16000 m = 16)");
        }
        s.geometry.depth = v;
        break;
      case kStrike:
        if (!isNumber || v < 0.0 || v >= 360.0) return bad("give a strike from 0 up to 360 degrees");
        s.geometry.strike = v;
        break;
      case kDip:
        if (!isNumber || v < 0.0 || v > 90.0) return bad("give a dip from 0 to 90 degrees");
        s.geometry.dip = v;
        break;
      case kDx:
      case kDz:
        if (!isNumber || !(v > 0.0 && v <= kLongestSubfault)) {
          return bad("give a length above 0 and at most 100 km (in km: 5000 m = 5)");
        }
        (o.id == kDx ? s.geometry.dx : s.geometry.dz) = v;
        break;
      case kDt:
        if (!isNumber || !(v > 0.0 && v <= kLongestDt)) {
          return bad("give an interval above 0 and at most 20 s (in s: 500 ms = 0.5)");
        }
        s.timing.dt = v;
        s.timing.dtGiven = true;
        break;
      case kOnset:
        if (o.value == "rupture") {
          s.timing.onset = Onset::kRuptureTime;
        } else if (o.value == "origin") {
          s.timing.onset = Onset::kOrigin;
        } else {
          return bad("give rupture or origin");
        }
        break;
      case kJson: s.json = true; break;
      case kMr: s.mr = o.value; break;
      case kFsp: s.exchange.fsp = o.value; break;
      case kSrf: s.exchange.srf = o.value; break;
      case kGeojson: s.exchange.geojson = o.value; break;
      case kKml: s.exchange.kml = o.value; break;
      case kAll: s.exchange.all = o.value; break;
      case kEvent: s.exchange.event = o.value; break;
      default: break;
    }
  }
  if (rigidityGiven && !s.structure.empty()) {
    return cli::usageMistake(kProgram, "--rigidity and --structure both give the rigidity: give one");
  }
  if (!s.structure.empty() && !s.geometry.depth) {
    return cli::usageMistake(kProgram, "--structure needs each subfault's depth: give the hypocentre's --depth KM");
  }
  s.exchange.settle(s.mr);
  const std::string noDepth = s.exchange.depthMistake(s.geometry.depth.has_value());
  if (!noDepth.empty()) return cli::usageMistake(kProgram, noDepth);
  if (!line.operands.empty()) s.model = line.operands.front();
  return -1;
}

// Notes where the entry that gives one group's rupture time a2(5) begins.
class RuptureTimePlace final : public ReadObserver {
 public:
  explicit RuptureTimePlace(int group) : request_(group * kRequestsPerGroup + 1) {}
  void requestStart(bool, int, TextPosition) override { ++started_; }
  void entryStart(TextPosition at, int target) override {
    if (started_ == request_ + 1 && target <= 4) at_ = at;
  }
  void entryEnd(TextPosition, const ListEntry&, int) override {}
  void entryFailed(TextPosition, ReadError) override {}
  void recordCrossed(TextPosition, int) override {}
  void moreRecordsCrossed(int, int) override {}
  void commaNull(TextPosition, int) override {}
  void slash(TextPosition, int) override {}
  void readEnd(TextPosition, int) override {}
  TextPosition at_ = nullptr;

 private:
  int request_;      // 0-based: the group's second request
  int started_ = 0;
};

// A rupture time refused: said at its place in the model file, as far as it can be found.
int refuseRuptureTime(const std::string& name, const SourceProblem& p) {
  char context[160];
  std::snprintf(context, sizeof context, "in subfault W%2d L%2d (group %d of %d), the fifth value of its second "
                "header record", p.iw, p.il, subfaultIndex(p.il, p.iw) + 1, kSubfaults);
  std::string bytes;
  if (cli::readInput(name, bytes, kLargestModel).empty()) {
    // One block holds the whole view, so positions are offsets into it.
    std::vector<unsigned char> view(bytes.size() + 2);
    MemoryFeed feed{{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()}};
    ByteSource source(view, &MemoryFeed::refill, &feed);
    RuptureTimePlace place(subfaultIndex(p.il, p.iw));
    ObservedListReader reader(source, place);
    auto grid = std::make_unique<SubfaultGrid>();
    readSubfaultGroups(reader, *grid);
    if (place.at_ != nullptr) {
      const std::string_view text(reinterpret_cast<const char*>(view.data()),
                                  static_cast<std::size_t>(source.blockEnd() - view.data()));
      const std::size_t offset = static_cast<std::size_t>(place.at_ - view.data());
      const std::size_t lineStart = text.rfind('\n', offset == 0 ? 0 : offset - 1);
      const std::size_t begin = lineStart == std::string_view::npos || offset == 0 ? 0 : lineStart + 1;
      long long line = 1;
      for (std::size_t i = 0; i < begin; ++i) line += text[i] == '\n';
      std::size_t end = offset;
      while (end < text.size() && text[end] != ' ' && text[end] != '\t' && text[end] != ',' && text[end] != '\n') ++end;
      const cli::Place at{name, line, static_cast<long long>(offset - begin) + 1, static_cast<long long>(end - begin)};
      cli::writeDiagnostic(cli::renderDiagnostic(at, cli::Severity::Error, p.message, context, cli::lineOf(text, line)));
      return cli::kExitFailed;
    }
  }
  cli::writeDiagnostic(cli::renderDiagnostic({name}, cli::Severity::Error, p.message, context));
  return cli::kExitFailed;
}

int refuse(const std::string& name, const SourceProblem& p) {
  if (p.ruptureTime) return refuseRuptureTime(name, p);
  cli::writeDiagnostic(cli::renderDiagnostic({name}, cli::Severity::Error, p.message));
  return cli::kExitFailed;
}

int run(const Settings& s) {
  std::vector<std::string> targets = s.exchange.targets();
  if (!s.mr.empty() && s.mr != "-") targets.push_back(s.mr);
  if (!targets.empty()) {
    std::vector<std::string> inputs = {s.model};
    if (!s.structure.empty()) inputs.push_back(s.structure);
    const std::string clash = cli::checkTargets(inputs, targets);
    if (!clash.empty()) return cli::usageMistake(kProgram, clash);
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
  const int read = readModelFile(kProgram.name, s.model, *grid);
  if (read >= 0) return read;
  composeGrid(*grid);
  Geometry geometry;
  if (SourceProblem p = deriveGeometry(*grid, s.geometry, geometry)) return refuse(s.model, p);
  auto model = std::make_unique<SourceModel>();
  if (SourceProblem p = computeSource(*grid, geometry, rigidity, s.timing, *model)) return refuse(s.model, p);

  const Geometry& g = model->geometry;
  if (!g.dipGiven && g.dipUncertainty > kPoorDip) {  // a word on the options: the exit status stays
    char text[300];
    std::snprintf(text, sizeof text,
                  "the positions constrain the dip poorly: %.2f deg in the %s frame, %.2f in the %s one; give "
                  "--dip if the model's dip is known",
                  g.dip, g.ellipsoidal ? "WGS84" : "spherical", g.otherDip, g.ellipsoidal ? "spherical" : "WGS84");
    cli::writeDiagnostic(std::string(kProgram.name) + ": warning: " + text + "\n");
  }
  if (!s.mr.empty() && s.mr != "-") {
    const std::string written = cli::writeOutput(s.mr, momentRateTable(*model, s.model));
    if (!written.empty()) {
      cli::reportError(kProgram.name, written);
      return cli::kExitFailed;
    }
  }
  cli::StandardOutput& out = cli::standardOutput();
  const std::string summary = s.json ? summaryJson(*model, s.model) : summaryText(*model, s.model);
  if (s.mr == "-") {  // standard output holds the table alone, loadable as it is
    cli::writeDiagnostic(summary);
    out.write(momentRateTable(*model, s.model));
  } else {
    out.write(summary);
  }
  const std::string unwritten = s.exchange.write(*model, s.model, out);
  if (!unwritten.empty()) {
    cli::reportError(kProgram.name, unwritten);
    return cli::kExitFailed;
  }
  return cli::finishRun(kProgram.name, cli::kExitDone);
}

}  // namespace

int runSourceCommand(int argc, char** argv) {
  cli::installInterruptCleanup();
  const cli::CommandLine line = cli::parseCommandLine(kProgram, argc, argv);
  const int settled = cli::settleCommandLine(kProgram, line);
  if (settled >= 0) return settled;
  Settings settings;
  const int mistake = readSettings(line, settings);
  if (mistake >= 0) return mistake;
  return run(settings);
}

}  // namespace slip::source
