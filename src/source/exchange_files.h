// slipsource's exchange files as the command writes them: which files were
// asked for (--fsp, --srf, --geojson, --kml, --all PREFIX), the checks made
// before anything is read, and the writes, each through cli::writeOutput.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/files.h"
#include "source/source_model.h"

namespace slip::source {

struct ExchangeFiles {
  std::string fsp, srf, geojson, kml;  // empty: not written; "-": standard output, after the summary
  std::string all;                     // --all PREFIX (empty: not given)
  std::string event;                   // --event NAME (empty: the model file's name)

  // --all PREFIX fills each file not named on its own with PREFIX.fsp and so
  // on; `mr` (the moment-rate table's target) with PREFIX.mr.
  void settle(std::string& mr);
  // The files that need each subfault's depth, and have none: "" or the
  // usage mistake, e.g. "--fsp and --srf need each subfault's depth: give the
  // hypocentre's --depth KM".
  std::string depthMistake(bool hasDepth) const;
  // Every named file but standard output, for cli::checkTargets.
  std::vector<std::string> targets() const;
  // Writes each named file: "" or the first failure, for cli::reportError.
  // Files to standard output are written to `out` in the order FSP, SRF,
  // GeoJSON, KML.
  std::string write(const SourceModel& model, std::string_view modelName, cli::StandardOutput& out) const;
};

}  // namespace slip::source
