// Grids with a known fault geometry, for slipsource's tests.
#pragma once

#include <cmath>
#include <memory>
#include <numbers>

#include "base/grid.h"

namespace slip::testing {

struct KnownFault {
  double strike = 200.0, dip = 18.0;  // degrees
  double dx = 5.0, dz = 4.0;          // km
  double lon0 = -110.5, lat0 = 27.2;  // degrees, the grid's centre
  double xScale = 1.0;                // km on the map per km of a1(1) (1: a true geometry)
  double downDipTurn = 90.0;          // degrees from strike to the map direction of down dip
  bool wgs84 = false;                 // positions made on the WGS84 ellipsoid's radii at lat0, not R
};

// a1(1) = (il - 22) dx, a1(2) = (iw - 11.5) dz, so the grid's centre is the
// frame's origin, and positions placed through the local frame (R = 6371 km)
// at (lon0, lat0). Samples and times are left at 0.
inline std::unique_ptr<SubfaultGrid> faultGrid(const KnownFault& f = {}) {
  constexpr double deg = std::numbers::pi / 180.0;
  // The radii of curvature: along the meridian M, across it N (both R on the sphere).
  const double e2 = f.wgs84 ? (2.0 - 1.0 / 298.257223563) / 298.257223563 : 0.0;
  const double w2 = 1.0 - e2 * std::sin(f.lat0 * deg) * std::sin(f.lat0 * deg);
  const double a = f.wgs84 ? 6378.137 : 6371.0;
  const double kmPerDegreeNorth = a * (1.0 - e2) / (w2 * std::sqrt(w2)) * deg;
  const double kmPerDegreeEast = a / std::sqrt(w2) * deg;
  auto grid = std::make_unique<SubfaultGrid>();
  for (int iw = 1; iw <= 22; ++iw) {
    for (int il = 1; il <= 43; ++il) {
      const double x = (il - 22) * f.dx, y = (iw - 11.5) * f.dz;
      const double h = y * std::cos(f.dip * deg);  // down dip, on the map
      const double east = f.xScale * x * std::sin(f.strike * deg) + h * std::sin((f.strike + f.downDipTurn) * deg);
      const double north = f.xScale * x * std::cos(f.strike * deg) + h * std::cos((f.strike + f.downDipTurn) * deg);
      grid->a1(1, il, iw) = x;
      grid->a1(2, il, iw) = y;
      grid->a1(3, il, iw) = f.lon0 + east / (std::cos(f.lat0 * deg) * kmPerDegreeEast);
      grid->a1(4, il, iw) = f.lat0 + north / kmPerDegreeNorth;
    }
  }
  return grid;
}

}  // namespace slip::testing
