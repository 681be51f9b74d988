#include "science/outline.h"

#include <cmath>
#include <numbers>

#include "science/geometry.h"

namespace slip::source {
namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// Twice the signed area of a ring in the local frame (km^2): positive counter-clockwise.
double signedArea(const std::array<double, 4>& east, const std::array<double, 4>& north) {
  double sum = 0.0;
  for (std::size_t i = 0; i < 4; ++i) {
    const std::size_t j = (i + 1) % 4;
    sum += east[i] * north[j] - east[j] * north[i];
  }
  return sum;
}

// The ring through four plane corners, given in the order of PlaneCorners;
// reversed (keeping the first) when the map turns it clockwise.
Ring ring(const PositionMap& map, const PlaneCorners& c) {
  const std::array<std::size_t, 4> order = ringOrder(map, c);
  Ring r;
  for (std::size_t i = 0; i < 4; ++i) r[i] = map.at(c.x[order[i]], c.y[order[i]]);
  r[4] = r[0];
  return r;
}

}  // namespace

std::array<std::size_t, 4> ringOrder(const PositionMap& map, const PlaneCorners& c) {
  std::array<double, 4> east{}, north{};
  for (std::size_t i = 0; i < 4; ++i) map.toMap(c.x[i], c.y[i], east[i], north[i]);
  if (signedArea(east, north) < 0.0) return {0, 3, 2, 1};
  return {0, 1, 2, 3};
}

PlaneCorners subfaultCorners(const SourceModel& model, const SubfaultSource& f) {
  const double hx = model.geometry.dx / 2.0, hz = model.geometry.dz / 2.0;
  return {{f.x - hx, f.x - hx, f.x + hx, f.x + hx}, {f.y - hz, f.y + hz, f.y + hz, f.y - hz}};
}

void PositionMap::toMap(double x, double y, double& east, double& north) const {
  east = ae * x + be * y + ce;
  north = an * x + bn * y + cn;
}

LonLat PositionMap::at(double x, double y) const {
  double east, north;
  toMap(x, y, east, north);
  LonLat p;
  fromLocalFrame(frame, east, north, p.lon, p.lat);
  return p;
}

PositionMap positionMap(const SourceModel& model) {
  const Geometry& g = model.geometry;
  PositionMap map;
  map.frame = g;
  if (!g.strikeGiven && !g.dipGiven) {
    map.ae = g.ae, map.be = g.be, map.ce = g.ce;
    map.an = g.an, map.bn = g.bn, map.cn = g.cn;
    return map;
  }
  const double s = g.strike * kDegree, c = std::cos(g.dip * kDegree);
  map.ae = std::sin(s);
  map.an = std::cos(s);
  map.be = c * std::cos(s);
  map.bn = -(c * std::sin(s));
  double sumEast = 0.0, sumNorth = 0.0;
  for (const SubfaultSource& f : model.subfaults) {
    sumEast += f.east - (map.ae * f.x + map.be * f.y);
    sumNorth += f.north - (map.an * f.x + map.bn * f.y);
  }
  const double n = static_cast<double>(model.subfaults.size());
  map.ce = n > 0.0 ? sumEast / n : 0.0;
  map.cn = n > 0.0 ? sumNorth / n : 0.0;
  return map;
}

Ring subfaultOutline(const SourceModel& model, const PositionMap& map, const SubfaultSource& f) {
  return ring(map, subfaultCorners(model, f));
}

PlaneExtent planeExtent(const SourceModel& model) {
  const double hx = model.geometry.dx / 2.0, hz = model.geometry.dz / 2.0;
  PlaneExtent e;
  e.xStart = model.at(1, 1).x - hx;
  e.xEnd = model.at(kColumns, 1).x + hx;
  e.yTop = model.at(1, 1).y - hz;
  e.yBottom = model.at(1, kRows).y + hz;
  return e;
}

Ring faultOutline(const SourceModel& model, const PositionMap& map) {
  const double hx = model.geometry.dx / 2.0, hz = model.geometry.dz / 2.0;
  const SubfaultSource& a = model.at(1, 1);
  const SubfaultSource& b = model.at(1, kRows);
  const SubfaultSource& c = model.at(kColumns, kRows);
  const SubfaultSource& d = model.at(kColumns, 1);
  return ring(map, {{a.x - hx, b.x - hx, c.x + hx, d.x + hx}, {a.y - hz, b.y + hz, c.y + hz, d.y - hz}});
}

std::array<LonLat, 2> topEdge(const SourceModel& model, const PositionMap& map) {
  const double hx = model.geometry.dx / 2.0, hz = model.geometry.dz / 2.0;
  const SubfaultSource& a = model.at(1, 1);
  const SubfaultSource& d = model.at(kColumns, 1);
  return {map.at(a.x - hx, a.y - hz), map.at(d.x + hx, d.y - hz)};
}

double normalLongitude(double lon) {
  if (!std::isfinite(lon) || (lon > -180.0 && lon <= 180.0)) return lon;
  return lon - 360.0 * std::ceil((lon - 180.0) / 360.0);
}

bool cutAtAntimeridian(const Ring& ring, std::array<std::vector<LonLat>, 2>& pieces) {
  pieces[0].clear();
  pieces[1].clear();
  // Each point's band of 360 degrees: 0 for (-180, 180], 1 for (180, 540], ...
  double low = 0.0, high = 0.0;
  for (std::size_t k = 0; k < 4; ++k) {
    const double band = std::ceil((ring[k].lon - 180.0) / 360.0);
    if (!std::isfinite(band)) return false;
    if (k == 0 || band < low) low = band;
    if (k == 0 || band > high) high = band;
  }
  if (low == high) return false;
  const double meridian = 180.0 + 360.0 * low;  // the line between the two bands
  bool westArea = false;
  for (std::size_t k = 0; k < 4; ++k) westArea = westArea || ring[k].lon < meridian;
  if (!westArea) return false;  // on the line and east of it: one piece
  for (int side = 0; side < 2; ++side) {
    auto inside = [&](const LonLat& p) { return side == 0 ? p.lon <= meridian : p.lon >= meridian; };
    const double shift = 360.0 * (low + side);
    std::vector<LonLat>& piece = pieces[static_cast<std::size_t>(side)];
    for (std::size_t k = 0; k < 4; ++k) {
      const LonLat& p = ring[k];
      const LonLat& q = ring[k + 1];
      if (inside(p)) piece.push_back({p.lon - shift, p.lat});
      if ((p.lon < meridian && q.lon > meridian) || (p.lon > meridian && q.lon < meridian)) {
        const double t = (meridian - p.lon) / (q.lon - p.lon);
        piece.push_back({side == 0 ? 180.0 : -180.0, p.lat + t * (q.lat - p.lat)});
      }
    }
    piece.push_back(piece.front());
  }
  return true;
}

}  // namespace slip::source
