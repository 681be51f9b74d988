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
      if (st.st_uid != ::geteuid()) line += " uid " + std::to_string(st.st_uid);
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

// `shell`, when given, is a script run by sh with slipmap and its arguments as
// "$0" "$@", for redirections: '"$0" "$@" >> log.txt'.
ToolRun slipmap(const TempDir& dir, std::vector<std::string> args, bool unprivileged = false,
                const std::string& shell = "") {
  RunOptions options;
  options.tool = shell.empty() ? SLIP_MAP_PATH : "/bin/sh";
  if (!shell.empty()) args.insert(args.begin(), {"-c", shell, SLIP_MAP_PATH});
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
    std::string shell = {};                 // redirections around the run (see slipmap())
    std::string before = {}, after = {};    // what figureIn holds around the figure
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
       "slipmap: error: the output './R.csv' is the input 'R.csv'\nusage: slipmap [options] [REPORT]\ntry 'slipmap --help' for more information\n", {}, ""},
      {"a hard link to the input", [](const TempDir& d) { ::link(d.file("R.csv").c_str(), d.file("h.csv").c_str()); },
       "h.csv", 64, "slipmap: error: the output 'h.csv' is the input 'R.csv'\nusage: slipmap [options] [REPORT]\ntry 'slipmap --help' for more information\n",
       {}, ""},
      {"a symlink to the input", [](const TempDir& d) { ::symlink("R.csv", d.file("s.csv").c_str()); }, "s.csv", 64,
       "slipmap: error: the output 's.csv' is the input 'R.csv'\nusage: slipmap [options] [REPORT]\ntry 'slipmap --help' for more information\n", {}, ""},
      {"folder", [](const TempDir& d) { ::mkdir(d.file("fig.svg").c_str(), 0755); }, "fig.svg", 2,
       "slipmap: error: fig.svg: cannot write: Is a directory\n", {}, ""},
      {"folder you may not write", [](const TempDir& d) { ::mkdir(d.file("ro").c_str(), 0555); }, "ro/fig.svg", 2,
       "slipmap: error: ro/fig.svg: cannot create a temporary file beside it: Permission denied\n", {}, "", true},
      {"full device", [](const TempDir&) {}, "/dev/full", 2,
       "slipmap: error: /dev/full: cannot write: No space left on device\n", {}, ""},
      {"null device", [](const TempDir& d) { ::mknod(d.file("dev").c_str(), S_IFCHR | 0666, makedev(1, 3)); },
       root ? "dev" : "/dev/null", 0, "", {}, ""},
      // Descriptors the shell opened: written through, where they stand, never replaced.
      {"/dev/stdout appending to a log", [](const TempDir& d) { d.write("log.txt", "log\n"); }, "/dev/stdout", 0, "",
       {"-log.txt file 4 644", "log.txt file " + std::to_string(4 + figure.size()) + " 644"}, "log.txt", false,
       "\"$0\" \"$@\" >> log.txt", "log\n"},
      {"/dev/fd/1 between two lines", [](const TempDir&) {}, "/dev/fd/1", 0, "",
       {"all.txt file " + std::to_string(14 + figure.size()) + " " + fresh}, "all.txt", false,
       "{ echo HEADER; \"$0\" \"$@\"; echo FOOTER; } > all.txt", "HEADER\n", "FOOTER\n"},
      {"/proc/self/fd/2 appending to an error log", [](const TempDir& d) { d.write("err.log", "e\n"); },
       "/proc/self/fd/2", 0, "", {"-err.log file 2 644", "err.log file " + std::to_string(2 + figure.size()) + " 644"},
       "err.log", false, "\"$0\" \"$@\" 2>> err.log", "e\n"},
      {"the file standard output appends to", [](const TempDir& d) { d.write("log.txt", "log\n"); }, "log.txt", 0, "",
       {"-log.txt file 4 644", "log.txt file " + std::to_string(4 + figure.size()) + " 644"}, "log.txt", false,
       "\"$0\" \"$@\" >> log.txt", "log\n"},
      // Owners and permissions.
      {"a file you may not write, in a folder you may",
       [](const TempDir& d) { d.write("fig.svg", "old"); ::chmod(d.file("fig.svg").c_str(), 0644); }, "fig.svg",
       root ? 2 : 0, root ? "slipmap: error: fig.svg: cannot write: Permission denied (you may not write the file)\n" : "",
       root ? std::vector<std::string>{} : std::vector<std::string>{"-fig.svg file 3 644", "fig.svg file " + size + " 644"},
       root ? "" : "fig.svg", true},
      {"another user's file, replaced as root",
       [](const TempDir& d) {
         d.write("fig.svg", "old");
         ::chmod(d.file("fig.svg").c_str(), 0640);
         if (::geteuid() == 0) ::chown(d.file("fig.svg").c_str(), 65534, 65534);
       },
       "fig.svg", 0, "",
       {root ? "-fig.svg file 3 640 uid 65534" : "-fig.svg file 3 640",
        "fig.svg file " + size + (root ? " 640 uid 65534" : " 640")}, "fig.svg"},
      {"another user's link in a shared sticky folder",
       [](const TempDir& d) {
         ::mkdir(d.file("t").c_str(), 0777);
         ::chmod(d.file("t").c_str(), 01777);
         ::symlink("../v.txt", d.file("t/fig.svg").c_str());
         if (::geteuid() == 0) ::lchown(d.file("t/fig.svg").c_str(), 65534, 65534);
       },
       "t/fig.svg", root ? 2 : 0,
       root ? "slipmap: error: t/fig.svg: cannot write: a symbolic link in a shared sticky folder, owned by neither "
              "you nor the folder's owner (the system does not follow such links)\n" : "",
       root ? std::vector<std::string>{} : std::vector<std::string>{"-v.txt file 5 644", "v.txt file " + size + " 644"},
       root ? "" : "v.txt"},
      // A name the file system just allows: the temporary name is shortened to fit.
      {"a name of 250 characters", [](const TempDir&) {}, std::string(246, 'f') + ".svg", 0, "",
       {std::string(246, 'f') + ".svg file " + size + " " + fresh}, std::string(246, 'f') + ".svg"},
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

    const ToolRun run = slipmap(dir, {"R.csv", "-o", c.target}, c.unprivileged, c.shell);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(listing(dir.path()), expected);
    if (!c.figureIn.empty()) {
      EXPECT_TRUE(dir.read(c.figureIn) == c.before + figure + c.after);
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
      cli::installInterruptCleanup();  // SIGXFSZ becomes an ordinary error
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

// Every signal that ends a run, while a set of two files is written: both
// temporary files go, the old targets stay, and the run ends by the signal.
TEST(SafeOutput, SignalsWhileWriting) {
  for (int number : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGUSR1, SIGUSR2, SIGALRM, SIGXCPU}) {
    SCOPED_TRACE(number);
    TempDir dir;
    dir.write("fig.svg", "old");
    const std::set<std::string> before = listing(dir.path());
    const pid_t child = ::fork();
    if (child == 0) {
      const struct rlimit noCore = {0, 0};
      ::setrlimit(RLIMIT_CORE, &noCore);
      cli::installInterruptCleanup();
      const cli::OutputFile files[] = {{dir.file("a.svg"), "small"},
                                       {dir.file("fig.svg"), std::string(std::size_t{64} << 20, 'x')}};
      cli::writeOutputs(files);
      ::_exit(0);
    }
    bool seen = false;
    for (int wait = 0; wait < 20000 && !seen; ++wait) {
      seen = holdsTemporary(dir.path());
      if (!seen) ::usleep(500);
    }
    ::kill(child, number);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == number) << status;
    EXPECT_EQ(listing(dir.path()), before);
  }
}

const std::string kModel = testing::readFile(std::string(SLIP_SOURCE_DIR) + "/examples/rateA.dat");
const char* const kSet[] = {"P.mr", "P.fsp", "P.srf", "P.geojson", "P.kml"};

// A set of files with a failure at each file in turn (its temporary file
// cannot be made): no target changes, no temporary file stays, and the
// message names the file and every file not written.
TEST(SafeOutput, SetOfFilesFailingAtEachFile) {
  static std::string failing;
  cli::setTemporaryNameSource([](const std::string& file, unsigned attempt) {
    if (file.ends_with(failing)) return file + "/nowhere/x.tmp";
    return file + "." + std::to_string(attempt) + ".tmp";
  });
  for (const char* name : kSet) {
    SCOPED_TRACE(name);
    failing = name;
    TempDir dir;
    std::vector<cli::OutputFile> files;
    for (const char* each : kSet) {
      dir.write(each, "old");
      files.push_back({dir.file(each), std::string("new ") + each});
    }
    const std::set<std::string> before = listing(dir.path());
    const std::string problem = cli::writeOutputs(files);
    std::string rest;
    for (const char* each : kSet) rest += (rest.empty() ? "" : ", ") + dir.file(each);
    EXPECT_EQ(problem, dir.file(name) + ": cannot create a temporary file beside it: Not a directory; not written: " +
                           rest);
    EXPECT_EQ(listing(dir.path()), before);
  }
  cli::setTemporaryNameSource(nullptr);
}

ToolRun slipsource(const TempDir& dir, std::vector<std::string> args, long long fileSizeLimit = -1) {
  RunOptions options;
  options.tool = SLIP_SOURCE_PATH;
  options.args = std::move(args);
  options.fileSizeLimit = fileSizeLimit;
  return testing::runTool(dir.path(), options);
}

// slipsource --all P: a folder in the way is found before any work; a file
// too large for the limit leaves every old file; the summary still comes.
TEST(SafeOutput, SetOfFilesFromSlipsource) {
  const std::string summary = [] {
    TempDir dir;
    dir.write("rateA.dat", kModel);
    return slipsource(dir, {"--depth", "16"}).out;
  }();
  const struct {
    const char* name;
    const char* folder;     // a folder where a file would go
    long long sizeLimit;    // bytes any file may have
    std::string out, err;
  } cases[] = {
      {"P.kml a folder", "P.kml", -1, "", "slipsource: error: P.kml: cannot write: Is a directory; nothing written\n"},
      {"P.mr a folder", "P.mr", -1, "", "slipsource: error: P.mr: cannot write: Is a directory; nothing written\n"},
      {"a full disk", nullptr, 50000, summary, "slipsource: error: P.fsp: cannot write: File too large; "
                                              "not written: P.mr, P.fsp, P.srf, P.geojson, P.kml\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    dir.write("rateA.dat", kModel);
    for (const char* each : kSet) {
      if (c.folder != nullptr && std::string(each) == c.folder) {
        ::mkdir(dir.file(each).c_str(), 0755);
      } else {
        dir.write(each, "old");
      }
    }
    const std::set<std::string> before = listing(dir.path());
    const ToolRun run = slipsource(dir, {"--depth", "16", "--all", "P"}, c.sizeLimit);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(listing(dir.path()), before);
  }
}

// Two runs writing one set with different options, ten rounds: the set is
// always one run's whole set.
TEST(SafeOutput, SetsAtOnce) {
  TempDir dir;
  dir.write("rateA.dat", kModel);
  const std::string depths[] = {"16", "20"};
  std::vector<std::string> sets[2];
  for (int k = 0; k < 2; ++k) {
    ASSERT_EQ(slipsource(dir, {"--depth", depths[k], "--all", "P"}).exitCode, 0);
    for (const char* each : kSet) sets[k].push_back(dir.read(each));
  }
  for (int round = 0; round < 10; ++round) {
    std::vector<testing::RunningTool> runs;
    for (int k = 0; k < 2; ++k) {
      RunOptions options;
      options.tool = SLIP_SOURCE_PATH;
      options.args = {"--depth", depths[k], "--all", "P"};
      runs.push_back(testing::startTool(dir.path(), options));
    }
    for (auto& run : runs) {
      const ToolRun done = testing::waitTool(run);
      EXPECT_EQ(done.exitCode, 0) << done.err;
    }
    std::vector<std::string> now;
    for (const char* each : kSet) now.push_back(dir.read(each));
    EXPECT_TRUE(now == sets[0] || now == sets[1]) << "round " << round;
    EXPECT_FALSE(holdsTemporary(dir.path()));
    EXPECT_FALSE(dir.exists("P.mr.lock"));
  }
}

}  // namespace
}  // namespace slip
