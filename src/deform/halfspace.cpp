#include "deform/halfspace.h"

#include <algorithm>
#include <cmath>
#include <experimental/simd>
#include <numbers>
#include <vector>

namespace slip::deform {
namespace {

namespace stdx = std::experimental;
using Vec = stdx::native_simd<double>;
constexpr double kDegree = std::numbers::pi / 180.0;
// Below this |cos d| the fault is vertical: cos(90 degrees) in doubles is 6e-17, not 0.
constexpr double kVertical = 1.0e-12;

// a where m holds, else b: one spelling for a lone double and for the vector.
inline double pick(bool m, double a, double b) { return m ? a : b; }
inline Vec pick(const Vec::mask_type& m, const Vec& a, Vec b) {
  stdx::where(m, b) = a;
  return b;
}

// The fault's angles and the medium, the same for every corner.
// The logarithms A = ln(R + eta) and B = ln(R + d~) enter I2, I3 and I4,
// and through them the displacement, with factors that are the same at
// every corner: I4 = a4 A + b4 B + ..., I3 = a3 A + b3 B + ..., I2 = a2 A +
// b2 B + .... The kernel therefore sums them over the four corners as the
// logarithms of two products (sum of sign ln x = ln of prod x^sign): two
// logarithms a point instead of eight.
struct Plane {
  double sd, cd;   // sin d, cos d (cd 0 for a vertical fault)
  double m;        // mu / (lambda + mu) = 1 - 2 nu
  bool vertical;
  double a4 = 0.0, b4 = 0.0, a3 = 0.0, b3 = 0.0, a2 = 0.0, b2 = 0.0;
};

inline Plane plane(double sinDip, double cosDip, double poisson) {
  Plane f{sinDip, cosDip, 1.0 - 2.0 * poisson, false};
  if (std::fabs(cosDip) < kVertical) {
    f.cd = 0.0;
    f.sd = sinDip < 0.0 ? -1.0 : 1.0;
    f.vertical = true;
    f.a3 = -f.m / 2.0;
  } else {
    f.a4 = -f.m * f.sd / f.cd;
    f.b4 = f.m / f.cd;
    f.a3 = -f.m + f.sd / f.cd * f.a4;
    f.b3 = f.sd / f.cd * f.b4;
  }
  f.a2 = -f.m - f.a3;
  f.b2 = -f.b3;
  return f;
}

// The two products of a Chinnery sum: prod (R + eta)^sign and prod (R + d~)^sign,
// as numerators and denominators.
template <class V>
struct LogProducts {
  V upA, downA, upB, downB;
};

// The terms of one corner (xi, eta) of the Chinnery sum, times `sign`, added
// to the displacement per unit slip over 2 pi: (ux, uy, uz) += sign (u1
// strike-slip terms + u2 dip-slip terms + u3 tensile terms), each term
// with the sign of the formulas above.
// With `logs`, A and B are left out here (taken as 0) and their arguments
// gathered in `logs` instead.
template <class V>
void corner(const Plane& f, V xi, V eta, V q, double sign, double u1, double u2, double u3, V& ux, V& uy, V& uz,
            LogProducts<V>* logs = nullptr) {
  using std::atan;
  using std::log;
  using std::sqrt;
  const double sd = f.sd, cd = f.cd, m = f.m;
  const V zero = V(0.0), one = V(1.0);
  const V yt = eta * cd + q * sd;
  const V dt = eta * sd - q * cd;
  const V x2 = xi * xi + q * q;
  const V r = sqrt(x2 + eta * eta);
  const V bigX = sqrt(x2);
  // R + eta and R + xi without cancellation where eta or xi is negative.
  const V reBack = r - eta;
  const V re = pick(eta >= zero, r + eta, x2 / reBack);
  const auto reZero = re == zero;
  const V invRe = pick(reZero, zero, one / pick(reZero, one, re));
  const V reLog = pick(reZero, one / reBack, re);  // ln(R + eta) = -ln(R - eta) where R + eta = 0
  const V rxBack = r - xi;
  const V rx = pick(xi >= zero, r + xi, (eta * eta + q * q) / rxBack);
  const auto rxZero = rx == zero;
  const V invRx = pick(rxZero, zero, one / pick(rxZero, one, rx));
  const auto qZero = q == zero;
  const V th = pick(qZero, zero, atan(xi * eta / (pick(qZero, one, q) * r)));
  const V rd = r + dt;
  V lnRe = zero, lnRd = zero;
  if (logs) {
    if (sign > 0.0) {
      logs->upA = logs->upA * reLog, logs->upB = logs->upB * rd;
    } else {
      logs->downA = logs->downA * reLog, logs->downB = logs->downB * rd;
    }
  } else {
    lnRe = log(reLog);
    lnRd = log(rd);
  }

  V i1, i3, i4, i5;
  if (f.vertical) {
    const V inv = one / rd;
    i1 = -(m / 2.0) * xi * q * inv * inv;
    i3 = (m / 2.0) * (eta * inv + yt * q * inv * inv - lnRe);
    i4 = -m * q * inv;
    i5 = -m * xi * sd * inv;
  } else {
    const auto xiZero = xi == zero;
    const V num = eta * (bigX + q * cd) + bigX * (r + bigX) * sd;
    const V den = xi * (r + bigX) * cd;
    i5 = pick(xiZero, zero, (m * 2.0 / cd) * atan(num / pick(xiZero, one, den)));
    i4 = (m / cd) * (lnRd - sd * lnRe);
    i3 = m * (yt / (cd * rd) - lnRe) + (sd / cd) * i4;
    i1 = m * (-xi / (cd * rd)) - (sd / cd) * i5;
  }
  const V i2 = m * -lnRe - i3;
  const V qOverR = q / r;
  const V qRe = qOverR * invRe;  // q / (R (R + eta))
  const V qRx = qOverR * invRx;  // q / (R (R + xi))
  V dx = zero, dy = zero, dz = zero;
  if (u1 != 0.0) {
    dx = dx - u1 * (xi * qRe + th + i1 * sd);
    dy = dy - u1 * (yt * qRe + q * cd * invRe + i2 * sd);
    dz = dz - u1 * (dt * qRe + q * sd * invRe + i4 * sd);
  }
  if (u2 != 0.0) {
    dx = dx - u2 * (qOverR - i3 * sd * cd);
    dy = dy - u2 * (yt * qRx + cd * th - i1 * sd * cd);
    dz = dz - u2 * (dt * qRx + sd * th - i5 * sd * cd);
  }
  if (u3 != 0.0) {
    const V open = xi * qRe - th;
    dx = dx + u3 * (q * q * invRe / r - i3 * sd * sd);
    dy = dy + u3 * (-dt * qRx - sd * open - i1 * sd * sd);
    dz = dz + u3 * (yt * qRx + cd * open - i5 * sd * sd);
  }
  ux = ux + sign * dx;
  uy = uy + sign * dy;
  uz = uz + sign * dz;
}

// The Chinnery sum at (x, y) of the paper's frame: per unit 2 pi of slip.
// With `combine`, the logarithms are taken once over the four corners.
template <class V>
void chinnery(const Plane& f, V x, V y, double depth, double length, double width, double u1, double u2, double u3,
              V& ux, V& uy, V& uz, bool combine = false) {
  using std::log;
  const V p = y * f.cd + depth * f.sd;
  const V q = y * f.sd - depth * f.cd;
  LogProducts<V> products{V(1.0), V(1.0), V(1.0), V(1.0)};
  LogProducts<V>* logs = combine ? &products : nullptr;
  corner(f, x, p, q, 1.0, u1, u2, u3, ux, uy, uz, logs);
  corner(f, x, p - width, q, -1.0, u1, u2, u3, ux, uy, uz, logs);
  corner(f, x - length, p, q, -1.0, u1, u2, u3, ux, uy, uz, logs);
  corner(f, x - length, p - width, q, 1.0, u1, u2, u3, ux, uy, uz, logs);
  if (!combine) return;
  const V a = log(products.upA / products.downA), b = log(products.upB / products.downB);
  const V i3 = f.a3 * a + f.b3 * b, i2 = f.a2 * a + f.b2 * b, i4 = f.a4 * a + f.b4 * b;
  const double sd = f.sd, cd = f.cd;
  ux = ux + u2 * sd * cd * i3 - u3 * sd * sd * i3;
  uy = uy - u1 * sd * i2;
  uz = uz - u1 * sd * i4;
}

// One patch at points given in the local frame, added to east, north, up.
template <class V>
void addPatch(const PatchTerms& t, const Plane& f, V east, V north, V& ue, V& un, V& uu) {
  const V de = east - t.east, dn = north - t.north;
  const V x = de * t.sinStrike + dn * t.cosStrike + t.shiftX;
  const V y = dn * t.sinStrike - de * t.cosStrike + t.shiftY;
  V ux = V(0.0), uy = V(0.0), uz = V(0.0);
  chinnery(f, x, y, t.depth, t.length, t.width, t.u1, t.u2, 0.0, ux, uy, uz, true);
  ue = ue + (ux * t.sinStrike - uy * t.cosStrike);
  un = un + (ux * t.cosStrike + uy * t.sinStrike);
  uu = uu + uz;
}

}  // namespace

Displacement okadaSurface(double x, double y, double depth, double dipDegrees, double length, double width,
                          double u1, double u2, double u3, double poisson) {
  const Plane f = plane(std::sin(dipDegrees * kDegree), std::cos(dipDegrees * kDegree), poisson);
  const double twoPi = 2.0 * std::numbers::pi;
  Displacement u;
  chinnery(f, x, y, depth, length, width, u1 / twoPi, u2 / twoPi, u3 / twoPi, u.x, u.y, u.z);
  return u;
}

PatchTerms patchTerms(const Patch& p) {
  const Plane f = plane(std::sin(p.dip * kDegree), std::cos(p.dip * kDegree), 0.25);
  const double twoPi = 2.0 * std::numbers::pi;
  PatchTerms t{};
  t.east = p.east;
  t.north = p.north;
  t.sinStrike = std::sin(p.strike * kDegree);
  t.cosStrike = std::cos(p.strike * kDegree);
  t.sinDip = f.sd;
  t.cosDip = f.cd;
  t.length = p.length;
  t.width = p.width;
  t.shiftX = p.length / 2.0;
  t.shiftY = p.width / 2.0 * f.cd;
  // A top edge the geometry lets lie a little above the ground is put at it.
  t.depth = std::max(p.depth + p.width / 2.0 * f.sd, p.width * f.sd);
  t.u1 = p.strikeSlip / twoPi;
  t.u2 = p.dipSlip / twoPi;
  return t;
}

void addDisplacement(std::span<const PatchTerms> patches, double poisson, const double* east, const double* north,
                     std::size_t count, double* ue, double* un, double* uu) {
  constexpr std::size_t w = Vec::size();
  std::vector<Plane> planes;
  for (const PatchTerms& t : patches) planes.push_back(plane(t.sinDip, t.cosDip, poisson));
  double pe[w], pn[w], oe[w], on[w], ou[w];
  for (std::size_t i = 0; i < count; i += w) {
    const std::size_t n = std::min(w, count - i);
    for (std::size_t k = 0; k < w; ++k) {  // the last points repeated to fill the vector
      pe[k] = east[i + std::min(k, n - 1)];
      pn[k] = north[i + std::min(k, n - 1)];
    }
    const Vec e(pe, stdx::element_aligned), no(pn, stdx::element_aligned);
    Vec se = 0.0, sn = 0.0, su = 0.0;
    for (std::size_t j = 0; j < patches.size(); ++j) {
      addPatch(patches[j], planes[j], e, no, se, sn, su);
    }
    se.copy_to(oe, stdx::element_aligned);
    sn.copy_to(on, stdx::element_aligned);
    su.copy_to(ou, stdx::element_aligned);
    for (std::size_t k = 0; k < n; ++k) {
      ue[i + k] += oe[k];
      un[i + k] += on[k];
      uu[i + k] += ou[k];
    }
  }
}

void addDisplacementScalar(std::span<const Patch> patches, double poisson, const double* east, const double* north,
                           std::size_t count, double* ue, double* un, double* uu) {
  for (std::size_t i = 0; i < count; ++i) {
    for (const Patch& p : patches) {
      const double s = p.strike * kDegree, d = p.dip * kDegree;
      const double de = east[i] - p.east, dn = north[i] - p.north;
      const double x = de * std::sin(s) + dn * std::cos(s) + p.length / 2.0;
      const double y = dn * std::sin(s) - de * std::cos(s) + p.width / 2.0 * std::cos(d);
      const double depth = std::max(p.depth + p.width / 2.0 * std::sin(d), p.width * std::sin(d));
      const Displacement u =
          okadaSurface(x, y, depth, p.dip, p.length, p.width, p.strikeSlip, p.dipSlip, 0.0, poisson);
      ue[i] += u.x * std::sin(s) - u.y * std::cos(s);
      un[i] += u.x * std::cos(s) + u.y * std::sin(s);
      uu[i] += u.z;
    }
  }
}

}  // namespace slip::deform
