// The example's figure in a real browser: headless Chromium renders it, and
// pixels of the screenshot must show what the layout put there. Skips when
// no browser is installed, unless SLIP_REQUIRE_BROWSER is set (CI sets it),
// where a missing browser fails.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <algorithm>

#include "base/grid.h"
#include "check/model_file.h"
#include "compose/slip_composer.h"
#include "map/figure_layout.h"
#include "map/report_reader.h"
#include "map/source_panels.h"
#include "map/stations.h"
#include "map/svg_writer.h"
#include "tool_runner.h"

namespace slip::map {
namespace {

const std::string kOutput = SLIP_TEST_OUTPUT_DIR;
const std::string kFigure = kOutput + "/map-browser-figure.svg";

// The program `name` on the PATH, or "".
std::string onPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "";
  for (std::size_t start = 0; start <= dirs.size();) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::filesystem::path candidate = std::filesystem::path(dirs.substr(start, end - start)) / name;
    if (end > start && ::access(candidate.c_str(), X_OK) == 0) return candidate.string();
    start = end + 1;
  }
  return "";
}

bool browserRequired() { return std::getenv("SLIP_REQUIRE_BROWSER") != nullptr; }

#define SKIP_OR_FAIL(why)                                          \
  do {                                                             \
    if (browserRequired()) FAIL() << why << " (SLIP_REQUIRE_BROWSER is set)"; \
    GTEST_SKIP() << why;                                           \
  } while (false)

// A screenshot, read at figure units: `scale` pixels a unit.
struct Image {
  int width = 0, height = 0;
  double scale = 1.0;
  std::vector<unsigned char> rgb;
  Colour at(Point p) const {
    const auto x = static_cast<std::size_t>(p.x * scale), y = static_cast<std::size_t>(p.y * scale);
    const std::size_t i = 3 * (y * static_cast<std::size_t>(width) + x);
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
  }
};

bool readPng(const std::string& path, Image& image) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
  png.format = PNG_FORMAT_RGB;
  image.width = static_cast<int>(png.width);
  image.height = static_cast<int>(png.height);
  image.rgb.resize(PNG_IMAGE_SIZE(png));
  return png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr) != 0;
}

bool near(Colour a, Colour b, int by = 2) {
  auto close = [by](int x, int y) { return x - y <= by && y - x <= by; };
  return close(a.r, b.r) && close(a.g, b.g) && close(a.b, b.b);
}

constexpr Colour kPaperWhite{255, 255, 255};

bool dark(Colour c) { return c.r < 70 && c.g < 70 && c.b < 70; }

// The four points halfway between the cell's centre and its corners: an
// arrow or an isochrone may cross some of them, never all four.
std::vector<Point> cellSamples(const FigureParts& parts, CellIndex cell) {
  const Point c = parts.cellCentre(cell.il, cell.iw);
  const double d = parts.cellWidth / 4;
  return {{c.x - d, c.y - d}, {c.x + d, c.y - d}, {c.x - d, c.y + d}, {c.x + d, c.y + d}};
}

bool cellShows(const Image& image, const FigureParts& parts, CellIndex cell, Colour colour) {
  for (Point p : cellSamples(parts, cell)) {
    if (near(image.at(p), colour)) return true;
  }
  return false;
}

std::string describe(Colour c) {
  return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

// Renders `figure` in headless Chromium at its pixel width into `png`.
void screenshot(const Figure& figure, const std::string& name, Image& image) {
  std::string browser = onPath("chromium");
  if (browser.empty()) browser = onPath("chromium-browser");
  ASSERT_FALSE(browser.empty());
  const std::string svg = kOutput + "/" + name + ".svg", png = kOutput + "/" + name + ".png";
  testing::writeFile(svg, writeSvg(figure));
  const int width = figure.pixelWidth;
  const int height = static_cast<int>(std::lround(figure.height * width / figure.width));
  testing::TempDir profile;
  std::filesystem::remove(png);
  const std::string command = "timeout 120 '" + browser +
                              "' --headless=new --no-sandbox --disable-gpu --no-first-run"
                              " --disable-background-networking --disable-component-update --disable-sync"
                              " --force-color-profile=srgb --hide-scrollbars --user-data-dir='" + profile.path() +
                              "' --screenshot='" + png + "' --window-size=" + std::to_string(width) + "," +
                              std::to_string(height) + " 'file://" + svg + "' > /dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  ASSERT_TRUE(readPng(png, image)) << png;
  ASSERT_EQ(image.width, width);
  ASSERT_EQ(image.height, height);
  image.scale = width / figure.width;
}

std::unique_ptr<ReportData> example() {
  auto data = std::make_unique<ReportData>();
  ReadError error;
  const std::string report = testing::readFile(std::string(SLIP_SOURCE_DIR) + "/tests/data/example-report.csv");
  EXPECT_TRUE(readReport(report, *data, error)) << error.message;
  return data;
}

bool haveBrowser() { return !onPath("chromium").empty() || !onPath("chromium-browser").empty(); }

TEST(MapBrowser, ScreenshotShowsTheLayout) {
  if (!haveBrowser()) SKIP_OR_FAIL("no chromium on the PATH");
  const auto data = example();
  FigureOptions options;
  options.name = "rateA-out4.csv";
  const Figure figure = layoutFigure(*data, options);
  testing::writeFile(kFigure, writeSvg(figure));
  Image image;
  ASSERT_NO_FATAL_FAILURE(screenshot(figure, "map-browser-screenshot", image));
  const FigureParts& parts = figure.parts;

  const Summary summary = summarize(*data);
  EXPECT_TRUE(cellShows(image, parts, summary.maxCell, scaleColour(1.0)))
      << "largest slip, W " << summary.maxCell.iw << " L " << summary.maxCell.il << ": "
      << describe(image.at(parts.cellCentre(summary.maxCell.il, summary.maxCell.iw)));
  ASSERT_EQ(data->value(report::kSlip, 1, 1), 0.0);
  EXPECT_TRUE(cellShows(image, parts, {1, 1}, scaleColour(0.0))) << describe(image.at(parts.cellCentre(1, 1)));
  // The star is white inside, a colour the scale never takes, and covers
  // its cell's centre.
  const CellIndex epicentre = summary.epicentre;
  EXPECT_TRUE(near(image.at(parts.cellCentre(epicentre.il, epicentre.iw)), Colour{255, 255, 255}))
      << "epicentre W " << epicentre.iw << " L " << epicentre.il << ": "
      << describe(image.at(parts.cellCentre(epicentre.il, epicentre.iw)));
  // The colour bar is one gradient: its colour a quarter, half and three
  // quarters of the way up is the scale's there.
  for (double t : {0.25, 0.5, 0.75}) {
    const Point p{(parts.colourBar.x0 + parts.colourBar.x1) / 2, parts.colourBar.y1 - t * parts.colourBar.height()};
    EXPECT_TRUE(near(image.at(p), scaleColour(t), 4)) << t << ": " << describe(image.at(p));
  }
  // The scale bar and the north arrow are ink on a white ground inside the map frame.
  ASSERT_TRUE(parts.map.contains(parts.scaleBar) && parts.map.contains(parts.northArrow));
  const Box& bar = parts.scaleBar;  // its ground: the bar 7 to 10 units above the ground's foot
  EXPECT_TRUE(dark(image.at({bar.x0 + 10.0, bar.y1 - 8.5}))) << "scale bar";
  EXPECT_TRUE(near(image.at({bar.x0 + 10.0, bar.y1 - 3.0}), kPaperWhite)) << "below the scale bar";
  const Box& north = parts.northArrow;
  EXPECT_TRUE(dark(image.at({(north.x0 + north.x1) / 2, north.y0 + 0.6 * north.height()}))) << "north arrow";
  EXPECT_TRUE(near(image.at({north.x0 + 1.0, north.y0 + 1.0}), kPaperWhite)) << "beside the north arrow";
}

// The example with its model and stations: the moment-rate curve's fill
// where the layout puts its peak, paper above the curve's end; the 10 s
// rupture front's ink where the times cross 10 s on the epicentre's row; the
// legend's star and top edge; each station's arrowhead.
TEST(MapBrowser, ExampleWithModelAndStations) {
  if (!haveBrowser()) SKIP_OR_FAIL("no chromium on the PATH");
  const auto data = example();
  auto grid = std::make_unique<SubfaultGrid>();
  ASSERT_EQ(source::readModelFile("test", std::string(SLIP_SOURCE_DIR) + "/examples/rateA.dat", *grid,
                                  check::kEveryKind).exitStatus, std::nullopt);
  FigureOptions options;
  options.name = "rateA-out4.csv";
  SourcePanels panels = sourcePanels(*grid, "rateA.dat");
  ASSERT_TRUE(panels.moment && panels.outline && panels.notes.empty());
  options.moment = panels.moment;
  options.outline = panels.outline;
  StationError bad;
  ASSERT_TRUE(readStations(testing::readFile(std::string(SLIP_SOURCE_DIR) + "/tests/data/example-stations.csv"),
                           options.stations, bad)) << bad.message;
  const Summary summary = summarize(*data);
  const int iw = summary.epicentre.iw;
  int il = summary.epicentre.il;
  while (il < report::kDataColumns && data->value(report::kRuptureTime, il + 1, iw) < 10.0) ++il;
  const double t0 = data->value(report::kRuptureTime, il, iw), t1 = data->value(report::kRuptureTime, il + 1, iw);
  ASSERT_TRUE(t0 < 10.0 && t1 >= 10.0);
  for (int width : {600, 1000, 4000}) {
    SCOPED_TRACE(width);
    options.pixelWidth = width;
    const Figure figure = layoutFigure(*data, options);
    Image image;
    ASSERT_NO_FATAL_FAILURE(screenshot(figure, "map-browser-example-" + std::to_string(width), image));
    const FigureParts& parts = figure.parts;
    const MomentPanel& m = *options.moment;
    const auto peak = static_cast<std::size_t>(std::max_element(m.rates.begin(), m.rates.end()) - m.rates.begin());
    const Box& axes = parts.moment;
    const double start = std::min(0.0, m.times.front());
    const double x = axes.x0 + axes.width() * (m.times[peak] - start) / (m.times.back() - start);
    EXPECT_TRUE(near(image.at({x, axes.y0 + 4.0}), scaleColour(0.75), 4)) << describe(image.at({x, axes.y0 + 4.0}));
    EXPECT_TRUE(near(image.at({axes.x1 - 4.0, axes.y0 + 4.0}), kPaperWhite)) << "above the curve's end";

    const Point a = parts.cellCentre(il, iw), b = parts.cellCentre(il + 1, iw);
    const Point front{a.x + (b.x - a.x) * (10.0 - t0) / (t1 - t0), a.y};
    // The isochrones' ink is black with white dashes: grey where smoothed,
    // never a colour of the scale, which is saturated.
    auto grey = [](Colour c) { return std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}) < 30; };
    bool ink = false;
    for (double dx = -2.0; dx <= 2.0; dx += 0.5 / image.scale) ink = ink || grey(image.at({front.x + dx, front.y}));
    EXPECT_TRUE(ink) << "the 10 s front near x " << front.x;

    const Box& legend = parts.legend;
    const double middle = (parts.colourBar.x0 + parts.colourBar.x1) / 2;
    EXPECT_TRUE(near(image.at({middle, legend.y0 + 7.0}), kPaperWhite)) << "the legend's star";
    EXPECT_TRUE(dark(image.at({middle, legend.y0 + 27.0}))) << "the legend's top edge";
    int heads = 0;
    for (const Mark& mark : figure.marks) {
      if (mark.kind != MarkKind::Polygon || mark.points.size() != 3 || mark.tooltip.rfind("S0", 0) != 0) continue;
      const Point c{(mark.points[0].x + mark.points[1].x + mark.points[2].x) / 3,
                    (mark.points[0].y + mark.points[1].y + mark.points[2].y) / 3};
      bool head = false;
      for (double d = -1.5; d <= 1.5; d += 0.5 / image.scale) {
        const Colour p = image.at({c.x + d, c.y}), q = image.at({c.x, c.y + d});
        head = head || (grey(p) && p.r < 160) || (grey(q) && q.r < 160);
      }
      EXPECT_TRUE(head) << mark.tooltip;
      ++heads;
    }
    EXPECT_EQ(heads, 4);
  }
}

// At 520 to 600 pixels a renderer rounds the cells' edges: cells of one
// colour must still show no background between them. Row W 1 of the example
// is all zero slip (drawn without isochrones, which cross it).
TEST(MapBrowser, NoSeamsBetweenCells) {
  if (!haveBrowser()) SKIP_OR_FAIL("no chromium on the PATH");
  const auto data = example();
  for (int width : {530, 600}) {
    FigureOptions options;
    options.pixelWidth = width;
    options.contourStep = 1e6;
    const Figure figure = layoutFigure(*data, options);
    Image image;
    ASSERT_NO_FATAL_FAILURE(screenshot(figure, "map-browser-seams-" + std::to_string(width), image));
    const FigureParts& parts = figure.parts;
    for (int il = 2; il <= 12; ++il) {
      ASSERT_EQ(data->value(report::kSlip, il, 1), 0.0);
      const double edge = parts.plane.x0 + (il - 1) * parts.cellWidth;  // between L il-1 and L il
      for (double dx : {-0.5, 0.0, 0.5}) {
        const Point p{edge + dx / image.scale, parts.cellCentre(il, 1).y};
        EXPECT_TRUE(near(image.at(p), scaleColour(0.0), 3)) << width << " px, L " << il << ": " << describe(image.at(p));
      }
    }
  }
}

// Rake arrows on the darkest colour of the scale: every slip -1 but one of
// +1, so that the darkest cells carry the longest arrows (against their
// rake, 90: pointing down). Across the shaft the arrow shows ink and, beside
// it, its white halo, where the cell is dark violet.
TEST(MapBrowser, ArrowsReadOnTheDarkestCells) {
  if (!haveBrowser()) SKIP_OR_FAIL("no chromium on the PATH");
  auto data = std::make_unique<ReportData>();
  for (int iw = 1; iw <= report::kDataRows; ++iw) {
    for (int il = 1; il <= report::kDataColumns; ++il) {
      data->set(report::kSlip, il, iw, il == 43 && iw == 22 ? 1.0 : -1.0);
      data->set(report::kRake, il, iw, 90.0);
    }
  }
  FigureOptions options;
  options.pixelWidth = 2000;
  const Figure figure = layoutFigure(*data, options);
  Image image;
  ASSERT_NO_FATAL_FAILURE(screenshot(figure, "map-browser-arrows", image));
  const FigureParts& parts = figure.parts;
  for (CellIndex cell : {CellIndex{1, 1}, CellIndex{20, 11}, CellIndex{42, 22}}) {
    const Point c = parts.cellCentre(cell.il, cell.iw);
    EXPECT_TRUE(near(image.at({c.x - 0.4 * parts.cellWidth, c.y}), scaleColour(0.0), 3)) << "the cell's own colour";
    bool ink = false, halo = false;
    for (double x = c.x - 0.2 * parts.cellWidth; x <= c.x + 0.2 * parts.cellWidth; x += 0.5 / image.scale) {
      const Colour p = image.at({x, c.y - 0.2 * parts.cellWidth});  // on the shaft, away from the head
      ink = ink || dark(p);
      halo = halo || (p.r > 200 && p.g > 200 && p.b > 200);
    }
    EXPECT_TRUE(ink) << "W " << cell.iw << " L " << cell.il;
    EXPECT_TRUE(halo) << "W " << cell.iw << " L " << cell.il;
  }
}

TEST(MapBrowser, FigureIsWellFormedXml) {
  const std::string xmllint = onPath("xmllint");
  if (xmllint.empty()) SKIP_OR_FAIL("no xmllint on the PATH");
  FigureOptions options;
  options.name = "rateA-out4.csv";
  testing::writeFile(kFigure, writeSvg(layoutFigure(*example(), options)));
  const std::string command = "'" + xmllint + "' --noout '" + kFigure + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

}  // namespace
}  // namespace slip::map
