#include "map/source_panels.h"

#include <memory>

#include "map/number_text.h"
#include "report/printf_numbers.h"
#include "science/geometry.h"
#include "science/moment.h"
#include "science/outline.h"

namespace slip::map {
namespace {

// As slipsource prints its figures: printf's fixed decimals.
std::string fixed(double value, int decimals) {
  std::string text;
  appendFixed(text, value, decimals);
  return text;
}

}  // namespace

static_assert(source::kDefaultRigidity == 3E10, "the caption below quotes the default rigidity");

SourcePanels sourcePanels(const SubfaultGrid& grid, const std::string& modelName) {
  SourcePanels panels;
  source::Geometry geometry;
  const source::SourceProblem fit = source::deriveGeometry(grid, {}, geometry);
  if (fit) {
    // The moment needs the spacing alone: the orientation given, the fit is not asked.
    source::GeometryOptions spacingOnly;
    spacingOnly.strike = 0.0;
    spacingOnly.dip = 0.0;
    geometry = {};
    if (const source::SourceProblem spacing = source::deriveGeometry(grid, spacingOnly, geometry)) {
      panels.notes.push_back("Moment rate and fault outline of " + modelName + " left out: " + spacing.message);
      return panels;
    }
    panels.notes.push_back("Fault outline and strike of " + modelName + " left out: " + fit.message);
  }
  auto model = std::make_unique<source::SourceModel>();
  if (const source::SourceProblem p = source::computeSource(grid, geometry, {}, {}, *model)) {
    panels.notes.push_back("Moment rate and fault outline of " + modelName + " left out: " + p.message);
    return panels;
  }

  const source::SourceSummary& s = model->summary;
  MomentPanel panel;
  for (std::size_t j = 0; j < model->momentRate.rate.size(); ++j) {
    panel.times.push_back(model->momentRate.binCentre(j));
    panel.rates.push_back(model->momentRate.rate[j]);
  }
  panel.heading = "Moment rate (N m/s) of " + modelName + ": M0 " + scientific(s.moment, 3) + " N m, Mw " +
                  fixed(s.mw, 2) + ", centroid " + fixed(s.centroidTime, 1) + " s, T5 to T95 " + fixed(s.t5, 1) +
                  " to " + fixed(s.t95, 1) + " s (" + fixed(s.duration, 1) + " s); rigidity 3E10 Pa";
  panel.markers = {{s.t5, "T5"}, {s.centroidTime, "centroid"}, {s.t95, "T95"}};
  panels.moment = std::move(panel);

  if (!fit) {
    const source::PositionMap map = source::positionMap(*model);
    const std::array<source::LonLat, 2> top = source::topEdge(*model, map);
    const source::PlaneExtent extent = source::planeExtent(*model);
    const source::LonLat farBottom = map.at(extent.xEnd, extent.yBottom);
    const source::LonLat nearBottom = map.at(extent.xStart, extent.yBottom);
    FaultOutline outline;
    outline.corners[0] = {top[0].lon, top[0].lat};
    outline.corners[1] = {top[1].lon, top[1].lat};
    outline.corners[2] = {farBottom.lon, farBottom.lat};
    outline.corners[3] = {nearBottom.lon, nearBottom.lat};
    outline.strike = model->geometry.strike;
    panels.outline = outline;
  }
  return panels;
}

}  // namespace slip::map
