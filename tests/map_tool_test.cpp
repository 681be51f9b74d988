// Whole runs of slipmap: the example's figure, options, diagnostics and
// exit statuses, and that a failed run writes nothing.
#include <gtest/gtest.h>

#include <string>

#include "run_checks.h"

namespace slip {
namespace {

using testing::TempDir;
using testing::ToolRun;

const std::string kSource = SLIP_SOURCE_DIR;
const std::string kReport = testing::readFile(kSource + "/tests/data/example-report.csv");
const std::string kModel = testing::readFile(kSource + "/examples/rateA.dat");

ToolRun slipmap(const TempDir& dir, std::vector<std::string> args = {}) {
  testing::RunOptions options;
  options.tool = SLIP_MAP_PATH;
  options.args = std::move(args);
  return testing::runTool(dir.path(), options);
}

// docs/rateA-out4.svg is the README's figure: it must be what slipmap draws
// of the example's report today (regenerate it with the example target).
TEST(MapTool, DrawsTheDocumentedFigure) {
  TempDir dir;
  dir.write("rateA-out4.csv", kReport);
  dir.write("rateA.dat", kModel);  // beside the report: the moment-rate panel and the fault's outline
  testing::expectQuietSuccess(slipmap(dir));
  const std::string figure = dir.read("rateA-out4.svg");
  EXPECT_TRUE(figure == testing::readFile(kSource + "/docs/rateA-out4.svg")) << "docs/rateA-out4.svg is out of date";
  EXPECT_FALSE(dir.exists("rateA-out4.svg.tmp"));

  const ToolRun piped = slipmap(dir, {"-o", "-"});
  EXPECT_EQ(piped.exitCode, 0);
  EXPECT_TRUE(piped.out == figure) << "standard output differs from the file";
}

TEST(MapTool, OptionsShapeTheFigure) {
  TempDir dir;
  dir.write("run.csv", kReport);
  testing::expectQuietSuccess(slipmap(dir, {"--width=500", "--title", "M 7 <test>", "--no-arrows", "--contour",
                                            "10", "-o", "figure.svg", "run.csv"}));
  const std::string svg = dir.read("figure.svg");
  // Laid out 600 units wide, shown 500 pixels wide, and narrower in a narrower container.
  EXPECT_NE(svg.find("width=\"500\" height=\""), std::string::npos);
  EXPECT_NE(svg.find("viewBox=\"0 0 600 "), std::string::npos);
  EXPECT_NE(svg.find("style=\"max-width:100%;height:auto\""), std::string::npos);
  EXPECT_NE(svg.find("<title>M 7 &lt;test&gt; \xe2\x80\x94 largest slip 7.21353 m at W 11, L 21"), std::string::npos);
  EXPECT_NE(svg.find("rupture time every 10 s"), std::string::npos);
  EXPECT_EQ(svg.find("rake arrows"), std::string::npos);
  EXPECT_FALSE(dir.exists("run.svg"));

  // A leading dot begins a name, not an extension.
  dir.write(".run1", kReport);
  testing::expectQuietSuccess(slipmap(dir, {".run1"}));
  EXPECT_TRUE(dir.exists(".run1.svg"));
}

TEST(MapTool, HelpAndVersion) {
  TempDir dir;
  const ToolRun help = slipmap(dir, {"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out.rfind("usage: slipmap [options] [REPORT]\n", 0), 0u);
  EXPECT_NE(help.out.find("64 a command-line mistake"), std::string::npos);
  const ToolRun version = slipmap(dir, {"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, std::string("slipmap ") + SLIP_VERSION + "\n");
}

const char kUsage[] = "usage: slipmap [options] [REPORT]\ntry 'slipmap --help' for more information\n";

TEST(MapTool, CommandLineMistakes) {
  TempDir dir;
  dir.write("rateA-out4.csv", kReport);
  const struct { std::vector<std::string> args; std::string error; } cases[] = {
      {{"--colour"}, "unknown option '--colour'"},
      {{"-o", ""}, "-o needs a file name"},
      {{"--model="}, "--model needs a file name"},
      {{"--width", "50"}, "--width needs a whole number of pixels from 100 to 20000, not '50'"},
      {{"--contour=0"}, "--contour needs a number of seconds above 0, not '0'"},
      {{"--contour"}, "--contour needs a value (SECONDS)"},
      {{"a.csv", "b.csv"}, "one [REPORT] at a time: 'b.csv' is one too many"},
      {{"--contour", "0.01"}, "--contour 0.01 gives more than 200 contour lines over the report's rupture times"},
      {{"--contour", "1e-300"}, "--contour 1e-300 gives more than 200 contour lines over the report's rupture times"},
      {{"-o", "./rateA-out4.csv"}, "the output './rateA-out4.csv' is the input 'rateA-out4.csv'"},
  };
  for (const auto& c : cases) {
    const ToolRun run = slipmap(dir, c.args);
    EXPECT_EQ(run.exitCode, 64) << c.error;
    EXPECT_EQ(run.err, "slipmap: error: " + c.error + "\n" + kUsage);
    EXPECT_FALSE(dir.exists("rateA-out4.svg"));
  }
}

// The damaged line's first 100 columns, with the caret under the cell.
const std::string kDamagedExcerpt =
    " 4 | W 2,   0.0x000,   0.00000,   0.00000,   0.00000,   0.00000,   0.00000,   0.00000,   0.00000,   0.000...\n"
    "   |        ^~~~~~~\n";

// A failed run leaves an older figure as it was and no temporary file.
TEST(MapTool, BadInputWritesNothing) {
  TempDir dir;
  std::string damaged = kReport;
  damaged.replace(damaged.find("W 2,") + 4, 10, "   0.0x000");
  const struct { std::string report; std::vector<std::string> args; std::string error; } cases[] = {
      {damaged, {}, "rateA-out4.csv:4:8: error: expected a number in column L1 of row W2 of section \"Slip (m)\", "
                    "found \"0.0x000\"\n" + kDamagedExcerpt},
      {"", {"missing.csv", "-o", "rateA-out4.svg"},
       "slipmap: error: missing.csv: cannot read: No such file or directory\n"},
      {kReport, {"-o", "no/such/folder/x.svg"},
       "slipmap: error: no/such/folder/x.svg: cannot create a temporary file beside it: No such file or directory\n"},
  };
  for (const auto& c : cases) {
    dir.write("rateA-out4.csv", c.report);
    dir.write("rateA-out4.svg", "older figure");
    const ToolRun run = slipmap(dir, c.args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, c.error);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(dir.read("rateA-out4.svg"), "older figure");
    EXPECT_FALSE(dir.exists("rateA-out4.svg.tmp"));
  }
}

// --displacement: a station file's first fault is named at its place and
// nothing is written; a good one draws each station inside the map and
// names the others.
TEST(MapTool, StationFiles) {
  TempDir dir;
  dir.write("rateA-out4.csv", kReport);
  const std::string header = "station,lon,lat,east_m,north_m,up_m\n";
  const struct { std::string stations; int exitCode; std::string err; } cases[] = {
      {header + "A,-110.5,27.0,0.5,0.1,-0.2\r\nFAR,10,10,0,0,0\n", 0, ""},
      {"station,lon,lat,east_m,north_m,up_m,los_m\nA,-110.5,27.0,0.5,0.1,-0.2,0.3\n", 0, ""},
      {"station,lon,lat\n", 2, "s.csv:1:1: error: expected the header \"station,lon,lat,east_m,north_m,up_m\" (with \",los_m\" or without)"},
      {header + "A,-110.5,27.0,0.5,x,-0.2\n", 2, "s.csv:2:19: error: north_m needs a finite number, not 'x'"},
      {header + "A,-110.5,97.0,0.5,0.1,-0.2\n", 2, "s.csv:2:10: error: lat needs a latitude from -90 to 90"},
      {header + "A,-110.5,27.0,0.5,0.1\n", 2, "s.csv:2:1: error: expected 6 fields as the header names, found 5"},
      {header + "A,-110.5,27.0,inf,0.1,0\n", 2, "s.csv:2:15: error: east_m needs a finite number, not 'inf'"},
  };
  for (const auto& c : cases) {
    dir.write("s.csv", c.stations);
    const ToolRun run = slipmap(dir, {"--displacement", "s.csv", "-o", "-"});
    EXPECT_EQ(run.exitCode, c.exitCode) << c.stations;
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')), c.err) << c.stations;
    if (c.exitCode != 0) continue;
    EXPECT_NE(run.out.find("<title>A: east 0.5 m, north 0.1 m, up -0.2 m</title>"), std::string::npos);
    EXPECT_EQ(run.out.find("not drawn: FAR") != std::string::npos, c.stations.find("FAR") != std::string::npos);
  }
}

// The model beside the report or named by --model: what it adds, and what
// a model that a run or the geometry would refuse does to the figure.
TEST(MapTool, WithTheModel) {
  std::string scrambled = kModel;  // one subfault's longitude far off the plane
  scrambled.replace(scrambled.find("-109."), 5, "-100.");
  std::string cut = kModel.substr(0, kModel.size() / 2);
  const struct {
    std::string model;
    std::vector<std::string> args;
    int exitCode;
    std::string err;      // the first line of standard error
    bool panel;
    std::string note;     // a text the figure must hold
  } cases[] = {
      {kModel, {}, 0, "", true, "Moment rate (N m/s) of rateA.dat: M0 8.598E20 N m, Mw 7.89"},
      {kModel, {"--model", "rateA.dat"}, 0, "", true, "Moment rate (N m/s) of rateA.dat"},
      {"", {}, 0, "", false, "Map view"},
      {"", {"--model", "other.dat"}, 2, "slipmap: error: other.dat: cannot read: No such file or directory", false, ""},
      {cut, {}, 2, "rateA.dat:6560:46: error: read start: end of file", false, ""},
      {scrambled, {}, 0, "", true, "Fault outline and strike of rateA.dat left out: "},
      {kModel, {"-o", "rateA.dat"}, 64,
       "slipmap: error: the output 'rateA.dat' is the model 'rateA.dat', read for the moment-rate panel: give another output",
       false, ""},
  };
  for (const auto& c : cases) {
    TempDir dir;
    dir.write("rateA-out4.csv", kReport);
    if (!c.model.empty()) dir.write("rateA.dat", c.model);
    const ToolRun run = slipmap(dir, c.args);
    SCOPED_TRACE(::testing::PrintToString(c.args) + " " + c.err);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')), c.err);
    if (c.exitCode != 0) {
      EXPECT_FALSE(dir.exists("rateA-out4.svg"));
      EXPECT_EQ(dir.read("rateA.dat"), c.model);
      continue;
    }
    const std::string svg = dir.read("rateA-out4.svg");
    EXPECT_EQ(svg.find("Moment rate") != std::string::npos, c.panel);
    EXPECT_NE(svg.find(c.note), std::string::npos) << c.note;
  }
}

}  // namespace
}  // namespace slip
