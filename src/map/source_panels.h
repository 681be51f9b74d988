// What a model adds to slipmap's figure, computed by slipsource's code (one
// moment computation in the project): the moment-rate panel, and on the map
// view the fault's outline, its top edge and the strike. The rigidity is
// slipsource's default (3.0e10 Pa) and the samples start at each subfault's
// rupture time, every assumption as a plain `slipsource MODEL` makes it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/grid.h"
#include "map/figure_layout.h"

namespace slip::map {

struct SourcePanels {
  std::optional<MomentPanel> moment;
  std::optional<FaultOutline> outline;
  std::vector<std::string> notes;  // what was left out and why, one line each
};

// From a composed grid: everything the model allows. A geometry that
// slipsource refuses leaves out the outline and strike (the moment-rate
// function needs only the spacing); a refused spacing leaves out both.
SourcePanels sourcePanels(const SubfaultGrid& grid, const std::string& modelName);

}  // namespace slip::map
