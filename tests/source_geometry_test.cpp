#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "science/geometry.h"
#include "source_grid.h"

namespace slip::source {
namespace {

using testing::faultGrid;
using testing::KnownFault;

// The geometry a grid was built with comes back from its offsets and positions.
TEST(SourceGeometry, RecoversKnownFaults) {
  const KnownFault faults[] = {
      {},                                             // the bundled model's shape
      {.strike = 10.0, .dip = 45.0, .dx = 2.0, .dz = 2.0, .lon0 = 142.0, .lat0 = 38.0},
      {.strike = 305.0, .dip = 8.0, .dx = 10.0, .dz = 7.5, .lon0 = -72.0, .lat0 = -36.0},
      {.strike = 90.0, .dip = 70.0, .dx = 3.0, .dz = 3.0, .lon0 = 179.9, .lat0 = -17.0},  // across 180
      {.strike = 359.0, .dip = 30.0, .dx = 4.0, .dz = 5.0, .lon0 = 0.0, .lat0 = 62.0},
  };
  for (const KnownFault& f : faults) {
    SCOPED_TRACE(::testing::Message() << "strike " << f.strike << " dip " << f.dip);
    Geometry g;
    ASSERT_FALSE(deriveGeometry(*faultGrid(f), {}, g)) << deriveGeometry(*faultGrid(f), {}, g).message;
    EXPECT_NEAR(std::remainder(g.strike - f.strike, 360.0), 0.0, 0.05);
    EXPECT_NEAR(g.dip, f.dip, 0.05);
    EXPECT_NEAR(g.dx / f.dx, 1.0, 0.001);
    EXPECT_NEAR(g.dz / f.dz, 1.0, 0.001);
    // The centre of the grid is x = y = 0: the epicentre is the frame's centre.
    EXPECT_NEAR(std::remainder(g.epicentreLon - f.lon0, 360.0), 0.0, 1e-6);
    EXPECT_NEAR(g.epicentreLat, f.lat0, 1e-6);
    EXPECT_LT(g.largestResidual, 0.01);
    EXPECT_FALSE(g.strikeGiven || g.dipGiven || g.dxGiven || g.dzGiven || g.hasDepth);
  }
}

// Positions made on the sphere or on the WGS84 ellipsoid: the frame whose km
// match a1(1)'s is chosen and gives the made dip; the other frame's dip is the
// uncertainty, which shallow dips make large (the three faults).
TEST(SourceGeometry, DipInTwoFrames) {
  const struct {
    KnownFault fault;
    double otherDip;  // the other frame's, to 0.01 degree
  } cases[] = {
      {{.dip = 8.0, .lat0 = -1.0, .wgs84 = true}, 8.13},
      {{.dip = 8.0, .lat0 = -1.0}, 7.86},
      {{.dip = 6.0, .lat0 = -40.0, .wgs84 = true}, 7.02},
      {{.dip = 10.0, .lat0 = 70.0, .wgs84 = true}, 11.22},
      {{.dip = 10.0, .lat0 = 70.0}, 8.60},
      {{.dip = 45.0, .lat0 = 38.0, .wgs84 = true}, 45.11},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.fault.dip << " deg at " << c.fault.lat0 << (c.fault.wgs84 ? " WGS84" : ""));
    Geometry g;
    ASSERT_FALSE(deriveGeometry(*faultGrid(c.fault), {}, g));
    EXPECT_EQ(g.ellipsoidal, c.fault.wgs84);
    EXPECT_NEAR(g.dip, c.fault.dip, 1e-6);
    EXPECT_NEAR(g.otherDip, c.otherDip, 0.005);
    EXPECT_EQ(g.dipUncertainty, std::fabs(g.otherDip - g.dip));
    EXPECT_NEAR(g.alongStrikeScale, 1.0, 1e-9);
  }
  Geometry g;  // a given dip has no uncertainty
  ASSERT_FALSE(deriveGeometry(*faultGrid({.dip = 8.0, .lat0 = -1.0}), {.dip = 8.0}, g));
  EXPECT_EQ(g.dipUncertainty, 0.0);
}

struct Refusal {
  const char* what;
  std::function<void(SubfaultGrid&)> spoil;
  KnownFault fault;
  GeometryOptions override;  // the options that let the same grid through
  const char* message;       // the refusal's text begins so
  GeometryOptions options = {};  // the options of the refused run
};

// Each check refuses with a message naming what and where, and the option it
// names lets the model through.
TEST(SourceGeometry, RefusesWhatDoesNotFit) {
  const Refusal refusals[] = {
      {"a column step 0.2 % long", [](SubfaultGrid& g) { for (int il = 10; il <= 43; ++il) g.a1(1, il, 5) += 0.01; },
       {}, {.dx = 5.0},
       "subfault W 5 L10: a1(1) steps by 5.01 km from column L 9, not by Dx = 5 km"},
      {"a row step 0.2 % short", [](SubfaultGrid& g) { for (int iw = 7; iw <= 22; ++iw) g.a1(2, 3, iw) -= 0.008; },
       {}, {.dz = 4.0},
       "subfault W 7 L 3: a1(2) steps by 3.992 km from row W 6, not by Dz = 4 km"},
      {"columns against x", [](SubfaultGrid& g) { for (int il = 1; il <= 43; ++il) g.a1(1, il, 1) = -il; },
       {}, {.strike = 200.0, .dip = 18.0, .dx = 1.0}, "a1(1) does not grow from column L 1 to L 2 of row W 1"},
      {"x in miles", [](SubfaultGrid&) {}, {.xScale = 1.02}, {.strike = 200.0},
       "the positions move 1.02 km on the map per km of a1(1), not 1 within 1 %"},
      {"down dip to the left of strike", [](SubfaultGrid&) {}, {.downDipTurn = -90.0}, {.strike = 20.0, .dip = 18.0},
       "down dip (a1(2) growing) points to azimuth 110.0 deg"},
      {"down dip 3 degrees off", [](SubfaultGrid&) {}, {.downDipTurn = 93.0}, {.strike = 200.0, .dip = 18.0},
       "down dip (a1(2) growing) points to azimuth 293.0 deg, 3.0 deg from strike + 90"},
      {"a position 3 km off", [](SubfaultGrid& g) { g.a1(4, 30, 15) += 3.0 / 111.195; }, {},
       {.strike = 200.0, .dip = 18.0}, "subfault W15 L30 lies 2.9"},
      // Off by more than half Dz (2 km), less than half Dx (2.5 km): the smaller decides.
      {"a position 2.2 km off", [](SubfaultGrid& g) { g.a1(4, 30, 15) += 2.2 / 111.195; }, {},
       {.strike = 200.0, .dip = 18.0}, "subfault W15 L30 lies 2.19"},
      // 10.5 rows of 4 km above the centre at a dip of 18 degrees: 12.98 km up,
      // and the top edge 2 km x sin(18) = 0.618 km above the centre.
      {"a subfault above the surface", [](SubfaultGrid&) {}, {}, {.depth = 13.7},
       "subfault W 1 L 1 would lie 0.479 km above the surface (depth 12.5 km + a1(2) = -42 km x sin(dip 18.00 "
       "deg)); --depth 13.597 puts its top edge at the ground", {.depth = 12.5}},
      {"a top edge above the surface", [](SubfaultGrid&) {}, {}, {.depth = 13.597},
       "subfault W 1 L 1's top edge would lie 0.297 km above the surface (its centre at 0.321 km - Dz/2 = 2 km x "
       "sin(dip 18.00 deg)); --depth 13.597 puts it at the ground", {.depth = 13.3}},
  };
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(r.what);
    auto grid = faultGrid(r.fault);
    r.spoil(*grid);
    Geometry g;
    SourceProblem p = deriveGeometry(*grid, r.options, g);
    EXPECT_EQ(p.message.substr(0, std::string(r.message).size()), r.message) << p.message;
    EXPECT_FALSE(deriveGeometry(*grid, r.override, g)) << deriveGeometry(*grid, r.override, g).message;
  }
}

// Given values win, and the depth of a subfault follows the dip.
TEST(SourceGeometry, OverridesAndDepth) {
  auto grid = faultGrid({.dip = 30.0});
  Geometry g;
  ASSERT_FALSE(deriveGeometry(*grid, {.strike = 201.0, .dip = 31.0, .dx = 5.5, .dz = 4.5, .depth = 25.0}, g));
  EXPECT_EQ(g.strike, 201.0);
  EXPECT_EQ(g.dip, 31.0);
  EXPECT_EQ(g.dx, 5.5);
  EXPECT_EQ(g.dz, 4.5);
  EXPECT_TRUE(g.strikeGiven && g.dipGiven && g.dxGiven && g.dzGiven && g.hasDepth);
  ASSERT_FALSE(deriveGeometry(*grid, {.depth = 25.0}, g));
  EXPECT_NEAR(subfaultDepth(g, 0.0), 25.0, 1e-12);
  EXPECT_NEAR(subfaultDepth(g, -10.0), 20.0, 1e-3);  // sin(30) of the derived dip
}

}  // namespace
}  // namespace slip::source
