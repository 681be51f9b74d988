#include "source/source_options.h"

namespace slip::source {
namespace {

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
    {0, "depth", "KM",
     "the hypocentre's depth; a subfault lies at KM + y sin(dip),\n"
     "y its km down dip (its first header record's second value)",
     kDepth},
    {0, "strike", "DEG", "strike, clockwise from north (default: from the positions)", kStrike},
    {0, "dip", "DEG", "dip, 0 to 90, to the right of strike (default: from the positions)", kDip},
    {0, "dx", "KM",
     "subfault length along strike (default: the spacing of x, the\n"
     "first value of the first header record, column to column)",
     kDx},
    {0, "dz", "KM",
     "subfault width down dip (default: the spacing of y, the\n"
     "second value of the first header record, row to row)",
     kDz},
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
    {0, "event", "NAME", "the event's name in the FSP, GeoJSON and KML files\n(default: the model file's)", kEvent},
};

}  // namespace

const cli::Program kProgram = {
    "slipsource",
    "[MODEL]",
    1,
    "Reads the slip-rate model MODEL (default rateA.dat) as slipreport reads it\n"
    "and prints the rupture as a seismic source, one quantity a line:\n"
    "  the geometry: Dx, Dz from the spacing of x and y (km along strike and\n"
    "    down dip, the first header record's first two values); strike, dip\n"
    "    and the epicentre from a plane fitted to the positions (its longitude\n"
    "    and latitude, the third and fourth)\n"
    "  M0 = sum of mu A slip (N m), A = Dx Dz; slip = sum of v dt, the report's at 0.5 s\n"
    "  Mw = 2/3 (log10 M0 - 9.1), the IASPEI standard form for M0 in N m\n"
    "    (and the Hanks-Kanamori form 2/3 log10(M0 in dyne cm) - 10.7)\n"
    "  the moment-rate function on bins of dt from 0: sample k of a subfault\n"
    "    lasts from t + (k-1) dt to t + k dt, t its rupture time, at the rate\n"
    "    mu A sqrt(v35^2 + v125^2), v35 and v125 its slip rates along rakes\n"
    "    of 35 and 125 degrees; its peak, centroid time, T5, T95, duration\n"
    "    and integral (M0 unless a rake changes during slip)\n",
    kOptions,
    "exit status:\n"
    "  0  done\n"
    "  1  done, but look at the model's warnings (on standard error)\n"
    "  2  the model or structure is refused, or a file cannot be read or written\n"
    "  64 the command line is wrong\n",
    "give a finite-fault slip-rate model as a seismic source: moment, magnitude, moment rate",
};


std::string readSettings(const cli::CommandLine& line, Settings& s) {
  bool rigidityGiven = false;
  for (const cli::GivenOption& o : line.options) {
    double v = 0.0;
    const bool isNumber = cli::parseNumber(o.value, v);
    // A value that is no number at all says so first: its range alone would
    // read as if the number were merely too large or too small.
    auto bad = [&](const char* range) {
      return o.name + " '" + o.value + "': " + (isNumber ? "" : "not a number; ") + range;
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
          return o.name + " '" + o.value + "': give rupture or origin";
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
    return "--rigidity and --structure both give the rigidity: give one";
  }
  if (!s.structure.empty() && !s.geometry.depth) {
    return "--structure needs each subfault's depth: give the hypocentre's --depth KM";
  }
  s.exchange.settle(s.mr);
  if (!line.operands.empty()) s.model = line.operands.front();
  return s.exchange.depthMistake(s.geometry.depth.has_value());
}

}  // namespace slip::source
