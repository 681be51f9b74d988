// Whole runs of the real binary: what it prints, how it ends, what files it leaves.
#include <gtest/gtest.h>
#include <signal.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "model_text.h"
#include "run_checks.h"

namespace slip {
namespace {

using testing::RunningTool;
using testing::TempDir;
using testing::ToolRun;

const std::string kMissingModel = std::string("open: ") + std::strerror(ENOENT) +
                                  "\napparent state: unit 11 named rateA.dat\n"
                                  "lately writing direct unformatted external IO\n";

TEST(Run, SuccessPrintsNothingAndExitsZero) {
  TempDir dir;
  dir.write("rateA.dat", testing::canonicalModel());
  for (const auto& args : {std::vector<std::string>{}, std::vector<std::string>{"-h", "--version", "x"}}) {
    testing::expectQuietSuccess(testing::runTool(dir.path(), {args}));
    EXPECT_TRUE(dir.exists("rateA-out4.csv"));
  }
}

// Slip sums all 49 samples of a component: a model whose only nonzero
// samples are the 49th of each (1.2 and 1.6, the last value of a record of
// nine, %.5E as a dense model writes them) slips 0.6 and 0.8 m, 1 m in all,
// on every subfault.
TEST(Run, TheFortyNinthSampleCounts) {
  std::string zeros;
  for (int k = 1; k <= 10; ++k) zeros += " 0.00000E+00";
  std::string model;
  for (int group = 0; group < 22 * 43; ++group) {
    model += " 1.0 2.0 3.0 4.0 0.0\n 0.0 0.0 0.0 0.0 5.0\n";
    for (const char* last : {" 1.20000E+00\n skipped\n skipped\n", " 1.60000E+00\n"}) {
      for (int record = 0; record < 4; ++record) model += zeros + "\n";
      model += zeros.substr(0, 8 * 12) + last;
    }
  }
  TempDir dir;
  dir.write("rateA.dat", model);
  testing::expectQuietSuccess(testing::runTool(dir.path()));
  const std::string report = dir.read("rateA-out4.csv");
  for (const auto& [title, value] : {std::pair{" Slip (m)\n", ",   1.00000"},
                                     std::pair{" Slip of Rake = 35 degree (m)\n", ",   0.60000"},
                                     std::pair{" Slip of Rake = 125 degree (m)\n", ",   0.80000"}}) {
    std::size_t at = report.find(title);
    ASSERT_NE(at, std::string::npos) << title;
    at = report.find("W 1,", at);
    for (int iw = 1; iw <= 22; ++iw) {
      std::string row = iw < 10 ? "W " + std::to_string(iw) : "W" + std::to_string(iw);
      for (int il = 1; il <= 43; ++il) row += value;
      row += ",\n";
      ASSERT_EQ(report.substr(at, row.size()), row) << title;
      at += row.size();
    }
  }
}

// Where the system puts a core dump: true when it is a file in the working folder.
bool coresLandInTheFolder() {
  std::ifstream file("/proc/sys/kernel/core_pattern");
  std::string pattern;
  std::getline(file, pattern);
  return !pattern.empty() && pattern[0] != '|' && pattern.find('/') == std::string::npos;
}

// The abnormal end is deliberate: even with core dumps enabled it leaves no
// core file in the model's folder.
TEST(Run, MissingModelLeavesReportAlone) {
  TempDir dir;
  testing::RunOptions dumping;
  dumping.coreDumps = true;
  ToolRun run = testing::runTool(dir.path(), dumping);
  EXPECT_EQ(run.signal, SIGABRT);
  EXPECT_EQ(run.err, kMissingModel);
  EXPECT_EQ(run.out, "");
  EXPECT_FALSE(dir.exists("rateA-out4.csv"));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "a core file was left";
  EXPECT_FALSE(coresLandInTheFolder() && run.coreDumped) << "a core was dumped";

  std::string old = "an older report\nwith two records\n";
  dir.write("rateA-out4.csv", old);
  run = testing::runTool(dir.path());
  EXPECT_EQ(run.signal, SIGABRT);
  EXPECT_EQ(run.err, kMissingModel);
  EXPECT_EQ(dir.read("rateA-out4.csv"), old);
}

// A model streamed through a named pipe reads as a regular file with the
// same bytes: a writer that stops early ends the run at the end of the data
// instead of leaving it waiting (the pipe is never opened for update).
TEST(Run, ModelFromAPipeWhoseWriterStopsEarlyEndsAsACutFile) {
  const std::string cut = testing::canonicalModel().substr(0, 1000);
  TempDir plain;
  plain.write("rateA.dat", cut);
  ToolRun expected = testing::runTool(plain.path());

  TempDir piped;
  ASSERT_EQ(::mkfifo(piped.file("rateA.dat").c_str(), 0666), 0);
  RunningTool tool = testing::startTool(piped.path());
  {
    std::ofstream writer(piped.file("rateA.dat"), std::ios::binary);
    writer << cut;
  }
  ToolRun run = testing::waitTool(tool);
  EXPECT_EQ(run.signal, SIGABRT);
  EXPECT_EQ(run.signal, expected.signal);
  EXPECT_EQ(run.err, expected.err);
  EXPECT_EQ(run.err.substr(0, 17), "list in: end of f");
  EXPECT_FALSE(piped.exists("rateA-out4.csv"));
}

// A model file that is a FIFO whose writer sends nothing holds the tool in
// its first read, so signals can be sent while it runs.
class BlockedRun : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(::mkfifo(dir_.file("rateA.dat").c_str(), 0666), 0); }
  void TearDown() override {
    if (writer_ >= 0) ::close(writer_);
  }

  RunningTool startBlocked(bool ignoreInterrupt = false, bool coreDumps = false) {
    testing::RunOptions options;
    options.ignoreInterrupt = ignoreInterrupt;
    options.coreDumps = coreDumps;
    RunningTool tool = testing::startTool(dir_.path(), options);
    if (writer_ < 0) writer_ = ::open(dir_.file("rateA.dat").c_str(), O_WRONLY | O_CLOEXEC);
    waitUntilReading(tool.pid);
    return tool;
  }

  // Waits until the tool sleeps with the model file open.
  static void waitUntilReading(int pid) {
    std::string proc = "/proc/" + std::to_string(pid);
    for (int i = 0; i < 500; ++i) {
      std::error_code ignored;
      bool open = false;
      for (auto& fd : std::filesystem::directory_iterator(proc + "/fd", ignored)) {
        if (std::filesystem::read_symlink(fd.path(), ignored).filename() == "rateA.dat") open = true;
      }
      std::ifstream stat(proc + "/stat");
      std::string pidText, name, state;
      stat >> pidText >> name >> state;
      if (open && state == "S") return;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    FAIL() << "the tool never blocked on its model file";
  }

  TempDir dir_;
  int writer_ = -1;   // held open, so the tool waits for data rather than seeing its end
};

TEST_F(BlockedRun, SignalsPrintTheirWordAndEndAsTheySay) {
  struct Case {
    int signal;
    const char* word;
    int exitCode;   // -1: ends by SIGABRT
  } cases[] = {
      {SIGINT, "Interrupt\n", 1},
      {SIGTERM, "Killed\n", 1},
      {SIGFPE, "Floating Exception\n", -1},
      {SIGABRT, "IOT Trap\n", -1},
  };
  for (const Case& c : cases) {
    RunningTool tool = startBlocked(/*ignoreInterrupt=*/false, /*coreDumps=*/true);
    ASSERT_EQ(::kill(tool.pid, c.signal), 0);
    ToolRun run = testing::waitTool(tool);
    EXPECT_EQ(run.err, c.word);
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(coresLandInTheFolder() && run.coreDumped) << c.word;
    if (c.exitCode >= 0) {
      EXPECT_EQ(run.exitCode, c.exitCode) << c.word;
    } else {
      EXPECT_EQ(run.signal, SIGABRT) << c.word;
    }
    EXPECT_FALSE(dir_.exists("rateA-out4.csv")) << c.word;
  }
}

TEST_F(BlockedRun, InterruptIgnoredAtStartStaysIgnored) {
  RunningTool tool = startBlocked(/*ignoreInterrupt=*/true);
  ASSERT_EQ(::kill(tool.pid, SIGINT), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  int status = 0;
  EXPECT_EQ(::waitpid(tool.pid, &status, WNOHANG), 0) << "an ignored interrupt ended the run";
  ASSERT_EQ(::kill(tool.pid, SIGTERM), 0);
  ToolRun run = testing::waitTool(tool);
  EXPECT_EQ(run.err, "Killed\n");
  EXPECT_EQ(run.exitCode, 1);
}

}  // namespace
}  // namespace slip
