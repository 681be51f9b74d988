// Whole runs over the bundled example model. tests/data/example-report.csv
// was computed from examples/rateA.dat by a separate calculation (its own
// number parsing, arithmetic and "%#.*f" formatting), not by this program.
#include <gtest/gtest.h>

#include <string>

#include "run_checks.h"

namespace slip {
namespace {

using testing::TempDir;
using testing::ToolRun;

const std::string kSource = SLIP_SOURCE_DIR;

void runExpectingSuccess(const TempDir& dir) { testing::expectQuietSuccess(testing::runTool(dir.path())); }

TEST(ReportExample, MatchesCheckedReport) {
  TempDir dir;
  dir.write("rateA.dat", testing::readFile(kSource + "/examples/rateA.dat"));
  runExpectingSuccess(dir);
  const std::string expected = testing::readFile(kSource + "/tests/data/example-report.csv");
  ASSERT_EQ(expected.size(), 89507u);
  EXPECT_TRUE(dir.read("rateA-out4.csv") == expected) << "report differs from the checked copy";
}

// A second run rewrites the same bytes; an older report, longer or shorter,
// leaves nothing of its own behind.
TEST(ReportExample, RerunsAndOlderReportsGiveTheSameBytes) {
  TempDir dir;
  dir.write("rateA.dat", testing::readFile(kSource + "/examples/rateA.dat"));
  runExpectingSuccess(dir);
  const std::string first = dir.read("rateA-out4.csv");
  ASSERT_EQ(first.size(), 89507u);

  runExpectingSuccess(dir);
  EXPECT_TRUE(dir.read("rateA-out4.csv") == first) << "second run differs";

  dir.write("rateA-out4.csv", first + std::string(250000, 'x') + "\ntail\n");
  runExpectingSuccess(dir);
  EXPECT_TRUE(dir.read("rateA-out4.csv") == first) << "a longer old report left bytes behind";

  dir.write("rateA-out4.csv", "short old report\n");
  runExpectingSuccess(dir);
  EXPECT_TRUE(dir.read("rateA-out4.csv") == first) << "a shorter old report left bytes behind";
}

}  // namespace
}  // namespace slip
