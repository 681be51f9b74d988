// Every companion on a model slipcheck warns of, and slipmap on a report
// that is not its model's: the warnings that bear on what each computes, on
// standard error, and status 1 once the work is done. POSIX only: whole runs.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tool_runner.h"

namespace slip {
namespace {

using testing::TempDir;
using testing::ToolRun;

const std::string kModel = testing::readFile(std::string(SLIP_SOURCE_DIR) + "/examples/rateA.dat");

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

std::string edited(std::string model, const std::string& from, const std::string& to) {
  if (from.empty()) return model + to;
  const std::size_t at = model.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? model : model.replace(at, from.size(), to);
}

TEST(CompanionModel, WarningsAndStaleReports) {
  const std::string stale =
      "rateA-out4.csv: warning: the report's slip is not the slip rateA.dat composes: at W 6 L17 the report has "
      "4.40625 and the model 4.52618";
  const struct {
    const char* what;
    std::string from, to;  // the edit of the example model (from empty: `to` is appended)
    int reportAge;         // 0: the report is the edited model's; -1, +1: the clean model's, older or newer
    std::string warning;   // the first line slipsource says ("-": none) and slipmap says
    std::string mapWarning;  // when slipmap's differs
    int check, source, map;  // exit statuses
  } cases[] = {
      {"clean", "", "", 0, "", "", 0, 0, 0},
      {"decimal comma", " 1.25252 ", " 1,25252 ", 0,
       "rateA.dat:3237:39: warning: decimal comma: \"1,25252\" is read as two values, 1 (value 5) and 25252 "
       "(value 6), so the record holds more than the 10 values its read takes and \"0.0\" is ignored",
       "", 1, 1, 1},
      {"entries run together", " 1.25252 1.15616E+00", " 1.252521.15616E+00", 0,
       "rateA.dat:3237:46: warning: entries run together: \"1.252521.15616E+00\" is read as 1.252521 (value 5) "
       "and 0.15616 (value 6)",
       "", 1, 1, 1},
      {"text after the last record", "", "end of model\n", 0,
       "rateA.dat:13245:1: warning: the file goes on after the last record a run reads: from line 13245 on, nothing "
       "is read",
       "", 1, 1, 1},
      {"negative 35-degree slip", " 0.0 3.13130e-01 0.62626 9.39390D-01 1.25252", " 0.0 -3 -3 -3 -3", 0, "",
       "rateA.dat:3235:1: warning: 35-degree slip -4.62709 is negative: the report's rake -0.35865, 35 + "
       "atan(s125/s35), names the opposite direction; the slip's own rake is 179.64135, 35 + atan2(s125, s35)",
       1, 0, 1},
      {"report older than the edited model", " 1.25252 ", " 1.60640 ", -1, "", stale, 0, 0, 1},
      {"report newer than the edited model", " 1.25252 ", " 1.60640 ", +1, "", stale, 0, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string model = edited(kModel, c.from, c.to);
    dir.write("rateA.dat", c.reportAge == 0 ? model : kModel);
    ASSERT_EQ(testing::runTool(dir.path()).exitCode, 0);
    if (c.reportAge != 0) {
      dir.write("rateA.dat", model);
      namespace fs = std::filesystem;
      const auto now = fs::file_time_type::clock::now();
      fs::last_write_time(dir.file("rateA.dat"), now);
      fs::last_write_time(dir.file("rateA-out4.csv"), now + c.reportAge * std::chrono::hours(1));
    }
    const ToolRun check = testing::runProgram(dir.path(), SLIP_CHECK_PATH);
    const ToolRun source = testing::runProgram(dir.path(), SLIP_SOURCE_PATH);
    const ToolRun map = testing::runProgram(dir.path(), SLIP_MAP_PATH);
    EXPECT_EQ(check.exitCode, c.check) << check.out;
    EXPECT_EQ(source.exitCode, c.source) << source.err;
    EXPECT_EQ(map.exitCode, c.map) << map.err;
    EXPECT_EQ(firstLine(source.err), c.warning);
    EXPECT_EQ(firstLine(map.err), c.mapWarning.empty() ? c.warning : c.mapWarning);
    EXPECT_NE(source.out.find("\nMw "), std::string::npos);  // the work is done all the same
    const std::string svg = dir.read("rateA-out4.svg");
    EXPECT_EQ(svg.find("Moment rate (N m/s)") != std::string::npos, c.reportAge == 0);
    if (c.reportAge != 0) {
      EXPECT_NE(map.err.find(c.reportAge < 0 ? "the report looks older than the model" : "the report looks newer"),
                std::string::npos) << map.err;
      EXPECT_NE(svg.find("Moment rate and fault outline of rateA.dat left out: its slip differs from the report's at "
                         "W 6 L17; run slipreport again"), std::string::npos);
      // An explicit --model gets the same check.
      EXPECT_EQ(firstLine(testing::runProgram(dir.path(), SLIP_MAP_PATH, {"--model", "rateA.dat"}).err), stale);
    }
  }
}

// The model is read once: a fault in a model streamed through a named pipe
// is placed at its line, as in a file, and the run does not wait for a
// second reading that no writer would serve.
TEST(CompanionModel, ModelThroughANamedPipeIsReadOnce) {
  const std::string report = testing::readFile(std::string(SLIP_SOURCE_DIR) + "/tests/data/example-report.csv");
  const struct {
    std::string program;
    std::vector<std::string> args;
  } cases[] = {{SLIP_CHECK_PATH, {}}, {SLIP_SOURCE_PATH, {}}, {SLIP_MAP_PATH, {"--model", "rateA.dat"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.program);
    TempDir dir;
    dir.write("rateA-out4.csv", report);
    ASSERT_EQ(::mkfifo(dir.file("rateA.dat").c_str(), 0666), 0);
    testing::RunOptions options;
    options.tool = c.program;
    options.args = c.args;
    testing::RunningTool tool = testing::startTool(dir.path(), options);
    {
      std::ofstream writer(dir.file("rateA.dat"), std::ios::binary);
      writer << kModel.substr(0, kModel.size() / 2);
    }
    const ToolRun run = testing::waitTool(tool);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(firstLine(run.out + run.err), "rateA.dat:6560:46: error: read start: end of file");
  }
}

}  // namespace
}  // namespace slip

#endif  // _WIN32
