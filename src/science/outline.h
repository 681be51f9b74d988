// Where each subfault and the whole fault lie on the map: the outlines that
// every exchange format draws (and slipmap's map view can share).
//
// The position map takes a point of the fault plane, x km along strike and
// y km down dip from the epicentre (the model's a1(1), a1(2)), to the local
// frame of source_model.h and back to degrees:
//   east  = ae x + be y + ce,   north = an x + bn y + cn   (km)
//   lon, lat = fromLocalFrame(east, north)
// With strike and dip both derived, the coefficients are those of the
// position fit (Geometry::ae ... cn). When the user gives --strike or --dip,
// the map follows the angles instead (strike s, dip d, down dip pointing to
// s + 90 on the map and shortened by cos d):
//   ae = sin s,  an = cos s,  be = cos d cos s,  bn = -cos d sin s,
// and ce, cn put the fitted positions' mean where the model's positions are:
// ce = mean(east_i - ae x_i - be y_i), cn = mean(north_i - an x_i - bn y_i),
// the least-squares offset for those fixed angles.
//
// A subfault's outline is the rectangle x +- Dx/2, y +- Dz/2 through the map,
// a ring of five points (the first repeated last) running counter-clockwise
// on the map, as RFC 7946 asks of an exterior ring: the map turns the fault
// plane over (its determinant ae bn - be an is negative for a fault dipping
// to the right of strike), so the ring starts at the corner up dip and back
// along strike and runs first down dip. The fault's outline joins the outer
// corners of the four corner subfaults, (L 1, W 1), (L 43, W 1), (L 43, W 22),
// (L 1, W 22); its top edge runs from the up-dip corner of L 1 W 1 to that
// of L 43 W 1.
//
// The map keeps longitudes continuous: a fault across the 180th meridian runs
// on beyond 180 (or below -180). The files and the summary bring each one
// into (-180, 180] (normalLongitude), and GeoJSON cuts a ring that crosses
// the meridian into its western and eastern pieces (RFC 7946, 3.1.9).
#pragma once

#include <array>
#include <vector>

#include "science/source_model.h"

namespace slip::source {

struct LonLat {
  double lon = 0.0;  // degrees
  double lat = 0.0;
};

struct PositionMap {
  Geometry frame;  // lon0, lat0 of the local frame
  double ae = 0.0, be = 0.0, ce = 0.0;
  double an = 0.0, bn = 0.0, cn = 0.0;

  // The local frame's east and north (km) of the plane point (x, y).
  void toMap(double x, double y, double& east, double& north) const;
  LonLat at(double x, double y) const;
};

using Ring = std::array<LonLat, 5>;

// The map of `model` as described above.
PositionMap positionMap(const SourceModel& model);

// The outline of subfault `f` (Dx, Dz of `model.geometry`), counter-clockwise on the map.
Ring subfaultOutline(const SourceModel& model, const PositionMap& map, const SubfaultSource& f);

// The outline's pieces: the subfault's corners on the plane (km), up dip at
// the start of strike, down dip there, down dip at the end, up dip at the
// end; and which corner each of the ring's first four points is (0, 1, 2, 3,
// or 0, 3, 2, 1 where the map turns them clockwise). Point k of the ring is
// map.at(x[order[k]], y[order[k]]), and a corner shared by two subfaults with
// the same x and y lies at the same position in both.
struct PlaneCorners {
  std::array<double, 4> x{};
  std::array<double, 4> y{};
};
PlaneCorners subfaultCorners(const SourceModel& model, const SubfaultSource& f);
std::array<std::size_t, 4> ringOrder(const PositionMap& map, const PlaneCorners& corners);
// The fault's outline, counter-clockwise on the map.
Ring faultOutline(const SourceModel& model, const PositionMap& map);
// The top edge's two ends: at L 1 and at L 43.
std::array<LonLat, 2> topEdge(const SourceModel& model, const PositionMap& map);

// `lon` (degrees) brought into (-180, 180]; finite values only change by multiples of 360.
double normalLongitude(double lon);

// A ring cut at the 180th meridian: the piece west of it (longitudes up to
// 180) and the piece east of it (from -180), each closed and running as the
// ring did, the cut's points at exactly 180 and -180, latitudes linear along
// each side. Returns false, and leaves `pieces` empty, when the ring lies on
// one side (touching the meridian is not crossing it).
bool cutAtAntimeridian(const Ring& ring, std::array<std::vector<LonLat>, 2>& pieces);

// The plane's extent, in km from the epicentre: the outer edges of the corner subfaults.
struct PlaneExtent {
  double xStart = 0.0;  // the start of strike, at L 1: x(L 1, W 1) - Dx/2
  double xEnd = 0.0;    // x(L 43, W 1) + Dx/2
  double yTop = 0.0;    // the top edge, y(L 1, W 1) - Dz/2
  double yBottom = 0.0; // y(L 1, W 22) + Dz/2
};
PlaneExtent planeExtent(const SourceModel& model);

}  // namespace slip::source
