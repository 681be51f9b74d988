#include "deform/deform_options.h"

namespace slip::deform {
namespace {

enum OptionId { kDepth, kStrike, kDip, kDx, kDz, kNu, kStations, kOutput, kGeojson, kGrid, kGridOut, kLos, kQuiet };

constexpr cli::Option kOptions[] = {
    {0, "depth", "KM",
     "the hypocentre's depth (required); a subfault lies at\n"
     "KM + y sin(dip), y its km down dip (its first header\n"
     "record's second value)",
     kDepth},
    {0, "strike", "DEG", "strike, clockwise from north (default: from the positions)", kStrike},
    {0, "dip", "DEG", "dip, 0 to 90, to the right of strike (default: from the positions)", kDip},
    {0, "dx", "KM", "subfault length along strike (default: the spacing of x,\ncolumn to column)", kDx},
    {0, "dz", "KM", "subfault width down dip (default: the spacing of y, row to row)", kDz},
    {0, "nu", "RATIO", "Poisson's ratio of the half-space, above 0 and below 0.5 (default 0.25)", kNu},
    {0, "stations", "FILE", "stations, one a line: NAME LON LAT (blanks or commas; '#' comments)", kStations},
    {'o', "output", "FILE", "write the stations' displacements as CSV to FILE (default '-':\nstandard output)",
     kOutput},
    {0, "geojson", "FILE", "write the stations' displacements as GeoJSON points", kGeojson},
    {0, "grid", "AREA", "a grid LONMIN/LONMAX/LATMIN/LATMAX/STEP in degrees, nodes at both ends", kGrid},
    {0, "grid-out", "PREFIX", "write the grid as PREFIX.east.asc, .north.asc, .up.asc (and .los.asc),\n"
                              "ESRI ASCII grids, each with its .prj",
     kGridOut},
    {0, "los", "HEADING/INC", "add the line of sight of a right-looking satellite: its heading\n"
                              "clockwise from north and the incidence angle, degrees",
     kLos},
    {'q', "quiet", nullptr, "no progress bar", kQuiet},
};

}  // namespace

const cli::Program kProgram = {
    "slipdeform",
    "[MODEL]",
    1,
    "Reads the slip-rate model MODEL (default rateA.dat) as slipreport reads it\n"
    "and computes its static displacement at the ground, east, north and up in\n"
    "metres, at GNSS stations (--stations) and on a grid (--grid, --grid-out).\n"
    "Each subfault is a uniform rectangular dislocation Dx by Dz in a\n"
    "homogeneous elastic half-space (Okada 1985, BSSA 75(4)), centred where\n"
    "slipsource places it, slipping its total slip along its rake.\n"
    "The line of sight (--los) is positive toward the satellite.\n",
    kOptions,
    "exit status:\n"
    "  0  done\n"
    "  1  done, but look at the warnings (on standard error)\n"
    "  2  the model or stations are refused, or a file cannot be read or written\n"
    "  64 the command line is wrong\n",
    "predict a finite-fault model's static surface displacement at stations and on grids",
};

std::string readSettings(const cli::CommandLine& line, Settings& s) {
  for (const cli::GivenOption& o : line.options) {
    double v = 0.0;
    const bool isNumber = cli::parseNumber(o.value, v);
    auto bad = [&](std::string_view range) {
      std::string text = o.name;
      text.append(" '").append(o.value).append("': ").append(range);
      return text;
    };
    switch (o.id) {
      case kDepth:
        if (!isNumber || !(v >= 0.0 && v <= 800.0)) return bad("give a depth from 0 to 800 km (in km: 16000 m = 16)");
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
        if (!isNumber || !(v > 0.0 && v <= 100.0)) {
          return bad("give a length above 0 and at most 100 km (in km: 5000 m = 5)");
        }
        (o.id == kDx ? s.geometry.dx : s.geometry.dz) = v;
        break;
      case kNu:
        if (!isNumber || !(v > 0.0 && v < 0.5)) return bad("give a Poisson's ratio above 0 and below 0.5");
        s.poisson = v;
        break;
      case kStations: s.stations = o.value; break;
      case kOutput: s.output = o.value; break;
      case kGeojson: s.geojson = o.value; break;
      case kGrid: {
        GridSpec g;
        const std::string mistake = parseGrid(o.value, g);
        if (!mistake.empty()) return bad(mistake);
        s.grid = g;
        break;
      }
      case kGridOut: s.gridOut = o.value; break;
      case kLos: {
        const std::size_t slash = o.value.find('/');
        LineOfSight l;
        if (slash == std::string::npos || !cli::parseNumber(o.value.substr(0, slash), l.heading) ||
            !cli::parseNumber(o.value.substr(slash + 1), l.incidence) || !(l.heading >= -360.0 && l.heading <= 360.0) ||
            !(l.incidence >= 0.0 && l.incidence < 90.0)) {
          return bad("give HEADING/INCIDENCE in degrees, the incidence from 0 up to 90, such as -12/39");
        }
        s.los = l;
        break;
      }
      case kQuiet: s.quiet = true; break;
      default: break;
    }
  }
  if (!line.operands.empty()) s.model = line.operands.front();
  if (!s.geometry.depth) return "the subfaults need their depth: give the hypocentre's --depth KM";
  if (s.grid.has_value() != !s.gridOut.empty()) return "--grid and --grid-out go together: give both";
  if (s.stations.empty() && !s.grid) return "nothing to compute: give --stations FILE, or --grid and --grid-out";
  if (s.stations.empty() && (!s.output.empty() || !s.geojson.empty())) {
    return "-o and --geojson write the stations' displacements: give --stations FILE";
  }
  if (!s.stations.empty() && s.output.empty()) s.output.push_back('-');  // (g++ 12 warns falsely on = "-")
  return {};
}

}  // namespace slip::deform
