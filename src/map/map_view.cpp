// The map view: each subfault as a patch at its longitude and latitude.
#include <algorithm>
#include <cmath>
#include <optional>

#include "map/layout_parts.h"
#include "map/nice_ticks.h"
#include "map/number_text.h"

namespace slip::map {
namespace {

using report::kDataColumns;
using report::kDataRows;

constexpr double kDegree = 3.14159265358979323846 / 180.0;
constexpr double kBoxWidth = kDataColumns * kCellSize;
constexpr double kBoxHeight = 320.0;

using Place = std::optional<Point>;  // longitude, latitude

Place centre(const ReportData& data, int il, int iw) {
  if (!data.has(report::kLongitude, il, iw) || !data.has(report::kLatitude, il, iw)) return std::nullopt;
  return Point{data.value(report::kLongitude, il, iw), data.value(report::kLatitude, il, iw)};
}

// The centre of (il, iw) for il in 0..44 and iw in 0..23: one step beyond the
// grid's edge continues the line through the last two centres.
Place extended(const ReportData& data, int il, int iw) {
  auto beyond = [&](Place edge, Place inner) -> Place {
    if (!edge || !inner) return std::nullopt;
    return Point{2.0 * edge->x - inner->x, 2.0 * edge->y - inner->y};
  };
  if (il == 0) return beyond(extended(data, 1, iw), extended(data, 2, iw));
  if (il == kDataColumns + 1) return beyond(extended(data, kDataColumns, iw), extended(data, kDataColumns - 1, iw));
  if (iw == 0) return beyond(extended(data, il, 1), extended(data, il, 2));
  if (iw == kDataRows + 1) return beyond(extended(data, il, kDataRows), extended(data, il, kDataRows - 1));
  return centre(data, il, iw);
}

// The corner shared by cells (a, b) .. (a + 1, b + 1) of the extended grid.
Place corner(const ReportData& data, int a, int b) {
  const Place p[4] = {extended(data, a, b), extended(data, a + 1, b), extended(data, a, b + 1),
                      extended(data, a + 1, b + 1)};
  Point sum;
  for (const Place& q : p) {
    if (!q) return std::nullopt;
    sum.x += q->x;
    sum.y += q->y;
  }
  return Point{sum.x / 4.0, sum.y / 4.0};
}

struct Patch {
  int il, iw;
  Point corners[4];  // longitude, latitude
};

std::vector<Patch> patches(const ReportData& data) {
  std::vector<Patch> out;
  for (int iw = 1; iw <= kDataRows; ++iw) {
    for (int il = 1; il <= kDataColumns; ++il) {
      const Place c[4] = {corner(data, il - 1, iw - 1), corner(data, il, iw - 1), corner(data, il, iw),
                          corner(data, il - 1, iw)};
      if (!centre(data, il, iw) || !c[0] || !c[1] || !c[2] || !c[3]) continue;
      out.push_back({il, iw, {*c[0], *c[1], *c[2], *c[3]}});
    }
  }
  return out;
}

// Longitude and latitude to figure units, east to the right, north up, with
// a degree of longitude `shrink` (the cosine of the mean latitude) as long
// as a degree of latitude.
struct Projection {
  double shrink = 1.0;
  double west = 0.0, east = 0.0, south = 0.0, north = 0.0;
  double scale = 1.0;
  double left = 0.0, top = 0.0;
  Point at(Point p) const { return {left + (p.x - west) * shrink * scale, top + (north - p.y) * scale}; }
  double width() const { return (east - west) * shrink * scale; }
  double height() const { return (north - south) * scale; }
};

Projection projectionFor(const std::vector<Patch>& all, double top) {
  Projection pr;
  double latitudes = 0.0;
  pr.west = pr.east = all[0].corners[0].x;
  pr.south = pr.north = all[0].corners[0].y;
  for (const Patch& p : all) {
    for (const Point& c : p.corners) {
      pr.west = std::min(pr.west, c.x);
      pr.east = std::max(pr.east, c.x);
      pr.south = std::min(pr.south, c.y);
      pr.north = std::max(pr.north, c.y);
      latitudes += c.y;
    }
  }
  const double meanLatitude = latitudes / (4.0 * static_cast<double>(all.size()));
  pr.shrink = std::max(std::cos(meanLatitude * kDegree), 0.05);
  const double spanX = std::max((pr.east - pr.west) * pr.shrink, 1e-6);
  const double spanY = std::max(pr.north - pr.south, 1e-6);
  pr.scale = std::min(kBoxWidth / spanX, kBoxHeight / spanY);
  pr.left = kPlaneLeft;
  pr.top = top;
  return pr;
}

void mapAxes(const Projection& pr, std::vector<Mark>& marks) {
  Mark frame = rectMark(pr.left, pr.top, pr.width(), pr.height(), std::nullopt);
  frame.stroke = kInk;
  frame.strokeWidth = 1.0;
  marks.push_back(frame);
  const double bottom = pr.top + pr.height();
  const std::vector<double> lons = niceTicks(pr.west, pr.east, 6);
  const int lonDecimals = lons.size() > 1 ? decimalsFor(lons[1] - lons[0]) : 2;
  for (double lon : lons) {
    if (lon < pr.west || lon > pr.east) continue;
    const double x = pr.at({lon, pr.south}).x;
    marks.push_back(lineMark({{x, bottom}, {x, bottom + 4.0}}, kInk, 1.0));
    marks.push_back(textMark({x, bottom + 15.0}, formatNumber(lon, lonDecimals), 10.0, Anchor::Middle));
  }
  const std::vector<double> lats = niceTicks(pr.south, pr.north, 6);
  const int latDecimals = lats.size() > 1 ? decimalsFor(lats[1] - lats[0]) : 2;
  for (double lat : lats) {
    if (lat < pr.south || lat > pr.north) continue;
    const double y = pr.at({pr.west, lat}).y;
    marks.push_back(lineMark({{pr.left - 4.0, y}, {pr.left, y}}, kInk, 1.0));
    marks.push_back(textMark({pr.left - 6.0, y + 3.5}, formatNumber(lat, latDecimals), 10.0, Anchor::End));
  }
  marks.push_back(textMark({pr.left + pr.width() / 2, bottom + 32.0}, report::kSections[report::kLongitude].title,
                           12.0, Anchor::Middle));
  Mark lat = textMark({pr.left - 48.0, pr.top + pr.height() / 2}, report::kSections[report::kLatitude].title,
                      12.0, Anchor::Middle);
  lat.rotation = -90.0;
  marks.push_back(lat);
}

}  // namespace

double layoutMapView(const ReportData& data, const Summary& summary, double top, std::vector<Mark>& marks) {
  marks.push_back(textMark({kPlaneLeft, top - 10.0}, "Map view: slip at each subfault's longitude and latitude",
                           12.0, Anchor::Start));
  const std::vector<Patch> all = patches(data);
  if (all.empty()) {
    marks.push_back(textMark({kPlaneLeft, top + 14.0}, "(the report gives no positions)", 10.0, Anchor::Start));
    return top + 20.0;
  }
  const Projection pr = projectionFor(all, top);
  for (const Patch& p : all) {
    Mark patch;
    patch.kind = MarkKind::Polygon;
    for (const Point& c : p.corners) patch.points.push_back(pr.at(c));
    patch.fill = data.has(report::kSlip, p.il, p.iw) ? slipColour(data.value(report::kSlip, p.il, p.iw), summary.maxSlip)
                                                     : kNoValueColour;
    patch.stroke = patch.fill;  // closes the hairline seams between neighbours
    patch.strokeWidth = 0.4;
    patch.tooltip = cellTooltip(data, p.il, p.iw);
    marks.push_back(patch);
  }
  mapAxes(pr, marks);
  if (summary.hasEpicentre) {
    if (Place e = centre(data, summary.epicentre.il, summary.epicentre.iw)) marks.push_back(starMark(pr.at(*e), 8.0));
  }
  return top + pr.height() + 32.0;
}

}  // namespace slip::map
