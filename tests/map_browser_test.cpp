// The example's figure in a real browser: headless Chromium renders it, and
// pixels of the screenshot must show what the layout put there. Skips when
// no browser is installed, unless SLIP_REQUIRE_BROWSER is set (CI sets it),
// where a missing browser fails.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "map/figure_layout.h"
#include "map/report_reader.h"
#include "map/svg_writer.h"
#include "tool_runner.h"

namespace slip::map {
namespace {

const std::string kScreenshot = std::string(SLIP_TEST_OUTPUT_DIR) + "/map-browser-screenshot.png";
const std::string kFigure = std::string(SLIP_TEST_OUTPUT_DIR) + "/map-browser-figure.svg";

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

struct Image {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  Colour at(Point p) const {
    const std::size_t i = 3 * (static_cast<std::size_t>(p.y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(p.x));
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

bool near(Colour a, Colour b) {
  auto close = [](int x, int y) { return x - y <= 2 && y - x <= 2; };
  return close(a.r, b.r) && close(a.g, b.g) && close(a.b, b.b);
}

// The four points halfway between the cell's centre and its corners: an
// arrow or an isochrone may cross some of them, never all four.
std::vector<Point> cellSamples(CellIndex cell) {
  const Point c = cellCentre(cell.il, cell.iw);
  const double d = kCellSize / 4;
  return {{c.x - d, c.y - d}, {c.x + d, c.y - d}, {c.x - d, c.y + d}, {c.x + d, c.y + d}};
}

bool cellShows(const Image& image, CellIndex cell, Colour colour) {
  for (Point p : cellSamples(cell)) {
    if (near(image.at(p), colour)) return true;
  }
  return false;
}

std::string describe(Colour c) {
  return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

struct Example {
  std::unique_ptr<ReportData> data = std::make_unique<ReportData>();
  Figure figure;
};

Example drawExample() {
  Example e;
  ReadError error;
  const std::string report = testing::readFile(std::string(SLIP_SOURCE_DIR) + "/tests/data/example-report.csv");
  EXPECT_TRUE(readReport(report, *e.data, error)) << error.message;
  FigureOptions options;
  options.name = "rateA-out4.csv";
  e.figure = layoutFigure(*e.data, options);
  testing::writeFile(kFigure, writeSvg(e.figure));
  return e;
}

TEST(MapBrowser, ScreenshotShowsTheLayout) {
  std::string browser = onPath("chromium");
  if (browser.empty()) browser = onPath("chromium-browser");
  if (browser.empty()) SKIP_OR_FAIL("no chromium on the PATH");
  const Example e = drawExample();
  const int width = e.figure.pixelWidth;
  const int height = static_cast<int>(e.figure.height);  // one pixel a figure unit at the default width
  ASSERT_EQ(width, static_cast<int>(kFigureWidth));
  testing::TempDir profile;
  std::filesystem::remove(kScreenshot);
  const std::string command = "timeout 120 '" + browser +
                              "' --headless=new --no-sandbox --disable-gpu --no-first-run"
                              " --disable-background-networking --disable-component-update --disable-sync"
                              " --force-color-profile=srgb --hide-scrollbars --user-data-dir='" + profile.path() +
                              "' --screenshot='" + kScreenshot + "' --window-size=" + std::to_string(width) + "," +
                              std::to_string(height) + " 'file://" + kFigure + "' > /dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  Image image;
  ASSERT_TRUE(readPng(kScreenshot, image)) << kScreenshot;
  ASSERT_EQ(image.width, width);
  ASSERT_EQ(image.height, height);

  const Summary summary = summarize(*e.data);
  EXPECT_TRUE(cellShows(image, summary.maxCell, scaleColour(1.0)))
      << "largest slip, W " << summary.maxCell.iw << " L " << summary.maxCell.il << ": "
      << describe(image.at(cellCentre(summary.maxCell.il, summary.maxCell.iw)));
  ASSERT_EQ(e.data->value(report::kSlip, 1, 1), 0.0);
  EXPECT_TRUE(cellShows(image, {1, 1}, scaleColour(0.0))) << describe(image.at(cellCentre(1, 1)));
  // The star is white inside, a colour the scale never takes, and covers
  // its cell's centre.
  const CellIndex epicentre = summary.epicentre;
  EXPECT_TRUE(near(image.at(cellCentre(epicentre.il, epicentre.iw)), Colour{255, 255, 255}))
      << "epicentre W " << epicentre.iw << " L " << epicentre.il << ": "
      << describe(image.at(cellCentre(epicentre.il, epicentre.iw)));
}

TEST(MapBrowser, FigureIsWellFormedXml) {
  const std::string xmllint = onPath("xmllint");
  if (xmllint.empty()) SKIP_OR_FAIL("no xmllint on the PATH");
  drawExample();
  const std::string command = "'" + xmllint + "' --noout '" + kFigure + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

}  // namespace
}  // namespace slip::map
