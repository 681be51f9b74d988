// The static surface displacement of a rectangular dislocation in a
// homogeneous elastic half-space: Okada's closed-form solution (Y. Okada,
// "Surface deformation due to shear and tensile faults in a half-space",
// Bull. Seismol. Soc. Am. 75(4), 1135-1154, 1985, equations (25)-(30)).
//
// Coordinates of the solution: x along strike, y horizontal and 90 degrees
// anticlockwise from x, z up; the fault dips (angle d) towards -y. Its
// reference point is (0, 0, -D), the x = 0 end of its lower edge; it spans
// 0 <= xi' <= L along strike and 0 <= eta' <= W up dip. Slip: U1 strike
// slip (positive left-lateral), U2 dip slip (positive reverse), U3 opening.
// Lengths in any one unit (km here), displacements in the unit of U (m).
//
// With p = y cos d + D sin d, q = y sin d - D cos d, every term f(xi, eta)
// is taken in Chinnery's notation
//   f|| = f(x, p) - f(x, p - W) - f(x - L, p) + f(x - L, p - W),
// and, with y~ = eta cos d + q sin d, d~ = eta sin d - q cos d,
// R^2 = xi^2 + eta^2 + q^2, X^2 = xi^2 + q^2, th = atan(xi eta / (q R)):
//   strike slip  ux = -U1/2pi [xi q/(R(R+eta)) + th + I1 sin d]
//                uy = -U1/2pi [y~ q/(R(R+eta)) + q cos d/(R+eta) + I2 sin d]
//                uz = -U1/2pi [d~ q/(R(R+eta)) + q sin d/(R+eta) + I4 sin d]
//   dip slip     ux = -U2/2pi [q/R - I3 sin d cos d]
//                uy = -U2/2pi [y~ q/(R(R+xi)) + cos d th - I1 sin d cos d]
//                uz = -U2/2pi [d~ q/(R(R+xi)) + sin d th - I5 sin d cos d]
//   tensile      ux =  U3/2pi [q^2/(R(R+eta)) - I3 sin^2 d]
//                uy =  U3/2pi [-d~ q/(R(R+xi)) - sin d (xi q/(R(R+eta)) - th) - I1 sin^2 d]
//                uz =  U3/2pi [y~ q/(R(R+xi)) + cos d (xi q/(R(R+eta)) - th) - I5 sin^2 d]
// with m = mu/(lambda + mu) = 1 - 2 nu and, for cos d != 0,
//   I1 = m (-xi / (cos d (R + d~))) - tan d I5
//   I2 = m (-ln(R + eta)) - I3
//   I3 = m (y~ / (cos d (R + d~)) - ln(R + eta)) + tan d I4
//   I4 = m / cos d (ln(R + d~) - sin d ln(R + eta))
//   I5 = m 2 / cos d atan[(eta (X + q cos d) + X (R + X) sin d) / (xi (R + X) cos d)]
// and for a vertical fault (cos d = 0)
//   I1 = -m/2 xi q / (R + d~)^2          I3 = m/2 [eta/(R + d~) + y~ q/(R + d~)^2 - ln(R + eta)]
//   I4 = -m q / (R + d~)                 I5 = -m xi sin d / (R + d~).
// Where the formulas are singular the paper's limits hold: th = 0 when
// q = 0; I5 = 0 when xi = 0; 1/(R + eta) = 0 and ln(R + eta) = -ln(R - eta)
// when R + eta = 0; 1/(R + xi) = 0 when R + xi = 0. R + eta and R + xi are
// computed without cancellation (X^2 / (R - eta) for eta < 0). A point at a
// corner of a fault that reaches the surface (R = 0) has no limit: its
// displacement is not finite, and the program says so.
#pragma once

#include <cstddef>
#include <span>

namespace slip::deform {

struct Displacement {
  double x = 0.0, y = 0.0, z = 0.0;
};

// The solution above at (x, y, 0), in the paper's coordinates; dip in degrees.
Displacement okadaSurface(double x, double y, double depth, double dipDegrees, double length, double width,
                          double u1, double u2, double u3, double poisson);

// One subfault of a model, placed by its centre in the local frame.
struct Patch {
  double east = 0.0, north = 0.0;  // km, the centre
  double depth = 0.0;              // km, the centre's
  double strike = 0.0, dip = 0.0;  // degrees
  double length = 0.0, width = 0.0;  // km, along strike and down dip
  double strikeSlip = 0.0, dipSlip = 0.0;  // m: slip cos(rake), slip sin(rake)
};

// A patch's terms that do not depend on the point, computed once.
struct PatchTerms {
  double east, north;          // the centre, km
  double sinStrike, cosStrike;
  double sinDip, cosDip;       // cos d exactly 0 for a vertical fault
  double shiftX, shiftY;       // the centre in the paper's frame: L/2, (W/2) cos d
  double depth;                // D, the lower edge's depth, at least W sin d
  double length, width;
  double u1, u2;               // the slip over 2 pi
};
PatchTerms patchTerms(const Patch& patch);

// Adds the displacement (m) of every patch at `count` points (east, north
// in km) to east, north and up; the vector unit takes several points at once.
void addDisplacement(std::span<const PatchTerms> patches, double poisson, const double* east, const double* north,
                     std::size_t count, double* ue, double* un, double* uu);

// The same, one point and one patch at a time through okadaSurface, with
// every term of the patch computed again: the formula as written, the
// baseline of the benchmark and of the tests.
void addDisplacementScalar(std::span<const Patch> patches, double poisson, const double* east, const double* north,
                           std::size_t count, double* ue, double* un, double* uu);

}  // namespace slip::deform
