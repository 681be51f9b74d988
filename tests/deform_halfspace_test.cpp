// The half-space solution against values worked on paper: the 1985 paper's
// check list and more (one unit of slip, lengths in km, Poisson's ratio 0.25),
// and the properties the solution must have.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "deform/halfspace.h"

namespace slip::deform {
namespace {

struct CheckValue {
  double x, y, depth, dip;
  int component;  // 1 strike slip, 2 dip slip, 3 opening
  double ux, uy, uz;
};

// L = 3, W = 2; each value to its printed seven digits.
const CheckValue kCheckValues[] = {
    {2, 3, 4, 70, 1, -8.689165e-03, -4.297582e-03, -2.747406e-03},
    {2, 3, 4, 70, 2, -4.682349e-03, -3.526727e-02, -3.563856e-02},
    {2, 3, 4, 70, 3, -2.659960e-04, 1.056407e-02, 3.214193e-03},
    {0, 0, 4, 90, 1, 0, 5.253097e-03, 0},
    {0, 0, 4, 90, 2, 0, 0, 0},
    {0, 0, 4, 90, 3, 1.222848e-02, 0, -1.606275e-02},
    {10, -4, 4, 30, 1, 8.919001e-03, -5.851394e-03, 2.834160e-03},
    {10, -4, 4, 30, 2, -1.535565e-03, 1.955782e-03, -1.353821e-03},
    {10, -4, 4, 30, 3, 5.436163e-03, -3.783916e-03, 2.745012e-03},
    {-5, 6, 8, 15, 1, 3.980348e-03, -2.987094e-03, -5.064181e-03},
    {-5, 6, 8, 15, 2, -4.670564e-03, 3.399886e-03, 5.463767e-03},
    {-5, 6, 8, 15, 3, -3.752753e-03, 3.019728e-03, 4.658131e-03},
};

// Half a unit in the seventh significant digit (the printed zeros: 1e-12).
void expectDigits(double got, double printed) {
  const double unit = printed == 0.0 ? 1e-12 : 0.5e-6 * std::pow(10.0, std::floor(std::log10(std::fabs(printed))));
  EXPECT_NEAR(got, printed, unit * 1.0001);
}

TEST(HalfSpace, CheckValues) {
  for (const CheckValue& c : kCheckValues) {
    SCOPED_TRACE(testing::Message() << c.x << " " << c.y << " " << c.depth << " " << c.dip << " U" << c.component);
    const Displacement u = okadaSurface(c.x, c.y, c.depth, c.dip, 3.0, 2.0, c.component == 1, c.component == 2,
                                        c.component == 3, 0.25);
    expectDigits(u.x, c.ux);
    expectDigits(u.y, c.uy);
    expectDigits(u.z, c.uz);
  }
}

// A model's patch, placed by its centre and turned by its strike, against the
// paper's frame: the kernel (vector and scalar) gives the same at a ring of points.
TEST(HalfSpace, KernelMatchesTheFormula) {
  const Patch p{3.0, -2.0, 10.0, 200.0, 35.0, 5.0, 4.0, 1.5, -0.7};
  std::vector<double> east, north;
  for (int k = 0; k < 13; ++k) {  // not a multiple of the vector's width
    east.push_back(3.0 + 12.0 * std::cos(k * 0.5));
    north.push_back(-2.0 + 9.0 * std::sin(k * 0.5));
  }
  const std::size_t n = east.size();
  std::vector<double> ve(n), vn(n), vu(n), se(n), sn(n), su(n);
  const PatchTerms t = patchTerms(p);
  addDisplacement({&t, 1}, 0.25, east.data(), north.data(), n, ve.data(), vn.data(), vu.data());
  addDisplacementScalar({&p, 1}, 0.25, east.data(), north.data(), n, se.data(), sn.data(), su.data());
  const double s = 200.0 * std::numbers::pi / 180.0, d = 35.0 * std::numbers::pi / 180.0;
  for (std::size_t i = 0; i < n; ++i) {
    EXPECT_NEAR(ve[i], se[i], 1e-14);
    EXPECT_NEAR(vn[i], sn[i], 1e-14);
    EXPECT_NEAR(vu[i], su[i], 1e-14);
    // By hand: into the paper's frame, the reference point at the lower edge's start.
    const double de = east[i] - 3.0, dn = north[i] + 2.0;
    const Displacement u = okadaSurface(de * std::sin(s) + dn * std::cos(s) + 2.5,
                                        dn * std::sin(s) - de * std::cos(s) + 2.0 * std::cos(d),
                                        10.0 + 2.0 * std::sin(d), 35.0, 5.0, 4.0, 1.5, -0.7, 0.0, 0.25);
    EXPECT_NEAR(ve[i], u.x * std::sin(s) - u.y * std::cos(s), 1e-14);
    EXPECT_NEAR(vu[i], u.z, 1e-14);
  }
}

// Properties: a vertical strike-slip fault's field is symmetric about its
// centre and mirrored across its plane, a far point sees a point source, and a fault that reaches the surface gives finite values off
// its trace and the two sides' mean on it.
TEST(HalfSpace, Properties) {
  // Symmetry about the fault's centre, x = 1.5 (a vertical fault, L = 3, W = 2, top at 2 km).
  for (const double y : {0.5, 2.0, 7.0}) {
    const Displacement a = okadaSurface(1.5 + 2.0, y, 4.0, 90.0, 3.0, 2.0, 1.0, 0.0, 0.0, 0.25);
    const Displacement b = okadaSurface(1.5 - 2.0, -y, 4.0, 90.0, 3.0, 2.0, 1.0, 0.0, 0.0, 0.25);
    const Displacement c = okadaSurface(1.5 + 2.0, -y, 4.0, 90.0, 3.0, 2.0, 1.0, 0.0, 0.0, 0.25);
    EXPECT_NEAR(a.x, -b.x, 1e-15);  // half a turn about the centre turns the field with it
    EXPECT_NEAR(a.y, -b.y, 1e-15);
    EXPECT_NEAR(a.z, b.z, 1e-15);
    EXPECT_NEAR(a.x, -c.x, 1e-15);  // mirror across the fault plane
    EXPECT_NEAR(a.y, c.y, 1e-15);
    EXPECT_NEAR(a.z, -c.z, 1e-15);
  }
  // Far field: a small fault is a point source, its displacement its
  // moment's (proportional to its area) and falling off as 1/r^2.
  const Displacement small = okadaSurface(20.0, 7.0, 5.0, 40.0, 0.01, 0.01, 0.0, 1.0, 0.0, 0.25);
  const Displacement smaller = okadaSurface(20.0, 7.0, 5.0, 40.0, 0.005, 0.005, 0.0, 1.0, 0.0, 0.25);
  EXPECT_NEAR(small.z / smaller.z, 4.0, 0.01);
  const Displacement near = okadaSurface(200.0, 70.0, 50.0, 40.0, 0.1, 0.1, 0.0, 1.0, 0.0, 0.25);
  const Displacement far = okadaSurface(400.0, 140.0, 100.0, 40.0, 0.1, 0.1, 0.0, 1.0, 0.0, 0.25);
  EXPECT_NEAR(near.z / far.z, 4.0, 0.01);
  // A fault reaching the surface (dip 90, top at 0): finite beside the trace, offset 1 across it.
  const Displacement left = okadaSurface(1.5, 1e-9, 2.0, 90.0, 3.0, 2.0, 1.0, 0.0, 0.0, 0.25);
  const Displacement right = okadaSurface(1.5, -1e-9, 2.0, 90.0, 3.0, 2.0, 1.0, 0.0, 0.0, 0.25);
  const Displacement on = okadaSurface(1.5, 0.0, 2.0, 90.0, 3.0, 2.0, 1.0, 0.0, 0.0, 0.25);
  EXPECT_NEAR(std::fabs(left.x - right.x), 1.0, 1e-6);
  EXPECT_NEAR(on.x, 0.0, 1e-12);  // the two sides' mean
  EXPECT_TRUE(std::isfinite(on.y) && std::isfinite(on.z));
}

}  // namespace
}  // namespace slip::deform
