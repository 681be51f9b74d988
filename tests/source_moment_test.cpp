#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "compose/slip_composer.h"
#include "science/geometry.h"
#include "science/moment.h"
#include "science/structure.h"
#include "source_grid.h"

namespace slip::source {
namespace {

using testing::faultGrid;

constexpr double kMu = 3.0e10;
constexpr double kArea = 5.0 * 4.0 * 1.0e6;  // the default known fault's subfault, m^2
constexpr double kMuA = kMu * kArea;

SourceModel compute(SubfaultGrid& grid, const Timing& timing = {}, const Rigidity& rigidity = {},
                    const GeometryOptions& options = {}) {
  composeGrid(grid);
  Geometry g;
  SourceProblem p = deriveGeometry(grid, options, g);
  EXPECT_FALSE(p) << p.message;
  SourceModel m;
  p = computeSource(grid, g, rigidity, timing, m);
  EXPECT_FALSE(p) << p.message;
  return m;
}

struct OneSubfault {
  const char* what;
  double time;                   // its rupture time, s
  Onset onset;
  std::vector<double> expected;  // the bins, in units of mu A (m/s)
};

// One subfault slipping 2 then 4 m/s along rake 35: M0 = mu A 3 m, and its
// two samples land in the bins as their overlaps say.
TEST(SourceMoment, OneSubfault) {
  const OneSubfault cases[] = {
      {"on a bin boundary", 1.5, Onset::kRuptureTime, {0, 0, 0, 2, 4}},
      {"half a bin late", 1.25, Onset::kRuptureTime, {0, 0, 1, 3, 2}},
      {"a tenth of a bin late", 0.05, Onset::kRuptureTime, {1.8, 3.8, 0.4}},
      {"at the origin, whatever its time", 7.3, Onset::kOrigin, {2, 4}},
  };
  for (const OneSubfault& c : cases) {
    SCOPED_TRACE(c.what);
    auto grid = faultGrid();
    grid->slp35(1, 9, 4) = 2.0;
    grid->slp35(2, 9, 4) = 4.0;
    grid->a2(5, 9, 4) = c.time;
    SourceModel m = compute(*grid, {.onset = c.onset});
    EXPECT_DOUBLE_EQ(m.summary.moment, kMuA * 3.0);
    EXPECT_DOUBLE_EQ(m.at(9, 4).moment, kMuA * 3.0);
    ASSERT_EQ(m.momentRate.rate.size(), c.expected.size());
    for (std::size_t j = 0; j < c.expected.size(); ++j) {
      EXPECT_NEAR(m.momentRate.rate[j], c.expected[j] * kMuA, 1e-9 * kMuA) << "bin " << j;
    }
    EXPECT_DOUBLE_EQ(m.summary.releasedMoment, m.summary.moment);
    EXPECT_FALSE(m.summary.rakeVaries);
  }
}

// Figures of a hand-made function: bins of 2, 4 (mu A) from t = 1.5 s.
TEST(SourceMoment, FiguresOfTheFunction) {
  auto grid = faultGrid();
  grid->slp35(1, 9, 4) = 2.0;
  grid->slp35(2, 9, 4) = 4.0;
  grid->a2(5, 9, 4) = 1.5;
  const SourceSummary s = compute(*grid).summary;
  EXPECT_DOUBLE_EQ(s.peakRate, 4.0 * kMuA);
  EXPECT_DOUBLE_EQ(s.peakTime, 2.25);
  EXPECT_DOUBLE_EQ(s.centroidTime, (1.75 * 2.0 + 2.25 * 4.0) / 6.0);
  EXPECT_DOUBLE_EQ(s.t5, 1.5 + 0.5 * (0.05 * 3.0 / 1.0));   // 5 % of 3 in the first bin's 1
  EXPECT_DOUBLE_EQ(s.t95, 2.0 + 0.5 * ((0.95 * 3.0 - 1.0) / 2.0));
  EXPECT_DOUBLE_EQ(s.duration, s.t95 - s.t5);
}

TEST(SourceMoment, UniformFault) {
  auto grid = faultGrid();
  for (int iw = 1; iw <= 22; ++iw)
    for (int il = 1; il <= 43; ++il)
      for (int k = 1; k <= 49; ++k) grid->slp125(k, il, iw) = 0.25;
  SourceModel m = compute(*grid);
  const double slip = grid->slip(1, 1);
  EXPECT_NEAR(slip, 49 * 0.25 / 2.0, 1e-12);
  EXPECT_NEAR(m.summary.moment / (946.0 * kMuA * slip), 1.0, 1e-12);
  EXPECT_NEAR(m.summary.releasedMoment / m.summary.moment, 1.0, 1e-12);
  EXPECT_EQ(m.momentRate.rate.size(), 49u);  // every subfault starts at 0
}

// A slip that turns from rake 35 to rake 125: |v| integrates to 2 m, the net slip is sqrt(2) m.
TEST(SourceMoment, RakeChangingDuringSlip) {
  auto grid = faultGrid();
  grid->slp35(1, 20, 12) = 2.0;
  grid->slp125(2, 20, 12) = 2.0;
  SourceModel m = compute(*grid);
  EXPECT_DOUBLE_EQ(m.summary.moment, kMuA * std::sqrt(2.0));
  EXPECT_DOUBLE_EQ(m.summary.releasedMoment, kMuA * 2.0);
  EXPECT_TRUE(m.summary.rakeVaries);
}

// At every dt a component's slip is the sum of v dt over its samples, and
// M0, the slips and the moment-rate function's integral agree.
TEST(SourceMoment, SlipIsTheIntegralOfTheRatesAtEveryDt) {
  const double dts[] = {0.25, 0.5, 1.0, 0.1};
  for (double dt : dts) {
    SCOPED_TRACE(dt);
    auto grid = faultGrid();
    for (int k = 1; k <= 5; ++k) {
      grid->slp35(k, 9, 4) = 0.3 * k;   // one direction throughout: released = M0
      grid->slp125(k, 9, 4) = 0.1 * k;
    }
    grid->slp125(2, 30, 12) = 1.5;
    grid->a2(5, 30, 12) = 3.3;
    SourceModel m = compute(*grid, {.dt = dt, .dtGiven = true});
    const SubfaultSource& f = m.at(9, 4);
    EXPECT_NEAR(f.slip35, (0.3 + 0.6 + 0.9 + 1.2 + 1.5) * dt, 1e-12);
    EXPECT_NEAR(f.slip125, (0.1 + 0.2 + 0.3 + 0.4 + 0.5) * dt, 1e-12);
    EXPECT_NEAR(f.slip, std::hypot(f.slip35, f.slip125), 1e-12);
    EXPECT_NEAR(m.at(30, 12).slip, 1.5 * dt, 1e-12);
    EXPECT_NEAR(m.summary.moment, kMuA * (f.slip + m.at(30, 12).slip), 1e-9 * m.summary.moment);
    EXPECT_NEAR(m.summary.releasedMoment / m.summary.moment, 1.0, 1e-12);
    EXPECT_FALSE(m.summary.rakeVaries);
    if (dt == 0.5) {
      EXPECT_EQ(f.slip, grid->slip(9, 4));  // the report's, bit for bit
    }
  }
}

TEST(SourceMoment, Magnitudes) {
  const struct {
    double m0, iaspei, hanksKanamori;
  } cases[] = {{1.0e21, 7.9333, 7.9667}, {1.0e18, 5.9333, 5.9667}, {3.98e19, 6.9999, 7.0333}};
  for (const auto& c : cases) {
    EXPECT_NEAR(magnitudeIaspei(c.m0), c.iaspei, 5e-5) << c.m0;
    EXPECT_NEAR(magnitudeHanksKanamori(c.m0), c.hanksKanamori, 5e-5) << c.m0;
  }
}

// Random slip rates and rupture times off the bins, constant and layered
// rigidity: the function's integral is the moment of the slip paths, and
// nothing else is lost on the way.
TEST(SourceMoment, FunctionKeepsTheMomentOfGeneratedModels) {
  std::vector<Layer> layers;
  ASSERT_FALSE(parseStructure("3 5.0 2.9 2.6\n12 6.1 3.5 2.8\n0 8 4.6 3.3\n", layers));
  for (unsigned seed = 1; seed <= 4; ++seed) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> rate(-0.5, 1.5), time(0.0, 60.0);
    auto grid = faultGrid({.dip = 25.0});
    for (int iw = 1; iw <= 22; ++iw) {
      for (int il = 1; il <= 43; ++il) {
        grid->a2(5, il, iw) = time(random);
        for (int k = 1; k <= 49; ++k) {
          grid->slp35(k, il, iw) = rate(random);
          grid->slp125(k, il, iw) = seed % 2 ? rate(random) : 0.0;
        }
      }
    }
    const Rigidity rigidity = seed <= 2 ? Rigidity{} : Rigidity{.layered = true, .layers = layers};
    SourceModel m = compute(*grid, {.dt = seed == 4 ? 0.3 : 0.5}, rigidity, {.depth = 20.0});
    double paths = 0.0;
    for (const SubfaultSource& f : m.subfaults) {
      for (std::size_t k = 0; k < 49; ++k) {
        paths += f.rigidity * m.summary.area * std::sqrt(f.rate35[k] * f.rate35[k] + f.rate125[k] * f.rate125[k]) *
                 m.timing.dt;
      }
    }
    SCOPED_TRACE(seed);
    EXPECT_NEAR(m.summary.releasedMoment / paths, 1.0, 1e-12);
    if (m.timing.dt == 0.5) {
      EXPECT_GT(m.summary.releasedMoment, m.summary.moment);  // the samples' directions wander
    }
    EXPECT_LE(m.summary.t5, m.summary.centroidTime);
    EXPECT_LE(m.summary.centroidTime, m.summary.t95);
  }
}

TEST(SourceMoment, Refusals) {
  auto grid = faultGrid();
  grid->slp35(1, 9, 4) = 2.0;
  grid->a2(5, 7, 3) = -0.5;  // a subfault that does not slip still has a wrong time
  composeGrid(*grid);
  Geometry g;
  ASSERT_FALSE(deriveGeometry(*grid, {}, g));
  SourceModel m;
  SourceProblem p = computeSource(*grid, g, {}, {}, m);
  EXPECT_EQ(p.message, "rupture time -0.5 s is negative: the moment-rate function starts at 0");
  EXPECT_TRUE(p.ruptureTime);
  EXPECT_EQ(p.il * 100 + p.iw, 703);
  EXPECT_FALSE(computeSource(*grid, g, {}, {.onset = Onset::kOrigin}, m));  // times unused

  grid->a2(5, 7, 3) = 1e9;
  EXPECT_EQ(computeSource(*grid, g, {}, {}, m).message, "");  // no slip there: no bins needed
  grid->a2(5, 9, 4) = 1e9;
  EXPECT_EQ(computeSource(*grid, g, {}, {}, m).message.substr(0, 36), "rupture time 1e+09 s puts the subfau");
  EXPECT_EQ(computeSource(*grid, g, {.layered = true}, {.onset = Onset::kOrigin}, m).message,
            "a layered structure needs each subfault's depth: give the hypocentre's --depth KM");
  auto still = faultGrid();
  composeGrid(*still);
  EXPECT_EQ(computeSource(*still, g, {}, {}, m).message.substr(0, 29), "the model's moment is 0 N m: ");
}

// A depth on a boundary lies in the layer below; the last layer goes on for ever.
TEST(SourceStructure, RigidityByDepth) {
  std::vector<Layer> layers;
  ASSERT_FALSE(parseStructure("# h vp vs rho\n2.5 4.5 2.5 2.4\n10 6 3.5 2.8\n7 8 4.5 3.3\n", layers));
  ASSERT_EQ(layers.size(), 3u);
  const double mu1 = 2400.0 * 2500.0 * 2500.0, mu2 = 2800.0 * 3500.0 * 3500.0, mu3 = 3300.0 * 4500.0 * 4500.0;
  const struct {
    double depth, mu;
  } cases[] = {{0.0, mu1}, {2.4999, mu1}, {2.5, mu2}, {12.4999, mu2}, {12.5, mu3}, {19.5, mu3}, {700.0, mu3}};
  for (const auto& c : cases) EXPECT_EQ(rigidityAt(layers, c.depth), c.mu) << c.depth;
  EXPECT_EQ(layers[2].top, 12.5);

  // Through the fault: given vertical, with the hypocentre at 44.5 km, row W 1
  // (a1(2) = -42 km) lies at 2.5 km, on the first boundary.
  auto grid = faultGrid();
  for (int iw = 1; iw <= 22; ++iw) grid->slp35(1, 5, iw) = 2.0;
  SourceModel m = compute(*grid, {}, {.layered = true, .layers = layers}, {.strike = 200.0, .dip = 90.0, .depth = 44.5});
  const double expected[] = {mu2, mu2, mu2, mu3};  // 2.5, 6.5, 10.5, 14.5 km
  for (int iw = 1; iw <= 4; ++iw) {
    EXPECT_EQ(m.at(5, iw).depth, 44.5 + (iw - 11.5) * 4.0);
    EXPECT_EQ(m.at(5, iw).rigidity, expected[iw - 1]);
    EXPECT_EQ(m.at(5, iw).moment, expected[iw - 1] * kArea * 1.0);
  }
}

struct BadStructure {
  const char* text;
  long long line, column, lastColumn;
  const char* message;
};

TEST(SourceStructure, ReadAsWritten) {
  std::vector<Layer> layers;
  // Blanks, tabs, CR LF, a lone CR, comments, a plus sign, exponents.
  ASSERT_FALSE(parseStructure("\t# crust\r\n 1.5\t4.5 2.5 +2.4 # top\r\n\r\n10 6e0 3.5 2.8\r0 8 4.5 3.3", layers));
  ASSERT_EQ(layers.size(), 3u);
  EXPECT_EQ(layers[0].density, 2.4);
  EXPECT_EQ(layers[1].vp, 6.0);
  EXPECT_EQ(layers[2].top, 11.5);

  const BadStructure cases[] = {
      {"2 4.5 2.5\n", 1, 10, 10, "3 of the 4 values of a layer (thickness km, Vp km/s, Vs km/s, density g/cm3): "
                                 "density (g/cm3) is missing"},
      {"# c\n2 4.5 2,5 2.4\n", 2, 7, 9, "Vs (km/s): \"2,5\" is not a number"},
      {"2 4.5 2.5 2.4 9\n", 1, 15, 15, "more than 4 values: \"9\" follows the density"},
      {"2 4500 2500 2400\n", 1, 3, 6, "Vp 4500 km/s is not between 0 and 20 km/s (give km/s, not m/s)"},
      {"2 4.5 2.5 2400\n", 1, 11, 14, "density 2400 g/cm3 is not between 0.5 and 20 (give g/cm3, not kg/m3)"},
      {"2 2.5 4.5 2.4\n", 1, 3, 9, "Vs 4.5 km/s is not below Vp 2.5 km/s"},
      {"-1 4.5 2.5 2.4\n", 1, 1, 2, "thickness -1 km is negative"},
      {"2 nan 2.5 2.4\n", 1, 3, 5, "Vp (km/s): \"nan\" is not a number"},
      {"# only a comment\n\n", 0, 0, 0, "no layer: a structure needs at least one line of 4 values"},
  };
  for (const BadStructure& c : cases) {
    SCOPED_TRACE(c.text);
    StructureError e = parseStructure(c.text, layers);
    EXPECT_EQ(e.message, c.message);
    EXPECT_EQ(e.line, c.line);
    EXPECT_EQ(e.column, c.column);
    EXPECT_EQ(e.lastColumn, c.lastColumn);
  }
}

}  // namespace
}  // namespace slip::source
