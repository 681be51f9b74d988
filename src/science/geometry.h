// The fault's geometry as the model's own numbers give it.
//
// Spacing. Dx is a1(1)(2, 1) - a1(1)(1, 1), the step of x from column 1 to 2
// of row 1, and Dz is a1(2)(1, 2) - a1(2)(1, 1), the step of y from row 1 to
// 2; both must be positive, and every step of x from column to column (every
// row) and of y from row to row (every column) must agree with them within
// 0.1 % of them. The first subfault, in the grid's order, whose step from its
// neighbour before it does not is named in the refusal (the x steps are
// checked before the y steps).
//
// Orientation. The positions (a1(3), a1(4)) go into the local frame (see
// source_model.h), and a least-squares plane east = ae x + be y + ce,
// north = an x + bn y + cn is fitted over every subfault. Then
//   strike = atan2(ae, an) in degrees, 0..360
//   dip    = acos(|(be, bn)|) in degrees, |(be, bn)| clamped to 0..1
//   epicentre = (ce, cn), back in degrees through the frame.
// The same fit read in a frame on the WGS84 ellipsoid (east scaled by the
// prime-vertical radius N(lat0), north by the meridional M(lat0), instead of
// R) gives another strike and dip: a scale between the frames is absorbed by
// the fit, so the residual cannot choose, but a1(1) is km along strike, so the
// frame whose |(ae, an)| lies nearer 1 is reported and the other's difference
// is the angles' uncertainty. At shallow dips it is large: acos of a
// horizontal extent near 1 turns a 0.3 % scale into a degree.
// The fit is refused when
//   - |(ae, an)| differs from 1 by more than 1 %: x is not km along the map
//     (unless --strike is given);
//   - the direction of (be, bn) is more than 2 degrees from strike + 90, i.e.
//     down dip does not lie to the right of strike (unless --strike and --dip
//     are given); a fault steeper than 88 degrees, whose down-dip direction
//     the map hardly shows, is not checked;
//   - a position lies farther from the fitted plane than half the smaller of
//     Dx and Dz (unless --strike and --dip are given).
//
// Depth. With the hypocentre's depth d (km at x = y = 0), the subfault at
// down-dip offset y lies at d + y sin(dip), its top edge (Dz/2) sin(dip)
// higher; a top edge above the surface (by more than 1 m) is refused, naming
// the shallowest subfault and the depth d that puts its top edge at the ground.
#pragma once

#include <optional>

#include "base/grid.h"
#include "science/source_model.h"

namespace slip::source {

// The user's overrides; an empty value is derived from the model.
struct GeometryOptions {
  std::optional<double> strike = {};  // degrees
  std::optional<double> dip = {};     // degrees
  std::optional<double> dx = {};      // km
  std::optional<double> dz = {};      // km
  std::optional<double> depth = {};   // km, the hypocentre's
};

inline constexpr double kSpacingTolerance = 0.001;   // relative, Dx and Dz
inline constexpr double kScaleTolerance = 0.01;      // relative, |(ae, an)| against 1
inline constexpr double kDownDipTolerance = 2.0;     // degrees from strike + 90
inline constexpr double kSteepestCheckedDip = 88.0;  // degrees
inline constexpr double kWgs84SemiMajorAxis = 6378.137;            // km
inline constexpr double kWgs84Flattening = 1.0 / 298.257223563;
inline constexpr double kPoorDip = 0.5;  // degrees of dip uncertainty that draw a warning
inline constexpr double kGroundTolerance = 0.001;    // km, a top edge this far above the ground passes

// Derives the geometry from `grid` (read, composition not needed) with the
// overrides in `options`. Fills `geometry` and returns no problem, or says
// what does not fit.
SourceProblem deriveGeometry(const SubfaultGrid& grid, const GeometryOptions& options, Geometry& geometry);

// The depth of a subfault at down-dip offset `y` (km): depth + y sin(dip).
double subfaultDepth(const Geometry& geometry, double y);

// The local frame of `geometry` and back, in km and degrees.
void toLocalFrame(const Geometry& geometry, double lon, double lat, double& east, double& north);
void fromLocalFrame(const Geometry& geometry, double east, double north, double& lon, double& lat);

}  // namespace slip::source
