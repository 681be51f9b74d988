// Many whole runs over models from the example generator with other seeds:
// every run completes silently, and a model gives the same bytes whether its
// report is written into a clean folder, over another model's report, or
// again over its own.
//
// POSIX only: the tool is started with fork and exec.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "run_checks.h"

namespace slip {
namespace {

using testing::TempDir;
using testing::ToolRun;

void runSilently(const TempDir& dir) { testing::expectQuietSuccess(testing::runTool(dir.path())); }

TEST(Soak, GeneratedModelsGiveTheSameReportEveryTime) {
  constexpr int kModels = 16;   // three runs each
  TempDir shared;               // each model's report is written over the last one's
  std::string previous;
  for (int k = 0; k < kModels; ++k) {
    const long long seed = 1000003LL * (k + 2);
    SCOPED_TRACE("make_model " + std::to_string(seed));
    const std::string command =
        std::string("'") + SLIP_MAKE_MODEL_PATH + "' " + std::to_string(seed) + " '" + shared.file("rateA.dat") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string model = shared.read("rateA.dat");

    runSilently(shared);
    const std::string report = shared.read("rateA-out4.csv");
    ASSERT_EQ(report.size(), 89507u);
    EXPECT_FALSE(report == previous) << "two seeds gave the same report";

    TempDir clean;
    clean.write("rateA.dat", model);
    runSilently(clean);
    EXPECT_TRUE(clean.read("rateA-out4.csv") == report) << "a clean folder gives other bytes";

    runSilently(shared);
    EXPECT_TRUE(shared.read("rateA-out4.csv") == report) << "a second run gives other bytes";
    EXPECT_TRUE(shared.read("rateA.dat") == model) << "the model file changed";
    previous = report;
  }
}

}  // namespace
}  // namespace slip

#endif  // _WIN32
