// slipdeform as a program: the example with its stations and a grid, and the
// refusals of its command line and stations file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "check_support.h"
#include "tool_runner.h"

namespace slip {
namespace {

using testing::TempDir;
using testing::ToolRun;

const std::string kExample = testing::readFile(std::string(SLIP_SOURCE_DIR) + "/examples/rateA.dat");
const std::string kStations = testing::readFile(std::string(SLIP_SOURCE_DIR) + "/examples/stations.txt");

ToolRun runDeform(const TempDir& dir, std::vector<std::string> args) {
  return testing::runProgram(dir.path(), SLIP_DEFORM_PATH, std::move(args));
}

// The example: its stations on standard output (the values of this
// program's first run, kept to catch a change), the same in the CSV file and
// GeoJSON, and a 3 x 2 grid whose nodes are stations too.
TEST(DeformCommand, Example) {
  TempDir dir;
  dir.write("rateA.dat", kExample);
  dir.write("stations.txt", kStations);
  const ToolRun run = runDeform(dir, {"--depth", "16", "--stations", "stations.txt", "--los", "-12/39"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out.substr(0, run.out.find('\n', 50) + 1),
            "station,lon,lat,east_m,north_m,up_m,los_m\n"
            "SLP1,-110.5,27.2,1.69238,-0.4696233,1.113694,-0.1148258\n");
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 9);
  ASSERT_EQ(runDeform(dir, {"--depth=16", "--stations=stations.txt", "--los=-12/39", "-o", "s.csv", "--geojson",
                            "s.geojson", "--grid", "-110.6/-110.5/27.1/27.2/0.05", "--grid-out", "g", "-q"})
                .exitCode,
            0);
  EXPECT_EQ(dir.read("s.csv"), run.out);
  EXPECT_NE(dir.read("s.geojson").find("\"coordinates\":[-110.5,27.2]},\"properties\":{\"station\":\"SLP1\","
                                       "\"east_m\":1.69238,\"north_m\":-0.4696233,\"up_m\":1.113694,"
                                       "\"los_m\":-0.1148258}"),
            std::string::npos);
  const std::string up = dir.read("g.up.asc");
  EXPECT_EQ(up.substr(0, up.find("NODATA")), "ncols 3\nnrows 3\nxllcorner -110.625\nyllcorner 27.075\ncellsize 0.05\n");
  EXPECT_NE(up.find(" 1.113694\n"), std::string::npos);  // SLP1 at the north-east node, the first row's end
  for (const char* f : {"g.east.prj", "g.north.asc", "g.los.asc", "g.los.prj"}) EXPECT_TRUE(dir.exists(f)) << f;
}

struct Refused {
  const char* what;
  std::string stations;
  std::vector<std::string> args;
  int exitCode;
  std::string err;
};

TEST(DeformCommand, Refusals) {
  const std::string usage = "usage: slipdeform [options] [MODEL]\ntry 'slipdeform --help' for more information\n";
  const Refused cases[] = {
      {"no depth", kStations, {"--stations", "st.txt"}, 64,
       "slipdeform: error: the subfaults need their depth: give the hypocentre's --depth KM\n" + usage},
      {"nothing asked", kStations, {"--depth", "16"}, 64,
       "slipdeform: error: nothing to compute: give --stations FILE, or --grid and --grid-out\n" + usage},
      {"a grid without files", kStations, {"--depth", "16", "--grid", "0/1/0/1/0.5"}, 64,
       "slipdeform: error: --grid and --grid-out go together: give both\n" + usage},
      {"a grid too large", kStations, {"--depth", "16", "--grid", "0/100/0/80/0.001", "--grid-out", "g"}, 64,
       "slipdeform: error: --grid '0/100/0/80/0.001': 8000180001 nodes: at most 1e8 (a larger STEP or a smaller "
       "extent)\n" + usage},
      {"a grid off its step", kStations, {"--depth", "16", "--grid", "0/1/0/1/0.3", "--grid-out", "g"}, 64,
       "slipdeform: error: --grid '0/1/0/1/0.3': each extent must be a whole number of STEPs (the nodes run from the "
       "minimum to the maximum)\n" + usage},
      {"a grid of four values", kStations, {"--depth", "16", "--grid", "0/1/0/1", "--grid-out", "g"}, 64,
       "slipdeform: error: --grid '0/1/0/1': give LONMIN/LONMAX/LATMIN/LATMAX/STEP in degrees, such as "
       "140/142/37/39/0.01\n" + usage},
      {"nu of 0.5", kStations, {"--depth", "16", "--stations", "st.txt", "--nu", "0.5"}, 64,
       "slipdeform: error: --nu '0.5': give a Poisson's ratio above 0 and below 0.5\n" + usage},
      {"an incidence of 90", kStations, {"--depth", "16", "--stations", "st.txt", "--los", "10/90"}, 64,
       "slipdeform: error: --los '10/90': give HEADING/INCIDENCE in degrees, the incidence from 0 up to 90, such "
       "as -12/39\n" + usage},
      {"the output over the stations", kStations, {"--depth", "16", "--stations", "st.txt", "-o", "st.txt"}, 64,
       "slipdeform: error: the output 'st.txt' is the input 'st.txt'\n" + usage},
      {"a latitude beyond the pole", "\xEF\xBB\xBFSLP1 10 95\r\n", {"--depth", "16", "--stations", "st.txt"}, 2,
       "st.txt:1:12: error: expected a latitude from -90 to 90 degrees, found \"95\"\n"
       " 1 | ???SLP1 10 95\n"
       "   |            ^~\n"},
      {"a fourth field", "# name lon lat\nA,1,2\nB 1 2 3\n", {"--depth", "16", "--stations", "st.txt"}, 2,
       "st.txt:3:7: error: expected NAME LON LAT, found 4 fields\n 3 | B 1 2 3\n   |       ^\n"},
      {"a quote in a name", "A\"b 1 2\n", {"--depth", "16", "--stations", "st.txt"}, 2,
       "st.txt:1:1: error: a station's name is printable ASCII, without '\"' or '\\'\n 1 | A\"b 1 2\n   | ^~~\n"},
  };
  for (const Refused& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    dir.write("rateA.dat", kExample);
    dir.write("st.txt", c.stations);
    const ToolRun run = runDeform(dir, c.args);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(run.out, "");
  }
}

}  // namespace
}  // namespace slip
