// slipsource writing the exchange files as a program: which files, which
// refusals, before anything is read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange_reader.h"
#include "tool_runner.h"

namespace slip {
namespace {

using testing::RunOptions;
using testing::TempDir;
using testing::ToolRun;

const std::string kExample = testing::readFile(std::string(SLIP_SOURCE_DIR) + "/examples/rateA.dat");

ToolRun runSource(const TempDir& dir, std::vector<std::string> args) {
  return testing::runProgram(dir.path(), SLIP_SOURCE_PATH, std::move(args));
}

// FSP and SRF need the depth: the run stops before reading or writing anything.
TEST(SourceFormatsRun, DepthRequired) {
  const struct { std::vector<std::string> args; const char* message; } cases[] = {
      {{"--all", "ex"}, "--all writes FSP and SRF files, which need"},
      {{"--fsp", "a.fsp", "--kml", "a.kml"}, "--fsp needs"},
      {{"--srf", "a.srf", "--fsp", "a.fsp"}, "--fsp and --srf need"},
      {{"--srf", "a.srf", "missing.dat"}, "--srf needs"},  // refused before the missing model is read
  };
  for (const auto& c : cases) {
    TempDir dir;
    dir.write("rateA.dat", kExample);
    const ToolRun run = runSource(dir, c.args);
    EXPECT_EQ(run.exitCode, 64);
    EXPECT_EQ(run.err, std::string("slipsource: error: ") + c.message +
                           " each subfault's depth: give the hypocentre's --depth KM\n"
                           "usage: slipsource [options] [MODEL]\ntry 'slipsource --help' for more information\n");
    for (const char* name : {"ex.fsp", "ex.mr", "ex.kml", "a.fsp", "a.kml", "a.srf"}) EXPECT_FALSE(dir.exists(name)) << name;
  }
}

// --all writes the five files, as the options one by one write them; the
// event named by --event, else by the model file.
TEST(SourceFormatsRun, AllFiles) {
  TempDir dir;
  dir.write("rateA.dat", kExample);
  const std::vector<std::string> event = {"--depth", "16", "--event", "Gulf 2026 & co"};
  std::vector<std::string> all = {"--all", "ex"}, parts = {"--mr", "p.mr", "--fsp", "p.fsp", "--srf", "p.srf",
                                                           "--geojson", "p.geojson", "--kml", "p.kml"};
  all.insert(all.end(), event.begin(), event.end());
  parts.insert(parts.end(), event.begin(), event.end());
  const ToolRun allRun = runSource(dir, all);
  ASSERT_EQ(allRun.exitCode, 0) << allRun.err;
  EXPECT_EQ(allRun.err, "");
  const ToolRun partsRun = runSource(dir, parts);
  ASSERT_EQ(partsRun.exitCode, 0) << partsRun.err;
  EXPECT_EQ(allRun.out, partsRun.out);
  for (const char* suffix : {".mr", ".fsp", ".srf", ".geojson", ".kml"}) {
    EXPECT_TRUE(dir.read(std::string("ex") + suffix) == dir.read(std::string("p") + suffix)) << suffix;
  }
  EXPECT_NE(dir.read("ex.fsp").find("\n% Event : Gulf 2026 & co   [written by "), std::string::npos);
  EXPECT_NE(dir.read("ex.kml").find("<name>Gulf 2026 &amp; co</name>"), std::string::npos);
  ASSERT_EQ(runSource(dir, {"--fsp", "q.fsp", "--depth", "16", "./rateA.dat"}).exitCode, 0);
  EXPECT_NE(dir.read("q.fsp").find("\n% Event : rateA.dat   [written by "), std::string::npos);
  // The bundled model read back: the header's magnitude is the summary's.
  const testing::FspFile fsp = testing::readFsp(dir.read("ex.fsp"));
  EXPECT_EQ(fsp.rows.size(), 946u);
  EXPECT_EQ(fsp.value("size.mw"), 7.89);
  EXPECT_NE(allRun.out.find("Mw 7.89 (IASPEI"), std::string::npos);
  // The SRF read as many readers do, PLANE on line 2 and the slip from u1 alone, gives M0.
  const testing::SrfFile srf = testing::readSrfPlaneOnLine2(dir.read("ex.srf"));
  ASSERT_TRUE(srf.complete);
  double m0 = 0.0;
  for (const testing::SrfPoint& p : srf.points) m0 += p.den * p.vs * p.vs / 10.0 * p.area * 1e-4 * p.slip1 / 100.0;
  EXPECT_NEAR(m0, fsp.value("size.mo"), 1e-6 * m0);
}

}  // namespace
}  // namespace slip
