// The companions' file output: what a run does to every kind of target, that
// a failure leaves the folder as it was, and that runs at once or a signal
// never leave a mixed file or a temporary one.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "cli/files.h"
#include "tool_runner.h"

namespace slip {
namespace {

using testing::RunOptions;
using testing::TempDir;
using testing::ToolRun;

const std::string kReport = testing::readFile(std::string(SLIP_SOURCE_DIR) + "/tests/data/example-report.csv");

// One line per entry: name, kind, size (files), mode, link target.
std::set<std::string> listing(const std::string& dir) {
  std::set<std::string> lines;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string path = entry.path().string();
    struct stat st {};
    ::lstat(path.c_str(), &st);
    std::string line = entry.path().filename().string();
    char mode[8];
    std::snprintf(mode, sizeof mode, " %03o", st.st_mode & 0777);
    if (S_ISLNK(st.st_mode)) {
      line += " link -> " + std::filesystem::read_symlink(path).string();
    } else if (S_ISREG(st.st_mode)) {
      line += " file " + std::to_string(st.st_size) + mode;
    } else if (S_ISDIR(st.st_mode)) {
      line += std::string(" folder") + mode;
    } else {
      line += S_ISFIFO(st.st_mode) ? " fifo" : " device";
    }
    lines.insert(line);
  }
  return lines;
}

bool holdsTemporary(const std::string& dir) {
  for (const std::string& line : listing(dir))
    if (line.find(".tmp") != std::string::npos) return true;
  return false;
}

ToolRun slipmap(const TempDir& dir, std::vector<std::string> args, bool unprivileged = false) {
  RunOptions options;
  options.tool = SLIP_MAP_PATH;
  options.args = std::move(args);
  options.unprivileged = unprivileged;
  return testing::runTool(dir.path(), options);
}

std::string figureOf(const std::string& report, const std::string& title = "") {
  TempDir dir;
  dir.write("R.csv", report);
  std::vector<std::string> args = {"R.csv", "-o", "-"};
  if (!title.empty()) args.insert(args.begin(), {"--title", title});
  return slipmap(dir, args).out;
}

mode_t currentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

// Each case: a folder holding the report R.csv and v.txt, prepared further,
// then `slipmap R.csv -o TARGET`; the folder's listing after the run is the
// one before with `changes` applied (a line to add or, starting with '-', to remove).
TEST(SafeOutput, EveryKindOfTarget) {
  const std::string figure = figureOf(kReport);
  const std::string size = std::to_string(figure.size());
  char fresh[8];
  std::snprintf(fresh, sizeof fresh, "%03o", 0666 & ~currentUmask());
  const bool root = ::geteuid() == 0;
  struct Case {
    const char* name;
    void (*prepare)(const TempDir&);
    std::string target;
    int exitCode;
    std::string err;
    std::vector<std::string> changes;
    std::string figureIn;  // the file that must now hold the figure
    bool unprivileged = false;
  } cases[] = {
      {"missing", [](const TempDir&) {}, "fig.svg", 0, "", {"fig.svg file " + size + " " + fresh}, "fig.svg"},
      {"regular", [](const TempDir& d) { d.write("fig.svg", "old"); ::chmod(d.file("fig.svg").c_str(), 0640); },
       "fig.svg", 0, "", {"-fig.svg file 3 640", "fig.svg file " + size + " 640"}, "fig.svg"},
      {"read-only", [](const TempDir& d) { d.write("fig.svg", "old"); ::chmod(d.file("fig.svg").c_str(), 0444); },
       "fig.svg", 2, "slipmap: error: fig.svg: cannot write: Permission denied (the file is read-only)\n", {}, ""},
      {"symlink", [](const TempDir& d) { ::symlink("v.txt", d.file("l.svg").c_str()); }, "l.svg", 0, "",
       {"-v.txt file 5 644", "v.txt file " + size + " 644"}, "v.txt"},
      {"dangling symlink", [](const TempDir& d) { ::symlink("gone.svg", d.file("l.svg").c_str()); }, "l.svg", 2,
       "slipmap: error: l.svg: cannot write: a symbolic link to nothing\n", {}, ""},
      {"link planted at TARGET.tmp", [](const TempDir& d) { ::symlink("v.txt", d.file("fig.svg.tmp").c_str()); },
       "fig.svg", 0, "", {"fig.svg file " + size + " " + fresh}, "fig.svg"},
      {"the input by another spelling", [](const TempDir&) {}, "./R.csv", 64,
       "slipmap: error: the output './R.csv' is the input 'R.csv'\nusage: slipmap [options] [REPORT]\n", {}, ""},
      {"a hard link to the input", [](const TempDir& d) { ::link(d.file("R.csv").c_str(), d.file("h.csv").c_str()); },
       "h.csv", 64, "slipmap: error: the output 'h.csv' is the input 'R.csv'\nusage: slipmap [options] [REPORT]\n",
       {}, ""},
      {"a symlink to the input", [](const TempDir& d) { ::symlink("R.csv", d.file("s.csv").c_str()); }, "s.csv", 64,
       "slipmap: error: the output 's.csv' is the input 'R.csv'\nusage: slipmap [options] [REPORT]\n", {}, ""},
      {"folder", [](const TempDir& d) { ::mkdir(d.file("fig.svg").c_str(), 0755); }, "fig.svg", 2,
       "slipmap: error: fig.svg: cannot write: Is a directory\n", {}, ""},
      {"folder you may not write", [](const TempDir& d) { ::mkdir(d.file("ro").c_str(), 0555); }, "ro/fig.svg", 2,
       "slipmap: error: ro/fig.svg: cannot create a temporary file beside it: Permission denied\n", {}, "", true},
      {"full device", [](const TempDir&) {}, "/dev/full", 2,
       "slipmap: error: /dev/full: cannot write: No space left on device\n", {}, ""},
      {"null device", [](const TempDir& d) { ::mknod(d.file("dev").c_str(), S_IFCHR | 0666, makedev(1, 3)); },
       root ? "dev" : "/dev/null", 0, "", {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    dir.write("R.csv", kReport);
    dir.write("v.txt", "still");
    c.prepare(dir);
    std::set<std::string> expected = listing(dir.path());
    for (const std::string& change : c.changes) {
      if (change[0] == '-') {
        ASSERT_EQ(expected.erase(change.substr(1)), 1u) << change;
      } else {
        expected.insert(change);
      }
    }

    const ToolRun run = slipmap(dir, {"R.csv", "-o", c.target}, c.unprivileged);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(listing(dir.path()), expected);
    if (!c.figureIn.empty()) {
      EXPECT_TRUE(dir.read(c.figureIn) == figure);
    }
  }
}

// A FIFO with a reader gets the figure, and stays a FIFO.
TEST(SafeOutput, PipeWithReader) {
  TempDir dir;
  dir.write("R.csv", kReport);
  ASSERT_EQ(::mkfifo(dir.file("p").c_str(), 0644), 0);
  std::string received;
  std::thread reader([&] { received = testing::readFile(dir.file("p")); });
  const ToolRun run = slipmap(dir, {"R.csv", "-o", "p"});
  reader.join();
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(received == figureOf(kReport));
  EXPECT_EQ(listing(dir.path()), (std::set<std::string>{"R.csv file " + std::to_string(kReport.size()) + " 644", "p fifo"}));
}

std::string plantedName(const std::string& target, unsigned attempt) {
  return target + ".planted" + std::to_string(attempt);
}

// The run steps around whatever already holds the name it would pick, without
// opening it: a file, or a link to a file elsewhere.
TEST(SafeOutput, StepsAroundPlantedNames) {
  TempDir dir;
  dir.write("v.txt", "still");
  dir.write("fig.svg.planted0", "planted");
  ASSERT_EQ(::symlink("v.txt", dir.file("fig.svg.planted1").c_str()), 0);
  cli::setTemporaryNameSource(plantedName);
  const std::string problem = cli::writeOutput(dir.file("fig.svg"), "figure");
  cli::setTemporaryNameSource(nullptr);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(dir.read("fig.svg"), "figure");
  EXPECT_EQ(dir.read("fig.svg.planted0"), "planted");
  EXPECT_EQ(dir.read("v.txt"), "still");
  EXPECT_FALSE(dir.exists("fig.svg.planted2"));
}

// Every failure after the temporary file exists removes it: a rename that
// fails, a write that fails. The folder is as it was.
TEST(SafeOutput, FailuresLeaveTheFolderAsItWas) {
  {
    // The target turns into a folder between the look and the rename.
    TempDir dir;
    dir.write("fig.svg", "old");
    static std::string target;
    target = dir.file("fig.svg");
    cli::setTemporaryNameSource([](const std::string& file, unsigned) {
      ::unlink(target.c_str());
      ::mkdir(target.c_str(), 0755);
      testing::writeFile(target + "/inside", "x");
      return file + ".t";
    });
    const std::string problem = cli::writeOutput(target, "figure");
    cli::setTemporaryNameSource(nullptr);
    EXPECT_NE(problem.find("cannot replace it"), std::string::npos) << problem;
    EXPECT_FALSE(dir.exists("fig.svg.t"));
  }
  {
    // A write past the file-size limit fails (EFBIG) in a child process.
    TempDir dir;
    dir.write("fig.svg", "old");
    const std::set<std::string> before = listing(dir.path());
    const pid_t child = ::fork();
    if (child == 0) {
      ::signal(SIGXFSZ, SIG_IGN);
      struct rlimit limit = {1000, 1000};
      ::setrlimit(RLIMIT_FSIZE, &limit);
      const std::string problem = cli::writeOutput(dir.file("fig.svg"), std::string(5000, 'x'));
      ::_exit(problem.find("cannot write: File too large") != std::string::npos ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(listing(dir.path()), before);
  }
}

// Eight runs at once on one target, ten rounds: every run succeeds and the
// file is always one run's figure, whole.
TEST(SafeOutput, RunsAtOnce) {
  TempDir dir;
  dir.write("R.csv", kReport);
  std::set<std::string> figures;
  for (int k = 0; k < 8; ++k) figures.insert(figureOf(kReport, "run " + std::to_string(k)));
  for (int round = 0; round < 10; ++round) {
    std::vector<testing::RunningTool> runs;
    for (int k = 0; k < 8; ++k) {
      RunOptions options;
      options.tool = SLIP_MAP_PATH;
      options.args = {"--title", "run " + std::to_string(k), "R.csv", "-o", "fig.svg"};
      runs.push_back(testing::startTool(dir.path(), options));
    }
    for (auto& run : runs) {
      const ToolRun done = testing::waitTool(run);
      EXPECT_EQ(done.exitCode, 0) << done.err;
    }
    EXPECT_EQ(figures.count(dir.read("fig.svg")), 1u) << "round " << round;
    EXPECT_FALSE(holdsTemporary(dir.path()));
  }
}

// SIGTERM while a large file is written: the temporary file goes, the old
// target stays, and the run ends by the signal.
TEST(SafeOutput, TerminatedWhileWriting) {
  TempDir dir;
  dir.write("fig.svg", "old");
  const std::set<std::string> before = listing(dir.path());
  const pid_t child = ::fork();
  if (child == 0) {
    cli::installInterruptCleanup();
    cli::writeOutput(dir.file("fig.svg"), std::string(std::size_t{200} << 20, 'x'));
    ::_exit(0);
  }
  bool seen = false;
  for (int wait = 0; wait < 20000 && !seen; ++wait) {
    seen = holdsTemporary(dir.path());
    if (!seen) ::usleep(500);
  }
  ::kill(child, SIGTERM);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(seen);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_EQ(listing(dir.path()), before);
}

}  // namespace
}  // namespace slip
