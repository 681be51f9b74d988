#include "science/geometry.h"

#include <cmath>
#include <cstdarg>
#include <numbers>
#include <string>
#include <vector>

#include "text/text.h"

namespace slip::source {
namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

double x(const SubfaultGrid& g, int il, int iw) { return g.a1_[iw - 1][il - 1][0]; }
double y(const SubfaultGrid& g, int il, int iw) { return g.a1_[iw - 1][il - 1][1]; }
double lon(const SubfaultGrid& g, int il, int iw) { return g.a1_[iw - 1][il - 1][2]; }
double lat(const SubfaultGrid& g, int il, int iw) { return g.a1_[iw - 1][il - 1][3]; }

// An angle difference brought into -180..180.
double wrap180(double degrees) { return degrees - 360.0 * std::round(degrees / 360.0); }

SLIP_PRINTF(3, 4) SourceProblem problem(int il, int iw, const char* pattern, ...) {
  std::va_list args;
  va_start(args, pattern);
  SourceProblem p{formatList(pattern, args), il, iw, false};
  va_end(args);
  return p;
}

bool differs(double step, double first) { return std::fabs(step - first) > kSpacingTolerance * first; }

// Dx from the columns of every row, or the first subfault that breaks it.
SourceProblem checkDx(const SubfaultGrid& g, double& dx) {
  dx = x(g, 2, 1) - x(g, 1, 1);
  if (!(dx > 0.0)) {
    return problem(2, 1,
                   "a1(1) does not grow from column L 1 to L 2 of row W 1 (step %g km): x must run along "
                   "strike, column by column; give --dx",
                   dx);
  }
  for (int iw = 1; iw <= kRows; ++iw) {
    for (int il = 2; il <= kColumns; ++il) {
      const double step = x(g, il, iw) - x(g, il - 1, iw);
      if (differs(step, dx)) {
        return problem(il, iw,
                       "subfault W%2d L%2d: a1(1) steps by %g km from column L%2d, not by Dx = %g km "
                       "(W 1, L 1 to L 2) within %g %%; give --dx",
                       iw, il, step, il - 1, dx, 100.0 * kSpacingTolerance);
      }
    }
  }
  return {};
}

// Dz from the rows of every column, or the first subfault that breaks it.
SourceProblem checkDz(const SubfaultGrid& g, double& dz) {
  dz = y(g, 1, 2) - y(g, 1, 1);
  if (!(dz > 0.0)) {
    return problem(1, 2,
                   "a1(2) does not grow from row W 1 to W 2 of column L 1 (step %g km): y must run down "
                   "dip, row by row; give --dz",
                   dz);
  }
  for (int iw = 2; iw <= kRows; ++iw) {
    for (int il = 1; il <= kColumns; ++il) {
      const double step = y(g, il, iw) - y(g, il, iw - 1);
      if (differs(step, dz)) {
        return problem(il, iw,
                       "subfault W%2d L%2d: a1(2) steps by %g km from row W%2d, not by Dz = %g km "
                       "(L 1, W 1 to W 2) within %g %%; give --dz",
                       iw, il, step, iw - 1, dz, 100.0 * kSpacingTolerance);
      }
    }
  }
  return {};
}

// The mean position, the longitudes taken relative to the first so that a
// fault across the 180th meridian has its mean on the fault.
void frameOrigin(const SubfaultGrid& g, Geometry& geo) {
  const double lonRef = lon(g, 1, 1);
  double sumLon = 0.0, sumLat = 0.0;
  for (int iw = 1; iw <= kRows; ++iw) {
    for (int il = 1; il <= kColumns; ++il) {
      sumLon += wrap180(lon(g, il, iw) - lonRef);
      sumLat += lat(g, il, iw);
    }
  }
  geo.lon0 = lonRef + sumLon / kSubfaults;
  geo.lat0 = sumLat / kSubfaults;
}

// The least-squares plane through (x, y) -> (east, north), on centred sums.
// Returns false when x and y do not vary independently.
bool fitPlane(const SubfaultGrid& g, Geometry& geo) {
  // Each position in the local frame, projected once for the sums and the residuals.
  struct Point {
    double x, y, e, n;
    int il, iw;
  };
  std::vector<Point> points;
  points.reserve(kSubfaults);
  for (int iw = 1; iw <= kRows; ++iw) {
    for (int il = 1; il <= kColumns; ++il) {
      Point p{x(g, il, iw), y(g, il, iw), 0.0, 0.0, il, iw};
      toLocalFrame(geo, lon(g, il, iw), lat(g, il, iw), p.e, p.n);
      points.push_back(p);
    }
  }
  double mx = 0.0, my = 0.0, me = 0.0, mn = 0.0;
  for (const Point& p : points) {
    mx += p.x;
    my += p.y;
    me += p.e;
    mn += p.n;
  }
  mx /= kSubfaults;
  my /= kSubfaults;
  me /= kSubfaults;
  mn /= kSubfaults;
  double sxx = 0.0, sxy = 0.0, syy = 0.0, sxe = 0.0, sye = 0.0, sxn = 0.0, syn = 0.0;
  for (const Point& p : points) {
    const double dxi = p.x - mx, dyi = p.y - my;
    const double e = p.e - me, n = p.n - mn;
    sxx += dxi * dxi;
    sxy += dxi * dyi;
    syy += dyi * dyi;
    sxe += dxi * e;
    sye += dyi * e;
    sxn += dxi * n;
    syn += dyi * n;
  }
  const double det = sxx * syy - sxy * sxy;
  geo.ce = me;
  geo.cn = mn;
  if (!(det > 1e-12 * sxx * syy)) return false;
  geo.ae = (sxe * syy - sye * sxy) / det;
  geo.be = (sye * sxx - sxe * sxy) / det;
  geo.an = (sxn * syy - syn * sxy) / det;
  geo.bn = (syn * sxx - sxn * sxy) / det;
  geo.ce = me - geo.ae * mx - geo.be * my;
  geo.cn = mn - geo.an * mx - geo.bn * my;
  for (const Point& p : points) {
    const double re = p.e - (geo.ae * p.x + geo.be * p.y + geo.ce);
    const double rn = p.n - (geo.an * p.x + geo.bn * p.y + geo.cn);
    const double r = std::sqrt(re * re + rn * rn);
    if (r > geo.largestResidual) {
      geo.largestResidual = r;
      geo.residualIl = p.il;
      geo.residualIw = p.iw;
    }
  }
  return true;
}

// Strike (0..360) and dip (0..90) of a position fit's coefficients, in degrees.
void orientation(double ae, double an, double be, double bn, double& strike, double& dip) {
  strike = std::atan2(ae, an) / kDegree;
  if (strike < 0.0) strike += 360.0;
  if (strike >= 360.0) strike -= 360.0;
  const double horizontal = std::sqrt(be * be + bn * bn);
  dip = std::acos(horizontal < 1.0 ? horizontal : 1.0) / kDegree;
}

// The fit in the WGS84 frame is the spherical one with east scaled by
// N(lat0) / R and north by M(lat0) / R; the frame whose |(ae, an)| lies
// nearer 1 (a1(1) is km along strike) gives the strike and dip, the other
// their uncertainty. Given angles are set by the caller afterwards.
void deriveInBothFrames(Geometry& geo) {
  const double e2 = kWgs84Flattening * (2.0 - kWgs84Flattening);
  const double s = std::sin(geo.lat0 * kDegree), w = std::sqrt(1.0 - e2 * s * s);
  const double eastScale = kWgs84SemiMajorAxis / w / kEarthRadiusKm;
  const double northScale = kWgs84SemiMajorAxis * (1.0 - e2) / (w * w * w) / kEarthRadiusKm;
  double sphereStrike, sphereDip, wgsStrike, wgsDip;
  orientation(geo.ae, geo.an, geo.be, geo.bn, sphereStrike, sphereDip);
  orientation(geo.ae * eastScale, geo.an * northScale, geo.be * eastScale, geo.bn * northScale, wgsStrike, wgsDip);
  const double sphereScale = std::hypot(geo.ae, geo.an);
  const double wgsScale = std::hypot(geo.ae * eastScale, geo.an * northScale);
  geo.ellipsoidal = std::fabs(wgsScale - 1.0) < std::fabs(sphereScale - 1.0);
  geo.alongStrikeScale = geo.ellipsoidal ? wgsScale : sphereScale;
  geo.otherScale = geo.ellipsoidal ? sphereScale : wgsScale;
  geo.dip = geo.ellipsoidal ? wgsDip : sphereDip;
  geo.otherDip = geo.ellipsoidal ? sphereDip : wgsDip;
  geo.otherStrike = geo.ellipsoidal ? sphereStrike : wgsStrike;
  if (!geo.strikeGiven) {
    geo.strike = geo.ellipsoidal ? wgsStrike : sphereStrike;
    geo.strikeUncertainty = std::fabs(wrap180(geo.otherStrike - geo.strike));
  }
  if (!geo.dipGiven) geo.dipUncertainty = std::fabs(geo.otherDip - geo.dip);
}

}  // namespace

void toLocalFrame(const Geometry& geo, double lonDeg, double latDeg, double& east, double& north) {
  const double kmPerDegree = kEarthRadiusKm * kDegree;
  east = wrap180(lonDeg - geo.lon0) * std::cos(geo.lat0 * kDegree) * kmPerDegree;
  north = (latDeg - geo.lat0) * kmPerDegree;
}

void fromLocalFrame(const Geometry& geo, double east, double north, double& lonDeg, double& latDeg) {
  const double kmPerDegree = kEarthRadiusKm * kDegree;
  lonDeg = geo.lon0 + east / (std::cos(geo.lat0 * kDegree) * kmPerDegree);
  latDeg = geo.lat0 + north / kmPerDegree;
}

double subfaultDepth(const Geometry& geo, double yKm) { return geo.depth + yKm * std::sin(geo.dip * kDegree); }

SourceProblem deriveGeometry(const SubfaultGrid& grid, const GeometryOptions& options, Geometry& geo) {
  geo = Geometry{};
  geo.dxGiven = options.dx.has_value();
  geo.dzGiven = options.dz.has_value();
  geo.strikeGiven = options.strike.has_value();
  geo.dipGiven = options.dip.has_value();
  const bool orientationGiven = geo.strikeGiven && geo.dipGiven;

  if (geo.dxGiven) {
    geo.dx = *options.dx;
  } else if (SourceProblem p = checkDx(grid, geo.dx)) {
    return p;
  }
  if (geo.dzGiven) {
    geo.dz = *options.dz;
  } else if (SourceProblem p = checkDz(grid, geo.dz)) {
    return p;
  }

  frameOrigin(grid, geo);
  if (!fitPlane(grid, geo) && !orientationGiven) {
    return {"the positions give no plane: a1(1) and a1(2) do not vary independently; give --strike and --dip"};
  }
  fromLocalFrame(geo, geo.ce, geo.cn, geo.epicentreLon, geo.epicentreLat);
  if (geo.epicentreLon > 180.0) geo.epicentreLon -= 360.0;  // the frame's mean may lie beyond 180
  if (geo.epicentreLon <= -180.0) geo.epicentreLon += 360.0;

  const double scale = std::sqrt(geo.ae * geo.ae + geo.an * geo.an);
  if (geo.strikeGiven) {
    geo.strike = *options.strike;
  } else if (std::fabs(scale - 1.0) > kScaleTolerance) {
    return problem(0, 0,
                   "the positions move %.4g km on the map per km of a1(1), not 1 within %g %%: x is not km "
                   "along strike; give --strike (and --dip)",
                   scale, 100.0 * kScaleTolerance);
  }
  deriveInBothFrames(geo);
  if (geo.dipGiven) geo.dip = *options.dip;
  if (!orientationGiven) {
    if (geo.dip <= kSteepestCheckedDip) {
      const double azimuth = std::atan2(geo.be, geo.bn) / kDegree;
      const double off = wrap180(azimuth - (geo.strike + 90.0));
      if (std::fabs(off) > kDownDipTolerance) {
        return problem(0, 0,
                       "down dip (a1(2) growing) points to azimuth %.1f deg, %.1f deg from strike + 90 = %.1f "
                       "deg: down dip must lie to the right of strike; give --strike and --dip",
                       azimuth < 0.0 ? azimuth + 360.0 : azimuth, off, std::fmod(geo.strike + 90.0, 360.0));
      }
    }
    const double limit = 0.5 * (geo.dx < geo.dz ? geo.dx : geo.dz);
    if (geo.largestResidual > limit) {
      return problem(geo.residualIl, geo.residualIw,
                     "subfault W%2d L%2d lies %.3f km from the plane fitted to the positions, more than half "
                     "the smaller of Dx and Dz (%.3f km): the positions do not fit a1(1) and a1(2); give "
                     "--strike and --dip",
                     geo.residualIw, geo.residualIl, geo.largestResidual, limit);
    }
  }

  if (options.depth) {
    geo.hasDepth = true;
    geo.depth = *options.depth;
    // The shallowest top edge, centre depth - (Dz/2) sin(dip), decides the depth that places it at the ground.
    const double halfHeight = 0.5 * geo.dz * std::sin(geo.dip * kDegree);
    int topIl = 0, topIw = 0;
    double top = 0.0;
    for (int iw = 1; iw <= kRows; ++iw) {
      for (int il = 1; il <= kColumns; ++il) {
        const double t = subfaultDepth(geo, y(grid, il, iw)) - halfHeight;
        if (topIl == 0 || t < top) {
          top = t;
          topIl = il;
          topIw = iw;
        }
      }
    }
    if (top < -kGroundTolerance) {
      const double y0 = y(grid, topIl, topIw), centre = subfaultDepth(geo, y0);
      const double atGround = geo.depth - top;
      if (centre < 0.0) {
        return problem(topIl, topIw,
                       "subfault W%2d L%2d would lie %.3f km above the surface (depth %g km + a1(2) = %g km "
                       "x sin(dip %.2f deg)); --depth %.3f puts its top edge at the ground",
                       topIw, topIl, -centre, geo.depth, y0, geo.dip, atGround);
      }
      return problem(topIl, topIw,
                     "subfault W%2d L%2d's top edge would lie %.3f km above the surface (its centre at %.3f km "
                     "- Dz/2 = %g km x sin(dip %.2f deg)); --depth %.3f puts it at the ground",
                     topIw, topIl, -top, centre, 0.5 * geo.dz, geo.dip, atGround);
    }
  }
  return {};
}

}  // namespace slip::source
