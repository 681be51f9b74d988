// The figure's pure parts: colour scale, round numbers, isolines, arrows,
// and layouts of reports that give nothing to scale by.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "map/contours.h"
#include "map/figure_layout.h"
#include "map/nice_ticks.h"
#include "map/number_text.h"
#include "map/svg_writer.h"

namespace slip::map {
namespace {

TEST(MapColourScale, EndsMiddleAndOutside) {
  const Colour bottom{0x44, 0x01, 0x54}, middle{0x21, 0x91, 0x8c}, top{0xfd, 0xe7, 0x25};
  EXPECT_EQ(scaleColour(0.0), bottom);
  EXPECT_EQ(scaleColour(0.5), middle);
  EXPECT_EQ(scaleColour(1.0), top);
  EXPECT_EQ(scaleColour(-3.0), bottom);
  EXPECT_EQ(scaleColour(7.0), top);
  EXPECT_EQ(scaleColour(std::nan("")), bottom);
  EXPECT_EQ(scaleColour(0.05), (Colour{0x46, 0x13, 0x65}));  // halfway between the first two controls
  EXPECT_EQ(slipColour(2.0, 0.0, 4.0), middle);
  EXPECT_EQ(slipColour(0.0, -1e300, 1e300), middle);  // opposite extremes: no overflow
  EXPECT_EQ(slipColour(5.0, 0.0, 0.0), bottom);  // an all-zero report: no division by zero
}

TEST(MapNiceNumbers, StepsAndTicks) {
  const struct { double x; bool up; double nice; } numbers[] = {
      {7.2, true, 10.0}, {7.2, false, 10.0}, {1.4, false, 1.0}, {2.9, false, 2.0},
      {0.031, true, 0.05}, {300.0, false, 500.0}, {2.0, true, 2.0},
  };
  for (const auto& n : numbers) EXPECT_DOUBLE_EQ(niceNumber(n.x, n.up), n.nice) << n.x;
  EXPECT_EQ(niceTicks(0.0, 7.21353, 6), (std::vector<double>{0, 2, 4, 6, 8}));
  EXPECT_EQ(niceTicks(3.0, 3.0, 6), (std::vector<double>{3.0}));
  const std::vector<double> lat = niceTicks(26.1, 28.13, 6);
  EXPECT_DOUBLE_EQ(lat.front(), 26.0);
  EXPECT_DOUBLE_EQ(lat[1] - lat[0], 1.0);  // 2.03 degrees: a range of 5, steps of 1
}

TEST(MapNiceNumbers, ContourStepGivesFourToTenLines) {
  const struct { double low, high, step; } ranges[] = {
      {0.0, 45.0, 5.0}, {0.0, 10.0, 1.0}, {2.0, 2.5, 0.05}, {0.0, 1000.0, 100.0}, {12.0, 13.9, 0.2},
  };
  for (const auto& r : ranges) {
    const double step = contourStep(r.low, r.high);
    EXPECT_DOUBLE_EQ(step, r.step) << r.low << ".." << r.high;
    const std::size_t lines = contourLevels(r.low, r.high, step, 100).size();
    EXPECT_GE(lines, 4u);
    EXPECT_LE(lines, 10u);
  }
  EXPECT_EQ(contourStep(4.0, 4.0), 0.0);
  EXPECT_EQ(contourLevels(0.0, 45.0, 5.0, 3), (std::vector<double>{5, 10, 15}));
}

TEST(MapNumberText, RoundsFromIntegers) {
  const struct { double v; int d; const char* text; } cases[] = {
      {12.5, 2, "12.5"}, {-0.001, 2, "0"}, {0.125, 2, "0.13"}, {-7.256, 1, "-7.3"},
      {3.0, 2, "3"}, {1e300, 0, "1000000000000"}, {std::nan(""), 2, "-1000000000000"},
      {-1e300, 6, "-1000000000000"}, {0.000105, 4, "0.0001"}, {10.05, 1, "10.1"}, {-100.0, 3, "-100"},
      {0.5, 0, "1"}, {-0.4999, 0, "0"}, {123456.000001, 6, "123456.000001"}, {0.1, 9, "0.1"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatNumber(c.v, c.d), c.text) << c.v;
  EXPECT_EQ(decimalsFor(5.0), 0);
  EXPECT_EQ(decimalsFor(0.5), 1);
  EXPECT_EQ(decimalsFor(0.25), 2);
}

Field fieldOf(int rows, int cols, double (*f)(int col, int row)) {
  Field field{rows, cols, {}, {}};
  for (int row = 0; row < rows; ++row) {
    for (int col = 0; col < cols; ++col) {
      field.values.push_back(f(col, row));
      field.known.push_back(true);
    }
  }
  return field;
}

TEST(MapIsolines, PlaneGivesOneStraightLine) {
  const Field plane = fieldOf(22, 43, [](int col, int) { return 2.0 * col; });
  const std::vector<Isoline> lines = traceIsolines(plane, 21.0);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_FALSE(lines[0].closed);
  ASSERT_EQ(lines[0].points.size(), 22u);  // one crossing per row
  for (const Point& p : lines[0].points) EXPECT_DOUBLE_EQ(p.x, 10.5);
  EXPECT_DOUBLE_EQ(std::fabs(lines[0].points.back().y - lines[0].points.front().y), 21.0);
}

TEST(MapIsolines, ConeGivesClosedCircles) {
  const Field cone = fieldOf(22, 43, [](int col, int row) { return std::hypot(col - 21.0, row - 10.0); });
  for (double radius : {3.0, 5.5, 8.0}) {
    const std::vector<Isoline> lines = traceIsolines(cone, radius);
    ASSERT_EQ(lines.size(), 1u) << radius;
    EXPECT_TRUE(lines[0].closed);
    for (const Point& p : lines[0].points) EXPECT_NEAR(std::hypot(p.x - 21.0, p.y - 10.0), radius, 0.12);
  }
}

// An unknown sample cuts the line at the squares around it.
TEST(MapIsolines, UnknownSamplesEndLines) {
  Field plane = fieldOf(5, 5, [](int col, int) { return 1.0 * col; });
  plane.known[2 * 5 + 1] = false;  // (1, 2)
  const std::vector<Isoline> lines = traceIsolines(plane, 1.5);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].points.size(), 2u);  // rows 0 and 1, then rows 3 and 4
  EXPECT_EQ(lines[1].points.size(), 2u);
}

// Two peaks touching at a corner: the saddle square between them joins the
// two loops only when its centre (the mean, 0.5) is above the level.
TEST(MapIsolines, SaddleDecidedByTheCentre) {
  const Field peaks = fieldOf(4, 4, [](int col, int row) { return (col == 1 && row == 1) || (col == 2 && row == 2) ? 1.0 : 0.0; });
  const struct { double level; std::size_t loops, points; } cases[] = {{0.6, 2, 4}, {0.4, 1, 8}};
  for (const auto& c : cases) {
    const std::vector<Isoline> lines = traceIsolines(peaks, c.level);
    ASSERT_EQ(lines.size(), c.loops) << c.level;
    for (const Isoline& line : lines) {
      EXPECT_TRUE(line.closed) << c.level;
      EXPECT_EQ(line.points.size(), c.points) << c.level;
    }
  }
}

TEST(MapArrows, RakeDirections) {
  const struct { double rake, x, y; } cases[] = {
      {0.0, 1.0, 0.0}, {90.0, 0.0, -1.0}, {-90.0, 0.0, 1.0}, {180.0, -1.0, 0.0}, {450.0, 0.0, -1.0},
  };
  for (const auto& c : cases) {
    const Point d = rakeDirection(c.rake);
    EXPECT_EQ(d.x, c.x) << c.rake;
    EXPECT_EQ(d.y, c.y) << c.rake;
  }
  const Point d = rakeDirection(45.0);
  EXPECT_NEAR(d.x, std::sqrt(0.5), 1e-15);
  EXPECT_NEAR(d.y, -std::sqrt(0.5), 1e-15);
}

bool allFinite(const Figure& figure) {
  for (const Mark& m : figure.marks) {
    for (const Point& p : m.points) {
      if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
    }
  }
  return std::isfinite(figure.height);
}

// Reports with nothing to scale by: every value 0, every value alike, no
// values at all. Each still draws, with finite coordinates only.
TEST(MapLayout, FlatReportsStillDraw) {
  for (double v : {0.0, 2.5}) {
    auto data = std::make_unique<ReportData>();
    for (int s = 0; s < report::kSectionCount; ++s) {
      for (int iw = 1; iw <= report::kDataRows; ++iw) {
        for (int il = 1; il <= report::kDataColumns; ++il) data->set(static_cast<report::Section>(s), il, iw, v);
      }
    }
    const Figure figure = layoutFigure(*data, {});
    EXPECT_TRUE(allFinite(figure)) << v;
    const std::string svg = writeSvg(figure);
    EXPECT_EQ(svg.find("nan"), std::string::npos);
    EXPECT_EQ(svg.find("inf"), std::string::npos);
  }
  const Figure empty = layoutFigure(ReportData(), {});
  EXPECT_TRUE(allFinite(empty));
  EXPECT_NE(writeSvg(empty).find("no slip values"), std::string::npos);
}

TEST(MapSvg, TextIsValidXml) {
  EXPECT_EQ(xmlText("a<b & \"c\">"), "a&lt;b &amp; &quot;c&quot;&gt;");
  EXPECT_EQ(xmlText("\xc2\xb0 ok"), "\xc2\xb0 ok");
  EXPECT_EQ(xmlText("bad \xff\xc0\xaf \x01 \xed\xa0\x80 end\n"), "bad ??? ? ??? end\n");
  EXPECT_EQ(xmlText("\x7f\ttab\x1f\xf0\x9f\x98\x80&&\xe2\x82"), "?\ttab?\xf0\x9f\x98\x80&amp;&amp;??");
  EXPECT_EQ(xmlText(std::string_view("nul\0end", 7)), "nul?end");
}

}  // namespace
}  // namespace slip::map
