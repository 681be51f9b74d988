#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "compose/slip_composer.h"

namespace slip {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Gives subfault (il, iw) the component slips s35 and s125 after halving:
// one sample of twice the value (doubling and halving are exact).
void setSlips(SubfaultGrid& grid, int il, int iw, double s35, double s125) {
  grid.slp35(7, il, iw) = 2.0 * s35;
  grid.slp125(30, il, iw) = 2.0 * s125;
}

struct Case {
  double s35, s125, slip, rake;
};

// Expected values are the double results of the stated operation order,
// computed independently (Python floats, math.atan and math.sqrt).
TEST(Compose, SlipAndRakeTable) {
  const Case cases[] = {
      {0.0, 0.0, 0.0, 90.0},
      {0.0, 2.0, 2.0, 90.0},      // pure 125-degree slip is 90, not 125
      {0.0, -2.0, 2.0, 90.0},     // ... and not -55
      {1.0, 0.0, 1.0, 35.0},
      {-1.0, 0.0, 1.0, 35.0},
      {1.0, 1.0, 1.4142135623730951, 80.0},
      {-1.0, -1.0, 1.4142135623730951, 80.0},  // one-argument atan: same rake
      {1.0, -1.0, 1.4142135623730951, -10.0},
      {-1.0, 1.0, 1.4142135623730951, -10.0},
      {3.0, 4.0, 5.0, 88.13010235415598},
      {-3.0, 4.0, 5.0, -18.13010235415598},
      {1.0, 1e17, 1e17, 125.0},   // the ends come out exact
      {1.0, -1e17, 1e17, -55.0},
      {1e155, 0.0, kInf, 35.0},   // the sum of squares overflows: no hypot
      {kInf, 1.0, kInf, 35.0},
      {1e-170, 1.0, 1.0, 125.0},  // the square underflows to zero, s35 does not
      // ((a * 180) / pi) + 35: a precomputed 180/pi gives ...479 and ...435.
      {0.44, 6.89, std::sqrt(0.44 * 0.44 + 6.89 * 6.89), 121.34601508592478},
      {2.39, 2.32, std::sqrt(2.39 * 2.39 + 2.32 * 2.32), 79.14853305484445},
  };
  auto grid = std::make_unique<SubfaultGrid>();
  int il = 0;
  for (const Case& c : cases) setSlips(*grid, ++il, 5, c.s35, c.s125);
  composeGrid(*grid);
  EXPECT_EQ(grid->pi, 3.141592653589793);
  il = 0;
  for (const Case& c : cases) {
    ++il;
    SCOPED_TRACE(::testing::Message() << "s35=" << c.s35 << " s125=" << c.s125);
    EXPECT_EQ(grid->slip35(il, 5), c.s35);
    EXPECT_EQ(grid->slip125(il, 5), c.s125);
    EXPECT_EQ(grid->slip(il, 5), c.slip);
    EXPECT_EQ(grid->rake(il, 5), c.rake);
  }
  // Untouched subfaults of every row compose to zero slip and rake 90.
  EXPECT_EQ(grid->slip(43, 22), 0.0);
  EXPECT_EQ(grid->rake(43, 22), 90.0);
  EXPECT_EQ(grid->rake(1, 1), 90.0);
}

// Guards the zero test: it must come before the quotient whatever s125 is.
TEST(Compose, NonFiniteComponents) {
  auto grid = std::make_unique<SubfaultGrid>();
  setSlips(*grid, 1, 1, 0.0, kNaN);
  setSlips(*grid, 2, 1, 0.0, kInf);
  setSlips(*grid, 3, 1, kNaN, 1.0);
  setSlips(*grid, 4, 1, kInf, kInf);
  composeGrid(*grid);
  EXPECT_EQ(grid->rake(1, 1), 90.0);
  EXPECT_TRUE(std::isnan(grid->slip(1, 1)));
  EXPECT_EQ(grid->rake(2, 1), 90.0);
  EXPECT_EQ(grid->slip(2, 1), kInf);
  EXPECT_TRUE(std::isnan(grid->rake(3, 1)));
  EXPECT_TRUE(std::isnan(grid->slip(3, 1)));
  EXPECT_TRUE(std::isnan(grid->rake(4, 1)));
  EXPECT_EQ(grid->slip(4, 1), kInf);
}

// A plain left-to-right double sum: 1e16 + 1 rounds back to 1e16, so the
// 1 is lost; pairwise, compensated or wider sums would keep it (0.5).
TEST(Compose, SumsRunLeftToRightInDoubles) {
  auto grid = std::make_unique<SubfaultGrid>();
  grid->slp35(1, 2, 3) = 1e16;
  grid->slp35(2, 2, 3) = 1.0;
  grid->slp35(3, 2, 3) = -1e16;
  grid->slp125(1, 2, 3) = 0.1;
  grid->slp125(2, 2, 3) = 0.2;
  grid->slp125(3, 2, 3) = 0.3;
  grid->slp35(50, 4, 3) = 8.0;  // the spare sample slot plays no part
  composeGrid(*grid);
  EXPECT_EQ(grid->slip35(2, 3), 0.0);
  EXPECT_EQ(grid->slip125(2, 3), 0.30000000000000004);  // ((0.1 + 0.2) + 0.3) / 2
  EXPECT_EQ(grid->slip35(4, 3), 0.0);
}

// The sum of squares must be two rounded products and one rounded sum. With
// a fused multiply-add the slip ends ...022 and ...027 instead.
TEST(Compose, SquaresAreNotFused) {
  auto grid = std::make_unique<SubfaultGrid>();
  setSlips(*grid, 1, 1, 7.70466, 7.68259);
  setSlips(*grid, 2, 1, 6.03152, 5.70178);
  grid->a1(1, 1, 1) = 7.70466;
  grid->a1(2, 1, 1) = 7.68259;
  grid->a1(1, 2, 1) = 6.03152;
  grid->a1(2, 2, 1) = 5.70178;
  composeGrid(*grid);
  computeDistanceRow(*grid, 1);
  EXPECT_EQ(grid->slip(1, 1), 10.88044001057402);
  EXPECT_EQ(grid->slip(2, 1), 8.299971607108064);
  EXPECT_EQ(grid->dis(1, 1), 10.88044001057402);
  EXPECT_EQ(grid->dis(2, 1), 8.299971607108064);
}

TEST(Compose, DistanceRowFillsOnlyItsRow) {
  auto grid = std::make_unique<SubfaultGrid>();
  grid->a1(1, 1, 4) = 3.0;
  grid->a1(2, 1, 4) = -4.0;
  grid->a1(1, 43, 4) = -1e200;  // overflows to +inf, like the slip
  grid->a1(3, 2, 4) = 140.0;    // longitude and latitude play no part
  grid->a1(4, 2, 4) = 35.0;
  grid->dis(1, 3) = -1.0;
  grid->dis(1, 5) = -1.0;
  computeDistanceRow(*grid, 4);
  EXPECT_EQ(grid->dis(1, 4), 5.0);
  EXPECT_EQ(grid->dis(2, 4), 0.0);
  EXPECT_EQ(grid->dis(43, 4), kInf);
  EXPECT_EQ(grid->dis(1, 3), -1.0);
  EXPECT_EQ(grid->dis(1, 5), -1.0);
}

}  // namespace
}  // namespace slip
