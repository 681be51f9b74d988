// The figure's layout from the boxes it knows: every mark inside the figure,
// no text over another, text large enough, at the widths a figure is drawn
// at; and the values a report's slips give the title and the colour bar.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "map/figure_layout.h"
#include "map/layout_parts.h"
#include "map/number_text.h"
#include "map/report_reader.h"
#include "map/text_metrics.h"
#include "tool_runner.h"

namespace slip::map {
namespace {

using Edit = std::function<void(ReportData&)>;

std::unique_ptr<ReportData> example(const Edit& edit = nullptr) {
  auto data = std::make_unique<ReportData>();
  ReadError error;
  EXPECT_TRUE(readReport(testing::readFile(std::string(SLIP_SOURCE_DIR) + "/tests/data/example-report.csv"), *data, error));
  if (edit) edit(*data);
  return data;
}

void eachCell(ReportData& data, report::Section s, const std::function<double(double)>& f) {
  for (int iw = 1; iw <= report::kDataRows; ++iw) {
    for (int il = 1; il <= report::kDataColumns; ++il) data.set(s, il, iw, f(data.value(s, il, iw)));
  }
}

std::string where(const Mark& m) {
  const Box b = markBox(m);
  return "\"" + m.text + "\" (" + std::to_string(b.x0) + ", " + std::to_string(b.y0) + ")-(" + std::to_string(b.x1) +
         ", " + std::to_string(b.y1) + ")";
}

// Inside the figure, texts apart and at least 9 pixels high, contour labels
// (texts that start inside the plane) clear of its edge.
void expectLegible(const Figure& f, const std::string& what) {
  const Box figure{0.0, 0.0, f.width, f.height};
  const double pixels = f.pixelWidth / f.width;
  std::vector<const Mark*> texts;
  for (const Mark& m : f.marks) {
    EXPECT_TRUE(figure.contains(markBox(m))) << what << ": outside the figure: " << where(m);
    if (m.kind != MarkKind::Text) continue;
    EXPECT_GE(m.fontSize * pixels, 9.0) << what << ": " << where(m);
    const Point at = m.points[0];
    if (at.x > f.parts.plane.x0 && at.x < f.parts.plane.x1 && at.y > f.parts.plane.y0 && at.y < f.parts.plane.y1) {
      EXPECT_TRUE(f.parts.plane.contains(markBox(m))) << what << ": over the plane's edge: " << where(m);
    }
    for (const Mark* other : texts) {
      EXPECT_FALSE(markBox(m).overlaps(markBox(*other))) << what << ": " << where(m) << " over " << where(*other);
    }
    texts.push_back(&m);
  }
  // The map's furniture apart from each other and from the fault's strike arrow.
  const FigureParts& p = f.parts;
  const Box furniture[] = {p.scaleBar, p.northArrow, p.strikeArrow, p.legend};
  for (std::size_t i = 0; i < std::size(furniture); ++i) {
    for (std::size_t j = i + 1; j < std::size(furniture); ++j) {
      EXPECT_FALSE(!furniture[i].empty() && !furniture[j].empty() && furniture[i].overlaps(furniture[j]))
          << what << ": boxes " << i << " and " << j << " overlap";
    }
  }
}

TEST(MapLayout, EveryTextInsideAndApart) {
  const std::string longTitle =
      "Joint inversion of teleseismic body waves, strong motion and static offsets, a_name_without_any_blank_that_runs_on";
  MomentPanel moment{{0, 5, 10, 20, 30, 45}, {0, 2e18, 6e18, 3e18, 1e18, 0},
                      "Moment rate (N m/s) of a model with a long name: M0 2.1E20 N m, Mw 7.5, centroid 20.0 s, T5 to T95 5.0 to 40.0 s (35.0 s)",
                      {{5.0, "T5"}, {20.0, "centroid"}, {40.0, "T95"}}};
  FaultOutline outline{{{-109.75, 26.2}, {-110.55, 28.1}, {-111.35, 27.6}, {-110.45, 25.9}}, 340.0};
  const struct { const char* report; Edit edit; double contour; std::string title; bool extras; } cases[] = {
      {"example", nullptr, 0.0, "", false},
      {"contours every 2 s, a long title", nullptr, 2.0, longTitle, false},
      {"every position alike", [](ReportData& d) { eachCell(d, report::kLongitude, [](double) { return -110.0; });
                                                   eachCell(d, report::kLatitude, [](double) { return 27.0; }); }, 0.0, "", false},
      {"across the dateline", [](ReportData& d) { eachCell(d, report::kLongitude, [](double v) { return std::remainder(v + 290.3, 360.0); }); },
       0.0, "", false},
      {"one position unknown", [](ReportData& d) { d.known[report::kLatitude][10][19] = false; }, 0.0, "", false},
      {"negative slips, tiny", [](ReportData& d) { eachCell(d, report::kSlip, [](double v) { return (v - 2.0) * 1e-300; }); },
       0.0, "", false},
      {"moment panel and outline", nullptr, 0.0, "", true},
  };
  for (const auto& c : cases) {
    const auto data = example(c.edit);
    for (int width : {600, 1000, 4000}) {
      FigureOptions options;
      options.name = "rateA-out4.csv";
      options.title = c.title;
      options.contourStep = c.contour;
      options.pixelWidth = width;
      if (c.extras) {
        options.moment = moment;
        options.outline = outline;
        options.stations = {{"S1", -110.9, 27.6, 0.85, -0.4, 0.62}, {"S2", -110.2, 27.4, -0.55, 0.3, -0.35},
                            {"FAR", -100.0, 20.0, 0.0, 0.0, 0.0}};
        options.notes = {"Fault outline and strike of a model left out: the positions do not lie on one plane "
                         "(a residual of 9.2 km at W 3 L 40); --strike and --dip give the orientation"};
      }
      const Figure figure = layoutFigure(*data, options);
      expectLegible(figure, std::string(c.report) + " at " + std::to_string(width) + " px");
      EXPECT_FALSE(figure.parts.map.empty()) << c.report;
      EXPECT_EQ(figure.parts.moment.empty(), !c.extras) << c.report;
    }
  }
}

// A missing position takes its own patch away and no other; positions that
// do not spread still draw the map view with its axes.
TEST(MapLayout, PositionsThatDoNotSpread) {
  auto patchesOf = [](const Figure& f) {
    int n = 0;
    for (const Mark& m : f.marks) n += m.kind == MarkKind::Polygon && m.tooltip.rfind("W ", 0) == 0;
    return n;
  };
  EXPECT_EQ(patchesOf(layoutFigure(*example(), {})), 946);
  EXPECT_EQ(patchesOf(layoutFigure(*example([](ReportData& d) { d.known[report::kLongitude][10][19] = false; }), {})), 945);
  const Figure same = layoutFigure(*example([](ReportData& d) {
    eachCell(d, report::kLongitude, [](double) { return 179.99; });
    eachCell(d, report::kLatitude, [](double) { return -5.0; });
  }), {});
  EXPECT_GT(same.parts.map.width(), 100.0);
  int labels = 0;
  std::string texts;
  for (const Mark& m : same.marks) {
    labels += m.kind == MarkKind::Text && (m.text == "180" || m.text == "-5");
    if (m.kind == MarkKind::Text) texts += " [" + m.text + "]";
  }
  EXPECT_EQ(labels, 2) << "a longitude and a latitude label at the one position:" << texts;
}

std::vector<std::string> colourBarLabels(const Figure& f) {
  std::vector<std::string> labels;
  for (const Mark& m : f.marks) {
    if (m.kind == MarkKind::Text && m.points[0].x == f.parts.colourBar.x1 + 7.0 && m.points[0].y < f.parts.legend.y0) {
      labels.push_back(m.text);
    }
  }
  return labels;
}

// The slips a report may hold, the title's words for them and the colour
// bar's labels: its top value first when it is not a round one, then the
// round values up the bar.
TEST(MapValues, TitleAndColourBar) {
  const struct { const char* slips; std::function<double(double)> slip; std::string title; std::vector<std::string> bar; } cases[] = {
      {"as written", [](double v) { return v; }, "largest slip 7.21353 m at W 11, L 21 \xe2\x80\x94 mean rake 93.3",
       {"7.21353", "0", "2", "4", "6"}},
      {"less 2 m", [](double v) { return v - 2.0; },
       "largest slip 5.21353 m at W 11, L 21 \xe2\x80\x94 negative slips: the scale starts at -2.00000 m",
       {"5.21353", "-2", "0", "2", "4"}},
      {"times 1e-300", [](double v) { return v * 1e-300; }, "largest slip 7.21353E-300 m",
       {"7.21353E-300", "0", "2E-300", "4E-300", "6E-300"}},
      {"times 1e4", [](double v) { return v * 1e4; }, "largest slip 7.21353E4 m", {"7.21353E4", "0", "20000", "40000", "60000"}},
      {"all 1e300", [](double) { return 1e300; }, "largest slip 1E300 m at W 1, L 1", {"0", "2E299", "4E299", "6E299", "8E299", "1E300"}},
      {"all -0.5", [](double) { return -0.5; }, "largest slip -0.50000 m at W 1, L 1 \xe2\x80\x94 negative slips: the scale starts at -0.50000 m",
       {"-0.5", "-0.4", "-0.3", "-0.2", "-0.1", "0"}},
  };
  for (const auto& c : cases) {
    const Figure figure = layoutFigure(*example([&](ReportData& d) { eachCell(d, report::kSlip, c.slip); }), {});
    EXPECT_NE(figure.title.find(c.title), std::string::npos) << c.slips << ": " << figure.title;
    EXPECT_EQ(colourBarLabels(figure), c.bar) << c.slips;
  }
  // No slip to weigh the rakes by: no mean rake (not a NaN's text).
  const Figure zero = layoutFigure(*example([](ReportData& d) { eachCell(d, report::kSlip, [](double) { return 0.0; }); }), {});
  EXPECT_EQ(zero.title, "largest slip 0.00000 m at W 1, L 1");
}

// A long title keeps its name on at most two lines: cut with an ellipsis
// only when it needs a third, whole when it fills exactly two.
TEST(MapValues, LongTitleNameOnTwoLinesAtMost) {
  const struct { int words; int lines; bool cut; } cases[] = {{14, 2, false}, {20, 3, false}, {22, 3, true}};
  const auto data = example();
  for (const auto& c : cases) {
    FigureOptions options;
    options.name = "rateA-out4.csv";
    for (int n = 0; n < c.words; ++n) options.title += n == 0 ? "Inversion" : " Inversion";
    std::string title;
    int lines = 0, words = 0;
    for (const Mark& m : layoutFigure(*data, options).marks) {
      if (m.kind != MarkKind::Text || !m.bold || m.fontSize != kTitleText) continue;
      ++lines;
      title += m.text + "\n";
    }
    for (std::size_t at = 0; (at = title.find("Inversion", at)) != std::string::npos; ++at) ++words;
    EXPECT_EQ(lines, c.lines) << title;
    EXPECT_EQ(title.find("\xe2\x80\xa6") != std::string::npos, c.cut) << title;
    EXPECT_EQ(words == c.words, !c.cut) << title;
  }
}

TEST(MapNumberText, TickLabelsAreDistinct) {
  const struct { std::vector<double> ticks; std::vector<std::string> labels; } cases[] = {
      {{0, 2.5, 5}, {"0", "2.5", "5"}},
      {{0, 2e-301, 4e-301}, {"0", "2E-301", "4E-301"}},
      {{1.0, 1.0000001, 1.0000002}, {"1", "1.0000001", "1.0000002"}},
      {{0, 5e9, 1e10}, {"0", "5E9", "1E10"}},
      {{-0.0002, -0.0001, 0}, {"-0.0002", "-0.0001", "0"}},
  };
  for (const auto& c : cases) EXPECT_EQ(tickLabels(c.ticks), c.labels);
}

}  // namespace
}  // namespace slip::map
