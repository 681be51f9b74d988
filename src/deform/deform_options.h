// slipdeform's command line: slipdeform [options] [MODEL].
#pragma once

#include <optional>
#include <string>

#include "cli/options.h"
#include "deform/points.h"
#include "science/geometry.h"

namespace slip::deform {

extern const cli::Program kProgram;  // slipdeform's options, usage and help

struct LineOfSight {
  double heading = 0.0;    // degrees clockwise from north, the satellite's track
  double incidence = 0.0;  // degrees from the vertical
};

struct Settings {
  std::string model = "rateA.dat";
  source::GeometryOptions geometry;
  double poisson = 0.25;
  std::string stations;  // empty: none
  std::string output;    // the stations' CSV; "-" standard output
  std::string geojson;
  std::optional<GridSpec> grid;
  std::string gridOut;   // PREFIX of the .asc and .prj files
  std::optional<LineOfSight> los;
  bool quiet = false;
};

// The settings a command line asks for. Returns what is wrong, or "".
std::string readSettings(const cli::CommandLine& line, Settings& settings);

}  // namespace slip::deform
