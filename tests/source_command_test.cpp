// slipsource as a program: the bundled model, its files and its refusals.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "check_support.h"
#include "model_text.h"
#include "tool_runner.h"

namespace slip {
namespace {

using testing::RunOptions;
using testing::TempDir;
using testing::ToolRun;

const std::string kExample = testing::readFile(std::string(SLIP_SOURCE_DIR) + "/examples/rateA.dat");

ToolRun runSource(const TempDir& dir, std::vector<std::string> args = {}) {
  return testing::runProgram(dir.path(), SLIP_SOURCE_PATH, std::move(args));
}

// The bundled model: its summary, and a table whose integral is the released moment.
TEST(SourceCommand, BundledModel) {
  TempDir dir;
  dir.write("rateA.dat", kExample);
  const ToolRun run = runSource(dir, {"--mr", "mr.txt"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  for (const char* line : {"strike 200.00 deg (derived from the model; --strike overrides)\n",
                           "Dx 5 km (along strike; derived from the model; --dx overrides)\n",
                           "M0 8.59796e+20 N m (sum of rigidity x area x slip)\n",
                           "Mw 7.89 (IASPEI: 2/3 (log10 M0 - 9.1), M0 in N m)\n"}) {
    EXPECT_NE(run.out.find(line), std::string::npos) << line << run.out;
  }
  std::istringstream table(dir.read("mr.txt"));
  std::string row;
  double integral = 0.0, m0 = 0.0, t = 0.0, rate = 0.0;
  while (std::getline(table, row)) {
    if (row.rfind("# M0 ", 0) == 0) m0 = std::strtod(row.c_str() + 5, nullptr);
    if (row.empty() || row[0] == '#') continue;
    std::istringstream(row) >> t >> rate;
    integral += rate * 0.5;
  }
  EXPECT_NEAR(integral / m0, 1.0, 1e-8);  // 9 digits a row
  EXPECT_EQ(t, 36.25);                     // 73 bins
  EXPECT_EQ(runSource(dir).out, run.out);  // the table changes nothing on standard output
  // The table on standard output stands alone, loadable as it is; the summary goes to standard error.
  const ToolRun piped = runSource(dir, {"--mr", "-"});
  EXPECT_EQ(piped.exitCode, 0);
  EXPECT_EQ(piped.out, dir.read("mr.txt"));
  EXPECT_EQ(piped.err, run.out);
}

struct Refused {
  const char* what;
  std::string model;
  std::vector<std::string> args;
  int exitCode;
  std::string err;  // the whole of standard error
};

std::string withLine(int line, const std::string& text) {
  std::vector<std::string> lines = testing::canonicalLines();
  lines[static_cast<std::size_t>(line - 1)] = text;
  return testing::joinLines(lines);
}

// `model` with text after a lone CR at the end of its first record, which the read ignores.
std::string loneCrOnFirstLine(std::string model) { return model.insert(model.find('\n'), " \rnote"); }

TEST(SourceCommand, Refusals) {
  const std::string canonical = testing::canonicalModel();
  const std::vector<std::string> oriented = {"--strike", "90", "--dip", "45", "--dz", "1"};
  auto with = [&](std::vector<std::string> more) {
    std::vector<std::string> args = oriented;
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  const Refused cases[] = {
      {"rows against y", canonical, {}, 2,
       "rateA.dat: error: a1(2) does not grow from row W 1 to W 2 of column L 1 (step -1 km): y must run down dip, "
       "row by row; give --dz\n"},
      {"a1(1) in hundredths of a degree", canonical, {"--dz", "1"}, 2,
       "rateA.dat: error: the positions move 0.9121 km on the map per km of a1(1), not 1 within 1 %: x is not km "
       "along strike; give --strike (and --dip)\n"},
      {"a negative rupture time", withLine(16, " 1 2 3 4 -2.5"), oriented, 2,
       "rateA.dat:16:10: error: rupture time -2.5 s is negative: the moment-rate function starts at 0\n"
       "  in subfault W 1 L 2 (group 2 of 946), the fifth value of its second header record\n"
       " 16 |  1 2 3 4 -2.5\n"
       "    |          ^~~~\n"},
      // The excerpt's tildes stop at the slash, and a lone CR on an earlier line ends no line.
      {"a negative rupture time before a slash", withLine(16, " 1 2 3 4 -2.5/"), oriented, 2,
       "rateA.dat:16:10: error: rupture time -2.5 s is negative: the moment-rate function starts at 0\n"
       "  in subfault W 1 L 2 (group 2 of 946), the fifth value of its second header record\n"
       " 16 |  1 2 3 4 -2.5/\n"
       "    |          ^~~~\n"},
      {"a negative rupture time after a lone CR", loneCrOnFirstLine(withLine(16, " 1 2 3 4 -2.5")), oriented, 2,
       "rateA.dat:16:10: error: rupture time -2.5 s is negative: the moment-rate function starts at 0\n"
       "  in subfault W 1 L 2 (group 2 of 946), the fifth value of its second header record\n"
       " 16 |  1 2 3 4 -2.5\n"
       "    |          ^~~~\n"},
      {"a broken value", withLine(17, " 0.0 0.0 x"), oriented, 2, ""},
      {"a structure in kg/m3", canonical, with({"--depth", "30", "--structure", "s.txt"}), 2,
       "s.txt:2:9: error: density 2700 g/cm3 is not between 0.5 and 20 (give g/cm3, not kg/m3)\n"
       " 2 | 0 6 3.5 2700\n"  // tabs shown as blanks
       "   |         ^~~~\n"},
      {"a structure without depth", canonical, with({"--structure", "s.txt"}), 64,
       "slipsource: error: --structure needs each subfault's depth: give the hypocentre's --depth KM\n"
       "usage: slipsource [options] [MODEL]\ntry 'slipsource --help' for more information\n"},
      {"two rigidities", canonical, with({"--depth", "5", "--structure", "s.txt", "--rigidity", "3e10"}), 64,
       "slipsource: error: --rigidity and --structure both give the rigidity: give one\n"
       "usage: slipsource [options] [MODEL]\ntry 'slipsource --help' for more information\n"},
      {"an unknown onset", canonical, with({"--onset", "first"}), 64,
       "slipsource: error: --onset 'first': give rupture or origin\nusage: slipsource [options] [MODEL]\ntry 'slipsource --help' for more information\n"},
      {"two outputs spelled alike, neither there yet", canonical, with({"--depth", "16", "--fsp", "o.x", "--srf", "o.x"}),
       64, "slipsource: error: the outputs 'o.x' and 'o.x' are the same file\nusage: slipsource [options] [MODEL]\ntry 'slipsource --help' for more information\n"},
      {"the table over the model", canonical, with({"--mr", "rateA.dat"}), 64,
       "slipsource: error: the output 'rateA.dat' is the input 'rateA.dat'\nusage: slipsource [options] [MODEL]\ntry 'slipsource --help' for more information\n"},
      // Values in another unit than the option's, and the strike's open end.
      {"a rigidity in GPa", canonical, with({"--rigidity", "30"}), 64,
       "slipsource: error: --rigidity '30': give a rigidity from 1e8 to 5e11 Pa (in Pa: 30 GPa = 3e10)\n"
       "usage: slipsource [options] [MODEL]\ntry 'slipsource --help' for more information\n"},
      {"a depth in m", canonical, with({"--depth", "16000"}), 64,
       "slipsource: error: --depth '16000': give a depth from 0 to 800 km (in km: 16000 m = 16)\n"
       "usage: slipsource [options] [MODEL]\ntry 'slipsource --help' for more information\n"},
      {"a length in m", canonical, with({"--dx", "5000"}), 64,
       "slipsource: error: --dx '5000': give a length above 0 and at most 100 km (in km: 5000 m = 5)\n"
       "usage: slipsource [options] [MODEL]\ntry 'slipsource --help' for more information\n"},
      {"an interval in ms", canonical, with({"--dt", "500"}), 64,
       "slipsource: error: --dt '500': give an interval above 0 and at most 20 s (in s: 500 ms = 0.5)\n"
       "usage: slipsource [options] [MODEL]\ntry 'slipsource --help' for more information\n"},
      {"a strike of 360", canonical, {"--strike", "360"}, 64,
       "slipsource: error: --strike '360': give a strike from 0 up to 360 degrees\n"
       "usage: slipsource [options] [MODEL]\ntry 'slipsource --help' for more information\n"},
  };
  for (const Refused& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    dir.write("rateA.dat", c.model);
    dir.write("s.txt", "# crust\r\n0\t6 3.5\t2700\r\n");
    const ToolRun run = runSource(dir, c.args);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(dir.read("rateA.dat") == c.model);  // the model intact
    if (!c.err.empty()) {
      EXPECT_EQ(run.err, c.err);
    } else {  // a model slipreport refuses: slipcheck's error, as slipcheck says it
      const std::string check = testing::checkText(c.model).out;
      const std::size_t from = check.find("rateA.dat:17:"), to = check.rfind("\nrateA.dat: ") + 1;
      EXPECT_EQ(run.err, check.substr(from, to - from));
      EXPECT_NE(run.err.find("rateA.dat:17:"), std::string::npos) << run.err;
    }
  }
  TempDir dir;
  dir.write("rateA.dat", canonical);
  const ToolRun given = runSource(dir, oriented);
  EXPECT_EQ(given.exitCode, 0) << given.err;
  EXPECT_NE(given.out.find("strike 90.00 deg (given by --strike)\n"), std::string::npos) << given.out;
}

}  // namespace
}  // namespace slip
