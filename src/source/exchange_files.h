// slipsource's exchange files as the command writes them: which files were
// asked for (--fsp, --srf, --geojson, --kml, --all PREFIX), the checks made
// before anything is read, and the files' bytes, for cli::writeOutputs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/files.h"
#include "science/source_model.h"

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
  // Adds each named file's target and bytes to `files`; files to standard
  // output are written to `out` instead, in the order FSP, SRF, GeoJSON, KML.
  void render(const SourceModel& model, std::string_view modelName, cli::StandardOutput& out,
              std::vector<cli::OutputFile>& files) const;
};

}  // namespace slip::source
