// Whole runs of the real tool against faults of its two files and extreme
// values: the exact standard error, how the run ends, and the bytes (or the
// kind of file) left at "rateA.dat" and "rateA-out4.csv" afterwards.
//
// What must hold after every run:
//  - the model file is never changed;
//  - a run that stops before the report is opened leaves an existing report
//    as it was and creates none;
//  - a run that stops while the report is written leaves a beginning of the
//    full report (after a failed write, exactly the whole records completed)
//    and nothing of an older file;
//  - no failure ends with status 0.
// The full report of a model is what the tool writes for it in a clean folder.
//
// POSIX only: the tool is started with fork and exec, as another user, under
// a file-size limit, with FIFOs and devices for files.
#ifndef _WIN32

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "model_text.h"
#include "run_checks.h"

namespace slip {
namespace {

using testing::RunOptions;
using testing::RunningTool;
using testing::TempDir;
using testing::ToolRun;

const char kModel[] = "rateA.dat";
const char kReport[] = "rateA-out4.csv";

// An older report that is no beginning of any new one, longer than a full report.
std::string olderReport() {
  std::string old;
  while (old.size() < 120000) old += "an older report, record " + std::to_string(old.size()) + "\n";
  return old;
}

// ---- expected diagnostics ---------------------------------------------------

std::string errorText(int error) { return std::strerror(error); }

std::string lately(bool reading) {
  return std::string("lately ") + (reading ? "reading" : "writing") + " sequential formatted external IO\n";
}

// The model file could not be opened: nothing has been read or written yet.
std::string modelOpenFailure(int error) {
  return "open: " + errorText(error) +
         "\napparent state: unit 11 named rateA.dat\nlately writing direct unformatted external IO\n";
}

std::string modelReadFailure(const std::string& firstLine) {
  return firstLine + "\napparent state: unit 11 named rateA.dat\nlast format: list io\n" + lately(true);
}

std::string reportFailure(const std::string& firstLine, const char* format, bool reading) {
  std::string text = firstLine + "\napparent state: unit 12 named rateA-out4.csv\n";
  if (format != nullptr) text += std::string("last format: ") + format + "\n";
  return text + lately(reading);
}

// A write of the report fails at a record write, while some record's
// statement is under way, or at the final close, after the last row's
// statement completed. Which record's statement that is depends on how much
// output the tool gathers before writing; it is one of these four.
std::vector<std::string> reportWriteFailures(int error) {
  const char* formats[] = {"list io", "(\x02W/L\x02,100(\x02,L\x02,I2))", "(\x02W\x02,I2,100(\x02,\x02,F10.5))",
                           "(\x02W\x02,I2,100(\x02,\x02,F12.7))"};
  std::vector<std::string> texts;
  for (const char* format : formats) texts.push_back(reportFailure("write: " + errorText(error), format, false));
  texts.push_back(reportFailure("close: " + errorText(error), nullptr, false));
  return texts;
}

// ---- files --------------------------------------------------------------------

// What a path holds: its kind, permission bits and bytes, link target or entries.
std::string snapshot(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return "missing";
  const std::string mode = std::to_string(st.st_mode & 07777);
  if (S_ISLNK(st.st_mode)) return "link to " + std::filesystem::read_symlink(path).string();
  if (S_ISFIFO(st.st_mode)) return "fifo " + mode;
  if (S_ISDIR(st.st_mode)) {
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(path)) entries.push_back(snapshot(entry.path()));
    std::sort(entries.begin(), entries.end());
    std::string text = "folder " + mode;
    for (const auto& entry : entries) text += " [" + entry + "]";
    return text;
  }
  const std::string bytes = testing::readFile(path);  // the tests run as root: any file is readable
  return "file " + mode + ", " + std::to_string(bytes.size()) + " bytes, hash " +
         std::to_string(std::hash<std::string>{}(bytes));
}

// The report the tool writes for `model` in a clean folder, run once per model.
const std::string& fullReport(const std::string& model) {
  static std::map<std::string, std::string> reports;
  auto found = reports.find(model);
  if (found != reports.end()) return found->second;
  TempDir dir;
  dir.write(kModel, model);
  const ToolRun run = testing::runTool(dir.path());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  return reports[model] = dir.read(kReport);
}

const std::string& canonical() {
  static const std::string model = testing::canonicalModel();
  return model;
}

// Offset of record `record` (1..14) of subfault group `group` (1..946) in a
// model whose records are one line each, the canonical one by default.
std::size_t recordStart(int group, int record, const std::string& text = canonical()) {
  std::size_t at = 0;
  for (int line = 1; line < 14 * (group - 1) + record; ++line) at = text.find('\n', at) + 1;
  return at;
}

// The canonical model with one record replaced (`line` without its line feed).
std::string withRecord(std::string model, int group, int record, const std::string& line) {
  const std::size_t start = recordStart(group, record, model);
  model.replace(start, model.find('\n', start) - start, line);
  return model;
}

void expectAbnormalEnd(const ToolRun& run) {
  EXPECT_EQ(run.signal, SIGABRT);
  EXPECT_EQ(run.exitCode, -1);
  EXPECT_EQ(run.out, "");
}

bool isBeginningOf(const std::string& part, const std::string& whole) {
  return part.size() <= whole.size() && whole.compare(0, part.size(), part) == 0;
}

// Runs a failure that comes before the report is opened twice, with no report
// and over an older one: both must be left as they were, and the model too.
void expectStopBeforeReport(const std::function<void(const TempDir&)>& prepare, const std::string& expectedErr,
                            bool unprivileged = false) {
  for (bool withOlder : {false, true}) {
    SCOPED_TRACE(withOlder ? "over an older report" : "no report");
    TempDir dir;
    prepare(dir);
    if (withOlder) dir.write(kReport, olderReport());
    const std::string model = snapshot(dir.file(kModel));
    const std::string report = snapshot(dir.file(kReport));
    RunOptions options;
    options.unprivileged = unprivileged;
    const ToolRun run = testing::runTool(dir.path(), options);
    expectAbnormalEnd(run);
    EXPECT_EQ(run.err, expectedErr);
    EXPECT_EQ(snapshot(dir.file(kModel)), model) << "the model file changed";
    EXPECT_EQ(snapshot(dir.file(kReport)), report) << "the report was touched before it was opened";
  }
}

// ---- the model file -------------------------------------------------------------

TEST(FaultMatrix, ModelFileThatCannotBeRead) {
  auto model = [](mode_t mode) {
    return [mode](const TempDir& dir) {
      dir.write(kModel, canonical());
      ASSERT_EQ(::chmod(dir.file(kModel).c_str(), mode), 0);
    };
  };
  struct Case {
    const char* what;
    std::function<void(const TempDir&)> prepare;
    bool unprivileged;
    std::string err;
  } cases[] = {
      {"missing", [](const TempDir&) {}, false, modelOpenFailure(ENOENT)},
      {"a link to nowhere",
       [](const TempDir& dir) { ASSERT_EQ(::symlink("nowhere.dat", dir.file(kModel).c_str()), 0); }, false,
       modelOpenFailure(ENOENT)},
      {"a folder",
       [](const TempDir& dir) {
         ASSERT_EQ(::mkdir(dir.file(kModel).c_str(), 0755), 0);
         dir.write(std::string(kModel) + "/inside", "kept\n");
       },
       false, modelReadFailure("list in: " + errorText(EISDIR))},
      {"a read error (the reading process's own memory, from address 0)",
       [](const TempDir& dir) { ASSERT_EQ(::symlink("/proc/self/mem", dir.file(kModel).c_str()), 0); }, false,
       modelReadFailure("list in: " + errorText(EIO))},
      {"no permission at all", model(0000), true, modelOpenFailure(EACCES)},
      // The tool may write the file but not read it: it must fail without
      // creating over it.
      {"write permission only", model(0222), true, modelOpenFailure(EACCES)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    expectStopBeforeReport(c.prepare, c.err, c.unprivileged);
  }
}

// Where a model cut short stops the run: "list in" when a value read meets the
// end, "read start" when the end was met by the request before (a value read
// whose last value ended the file, or a record skip).
TEST(FaultMatrix, ModelCutShort) {
  const std::string listIn = modelReadFailure("list in: end of file");
  const std::string readStart = modelReadFailure("read start: end of file");
  const std::size_t size = canonical().size();
  struct Case {
    const char* what;
    std::size_t cut;   // bytes kept
    std::string err;   // empty: the run completes
  } cases[] = {
      {"empty", 0, listIn},
      {"inside the first value", recordStart(1, 1) + 2, listIn},
      {"first record, no line feed", recordStart(1, 2) - 1, readStart},
      {"first record with its line feed", recordStart(1, 2), listIn},
      {"inside a sample value", recordStart(500, 4) + 4, listIn},
      {"last 35-degree record, no line feed", recordStart(500, 8) - 1, readStart},
      {"before the skipped records", recordStart(500, 8), readStart},
      {"inside the first skipped record", recordStart(500, 8) + 5, readStart},
      {"between the skipped records", recordStart(500, 9), readStart},
      {"inside the second skipped record", recordStart(500, 9) + 3, readStart},
      {"after the skipped records", recordStart(500, 10), listIn},
      {"at a group's end", recordStart(501, 1), listIn},
      {"inside the last record", recordStart(946, 14) + 10, listIn},
      {"all but the last line feed", size - 1, ""},
      {"last value shortened, no line feed", size - 2, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.what) + ", " + std::to_string(c.cut) + " bytes");
    const std::string model = canonical().substr(0, c.cut);
    if (!c.err.empty()) {
      expectStopBeforeReport([&model](const TempDir& dir) { dir.write(kModel, model); }, c.err);
      continue;
    }
    TempDir dir;
    dir.write(kModel, model);
    testing::expectQuietSuccess(testing::runTool(dir.path()));
    EXPECT_TRUE(dir.read(kReport) == fullReport(canonical())) << "a final line feed changed the report";
    EXPECT_EQ(dir.read(kModel), model);
  }
}

TEST(FaultMatrix, MalformedModelValue) {
  struct Case {
    const char* line;
    const char* firstLine;
  } cases[] = {
      {" x 0 0 0 0 0 0 0 0 0", "invalid number: incomprehensible list input"},
      {" 1E 0 0 0 0 0 0 0 0 0", "exponent field: incomprehensible list input"},
      {" 1 2 3 4 5 6 7 8 9 1D123456789", "exponent field: incomprehensible list input"},
      {" 0*1 0 0 0 0 0 0 0 0 0", "bad repetition count: incomprehensible list input"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const std::string model = withRecord(canonical(), 300, 3, c.line);
    expectStopBeforeReport([&model](const TempDir& dir) { dir.write(kModel, model); },
                           modelReadFailure(c.firstLine));
  }
}

// ---- the report file ------------------------------------------------------------

TEST(FaultMatrix, ReportFileKinds) {
  const std::string model = testing::readFile(std::string(SLIP_SOURCE_DIR) + "/examples/rateA.dat");
  const std::string& full = fullReport(model);
  ASSERT_EQ(full.size(), 89507u);
  auto report = [](const std::string& bytes, mode_t mode) {
    return [bytes, mode](const std::string& folder) {
      testing::writeFile(folder + "/" + kReport, bytes);
      ASSERT_EQ(::chmod((folder + "/" + kReport).c_str(), mode), 0);
    };
  };
  auto locked = [](const std::string& folder) { ASSERT_EQ(::chmod(folder.c_str(), 0555), 0); };
  const std::string cantWrite = reportFailure("list output start: can't write file", "list io", false);

  struct Case {
    const char* what;
    std::vector<std::function<void(const std::string&)>> prepare;   // given the run's folder
    bool unprivileged;
    std::vector<std::string> errs;   // empty: the run completes with the full report
  } cases[] = {
      {"missing", {}, false, {}},
      {"longer than the report", {report(olderReport(), 0644)}, false, {}},
      {"shorter than the report", {report("short\n", 0644)}, false, {}},
      {"a beginning of the same report, cut inside a record", {report(full.substr(0, 50000), 0644)}, false, {}},
      {"write permission only", {report(olderReport(), 0222)}, true, {}},
      {"writable in a folder the tool may not write", {report(olderReport(), 0666), locked}, true, {}},
      {"read-only", {report(olderReport(), 0444)}, true, {cantWrite}},
      {"a folder",
       {[](const std::string& folder) {
         ASSERT_EQ(::mkdir((folder + "/" + kReport).c_str(), 0777), 0);
         testing::writeFile(folder + "/" + kReport + "/inside", "kept\n");
       }},
       false,
       {cantWrite}},
      {"missing in a folder the tool may not write", {locked}, true,
       {reportFailure("open: " + errorText(EACCES), "list io", true)}},
      // The model itself, by another name: refused at the open, as a report
      // that cannot be opened is, and the model keeps every byte.
      {"a symbolic link to the model",
       {[](const std::string& folder) { ASSERT_EQ(::symlink(kModel, (folder + "/" + kReport).c_str()), 0); }},
       false,
       {reportFailure("open: " + errorText(ETXTBSY), "list io", true)}},
      {"a hard link to the model",
       {[](const std::string& folder) {
         ASSERT_EQ(::link((folder + "/" + kModel).c_str(), (folder + "/" + kReport).c_str()), 0);
       }},
       false,
       {reportFailure("open: " + errorText(ETXTBSY), "list io", true)}},
      {"a link to a full device",
       {[](const std::string& folder) { ASSERT_EQ(::symlink("/dev/full", (folder + "/" + kReport).c_str()), 0); }},
       false,
       reportWriteFailures(ENOSPC)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string folder = dir.file("run");
    ASSERT_EQ(::mkdir(folder.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    testing::writeFile(folder + "/" + kModel, model);
    for (const auto& step : c.prepare) step(folder);
    const std::string before = snapshot(folder + "/" + kReport);
    RunOptions options;
    options.unprivileged = c.unprivileged;
    const ToolRun run = testing::runTool(folder, options);

    EXPECT_EQ(testing::readFile(folder + "/" + kModel), model) << "the model file changed";
    if (c.errs.empty()) {
      testing::expectQuietSuccess(run);
      EXPECT_TRUE(testing::readFile(folder + "/" + kReport) == full) << "not the full report";
      continue;
    }
    expectAbnormalEnd(run);
    EXPECT_THAT(run.err, ::testing::AnyOfArray(c.errs));
    // Nothing of these could be written: each is left as it was (the device
    // link included; a missing report is not created).
    EXPECT_EQ(snapshot(folder + "/" + kReport), before);
  }
}

// A write that fails part-way (here at a file-size limit) leaves exactly the
// whole records that reached the file, and nothing of an older report.
TEST(FaultMatrix, FailedWriteKeepsWholeRecords) {
  const std::string& full = fullReport(canonical());
  const std::vector<std::string> errs = reportWriteFailures(EFBIG);
  for (long long limit : {0LL, 1LL, 9LL, 10LL, 187LL, 4096LL, 65535LL, 65536LL, 70001LL, 89506LL}) {
    for (bool withOlder : {false, true}) {
      SCOPED_TRACE("limit " + std::to_string(limit) + (withOlder ? ", over an older report" : ""));
      TempDir dir;
      dir.write(kModel, canonical());
      if (withOlder) dir.write(kReport, olderReport());
      RunOptions options;
      options.fileSizeLimit = limit;
      const ToolRun run = testing::runTool(dir.path(), options);
      expectAbnormalEnd(run);
      EXPECT_THAT(run.err, ::testing::AnyOfArray(errs));
      const std::size_t whole = full.rfind('\n', static_cast<std::size_t>(limit) - 1) + 1;  // 0 when none
      EXPECT_TRUE(dir.read(kReport) == full.substr(0, limit == 0 ? 0 : whole))
          << "holds " << dir.read(kReport).size() << " bytes, not the " << whole << " of the whole records";
      EXPECT_EQ(dir.read(kModel), canonical());
    }
  }
}

// ---- signals while the report is written ------------------------------------

// Reads what is available from the non-blocking `fd` into `got`, waiting up to
// 10 s for at least `want` bytes in all.
void readAtLeast(int fd, std::string& got, std::size_t want) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  char buffer[4096];
  while (got.size() < want && std::chrono::steady_clock::now() < deadline) {
    const std::size_t room = std::min(sizeof buffer, want - got.size());
    const ssize_t n = ::read(fd, buffer, room);
    if (n > 0) {
      got.append(buffer, static_cast<std::size_t>(n));
    } else {
      // No data yet, or no writer yet (before the tool opens the report).
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  ASSERT_GE(got.size(), want) << "the tool wrote too little";
}

// Reads what is left in the pipe once its writer has ended.
void drainAfterWriterEnded(int fd, std::string& got) {
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0) got.append(buffer, static_cast<std::size_t>(n));
}

// Waits until bytes wait in the pipe behind `fd`: its writer has written
// past what was read, so it is within the report.
void waitUntilQueued(int fd) {
  for (int i = 0; i < 10000; ++i) {
    int queued = 0;
    if (::ioctl(fd, FIONREAD, &queued) == 0 && queued > 0) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  FAIL() << "the tool stopped writing the report";
}

// The report is a FIFO read by the test, which stops reading at several
// points. Its pipe holds one page, so the tool, which has more than that left
// to write, is held mid-report when the signal comes. What the tool wrote
// before its end is a beginning of the full report.
TEST(FaultMatrix, SignalsWhileTheReportIsAFifo) {
  const std::string& full = fullReport(canonical());
  struct Case {
    int signal;   // 0: no signal, the test reads the whole report
    const char* err;
    std::size_t readFirst;
  } cases[] = {
      {SIGINT, "Interrupt\n", 0},     {SIGTERM, "Killed\n", 0},      {SIGINT, "Interrupt\n", 4096},
      {SIGTERM, "Killed\n", 30000},   {SIGINT, "Interrupt\n", 65536}, {SIGTERM, "Killed\n", 80000},
      {0, "", full.size()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.signal == 0 ? "no signal" : c.err) + " after " + std::to_string(c.readFirst) +
                 " bytes");
    TempDir dir;
    dir.write(kModel, canonical());
    ASSERT_EQ(::mkfifo(dir.file(kReport).c_str(), 0666), 0);
    const int fd = ::open(dir.file(kReport).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    const int capacity = ::fcntl(fd, F_SETPIPE_SZ, 4096);
    ASSERT_GT(capacity, 0);

    RunningTool tool = testing::startTool(dir.path());
    std::string got;
    readAtLeast(fd, got, c.readFirst);
    if (c.signal != 0) {
      waitUntilQueued(fd);
      ASSERT_LE(c.readFirst + static_cast<std::size_t>(capacity), full.size());
      ASSERT_EQ(::kill(tool.pid, c.signal), 0);
    }
    const ToolRun run = testing::waitTool(tool);
    drainAfterWriterEnded(fd, got);
    ::close(fd);

    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.exitCode, c.signal == 0 ? 0 : 1);
    EXPECT_TRUE(isBeginningOf(got, full)) << "what the tool wrote is no beginning of the report";
    if (c.signal != 0) {
      EXPECT_LT(got.size(), full.size()) << "the signal came after the whole report";
    } else {
      EXPECT_EQ(got.size(), full.size());
    }
    EXPECT_EQ(dir.read(kModel), canonical());
  }
}

// True once the tool has installed its own handlers for the interrupt and the
// termination request (they are installed together with the other two).
bool handlersInstalled(int pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("SigCgt:", 0) != 0) continue;
    const unsigned long long caught = std::stoull(line.substr(7), nullptr, 16);
    const unsigned long long wanted = 1ULL << (SIGINT - 1) | 1ULL << (SIGTERM - 1);
    return (caught & wanted) == wanted;
  }
  return false;
}

// Starts the tool in `dir` and waits until its handlers are in place.
RunningTool startWithHandlers(const TempDir& dir, const RunOptions& options = {}) {
  RunningTool tool = testing::startTool(dir.path(), options);
  for (int wait = 0; wait < 50000 && !handlersInstalled(tool.pid); ++wait) {
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
  return tool;
}

// How long a run lasts from its handlers on, so that signals can be spread
// over it on any machine and in any build.
std::chrono::microseconds runLength() {
  TempDir dir;
  dir.write(kModel, canonical());
  RunningTool tool = startWithHandlers(dir);
  const auto start = std::chrono::steady_clock::now();
  testing::expectQuietSuccess(testing::waitTool(tool));
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
}

// Sends the four signals in turn at moments spread over whole runs over an
// older report, with file writes limited to `limit` bytes (< 0: no limit).
// At any moment the run ends as the signal says (or, under a limit, with the
// failed write's diagnostic), and the report is either the older one
// untouched (the signal came before the report was written), a beginning of
// the full report made of whole records, or the full report.
void signalAtMoments(long long limit) {
  const std::string& full = fullReport(canonical());
  const std::string old = olderReport();
  const std::vector<std::string> writeFailures = reportWriteFailures(EFBIG);
  struct Kind {
    int signal;
    const char* word;
    bool exitsWithOne;   // else it ends by SIGABRT
  } kinds[] = {{SIGINT, "Interrupt\n", true},
               {SIGTERM, "Killed\n", true},
               {SIGFPE, "Floating Exception\n", false},
               {SIGABRT, "IOT Trap\n", false}};
  const std::chrono::microseconds length = runLength();
  constexpr int kRuns = 40;
  for (int i = 0; i < kRuns; ++i) {
    const Kind& kind = kinds[i % 4];
    SCOPED_TRACE("run " + std::to_string(i) + ": " + kind.word);
    TempDir dir;
    dir.write(kModel, canonical());
    dir.write(kReport, old);
    RunOptions options;
    options.fileSizeLimit = limit;
    RunningTool tool = startWithHandlers(dir, options);
    // A few moments over the whole run; most over its last third, where the
    // report is written.
    const double at = i < 8 ? i / 8.0 : 0.7 + 0.4 * (i - 8) / (kRuns - 8);
    std::this_thread::sleep_for(std::chrono::duration_cast<std::chrono::microseconds>(length * at));
    ASSERT_EQ(::kill(tool.pid, kind.signal), 0);
    const ToolRun run = testing::waitTool(tool);
    const std::string report = dir.read(kReport);
    EXPECT_EQ(dir.read(kModel), canonical());
    EXPECT_EQ(run.out, "");
    if (run.exitCode == 0) {  // the run had ended before the signal came
      EXPECT_LT(limit, 0) << "a failed write ended with status 0";
      EXPECT_EQ(run.err, "");
      EXPECT_TRUE(report == full);
      continue;
    }
    if (run.err == kind.word) {
      if (kind.exitsWithOne) {
        EXPECT_EQ(run.exitCode, 1);
      } else {
        EXPECT_EQ(run.signal, SIGABRT);
      }
    } else {
      ASSERT_GE(limit, 0) << run.err;
      EXPECT_THAT(run.err, ::testing::AnyOfArray(writeFailures));
      expectAbnormalEnd(run);
    }
    if (report == old) continue;
    EXPECT_TRUE(isBeginningOf(report, full)) << "holds " << report.size() << " bytes that are no beginning";
    EXPECT_TRUE(report.empty() || report.back() == '\n') << "holds " << report.size() << " bytes: a record was cut";
  }
}

TEST(FaultMatrix, SignalAtAnyMoment) { signalAtMoments(-1); }

// The same while the last records cannot all be written: the signal's own
// writing of the gathered records may then fail part-way too.
TEST(FaultMatrix, SignalAtAnyMomentWhileWritesFail) { signalAtMoments(70000); }

// True once the tool `pid` holds the report open.
bool reportOpen(int pid) {
  std::error_code ignored;
  for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ignored)) {
    if (std::filesystem::read_symlink(fd.path(), ignored).filename() == kReport) return true;
  }
  return false;
}

// Starts the tool in `dir` and lets it run in steps of about 100 us, stopped
// in between, until a stop finds it holding the report open; then sends an
// interrupt and lets it go on. The steps keep the interrupt within the
// report's writing however loaded the machine is. Returns false when the
// tool ended before it was found with the report open.
bool interruptOnceReportOpen(const TempDir& dir, const RunOptions& options, ToolRun& run) {
  RunningTool tool = startWithHandlers(dir, options);
  bool found = false;
  for (;;) {
    if (::kill(tool.pid, SIGSTOP) != 0) break;
    siginfo_t info = {};
    if (::waitid(P_PID, static_cast<id_t>(tool.pid), &info, WSTOPPED | WEXITED | WNOWAIT) != 0 ||
        info.si_code != CLD_STOPPED) {
      break;  // it ended
    }
    found = reportOpen(tool.pid);
    if (found) ::kill(tool.pid, SIGINT);
    ::kill(tool.pid, SIGCONT);
    if (found) break;
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
  run = testing::waitTool(tool);
  return found;
}

// An interrupt while the tool gathers its first records, which can reach the
// file only in part (a 100-byte limit): the handler writes what it can, and
// the report keeps the one whole record among them, nothing of the older one.
// The interrupt comes soon after the tool opened the report, long before its
// own first write of the gathered records would fail.
TEST(FaultMatrix, InterruptWhileGatheredRecordsReachTheFileInPart) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    TempDir dir;
    dir.write(kModel, canonical());
    dir.write(kReport, olderReport());
    RunOptions options;
    options.fileSizeLimit = 100;
    ToolRun run;
    // Retried when the interrupt came before the first record was gathered
    // (the older report stays), or after the tool's own write had failed.
    if (!interruptOnceReportOpen(dir, options, run) || run.err != "Interrupt\n") continue;
    const std::string report = dir.read(kReport);
    if (report == olderReport()) continue;
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(report, " Slip (m)\n");
    return;
  }
  FAIL() << "the tool was never interrupted while it wrote the report";
}

// Standard error may be a pipe whose reader has gone. A diagnostic or a
// signal's word that cannot be written must not end the run before the
// report is cut to its whole records, nor change how the run ends.
TEST(FaultMatrix, StandardErrorNobodyReads) {
  const std::string& full = fullReport(canonical());
  RunOptions options;
  options.unreadStandardError = true;
  {
    SCOPED_TRACE("missing model");
    TempDir dir;
    expectAbnormalEnd(testing::runTool(dir.path(), options));
    EXPECT_FALSE(dir.exists(kReport));
  }
  {
    SCOPED_TRACE("a write fails at a 1000-byte limit, over an older report");
    TempDir dir;
    dir.write(kModel, canonical());
    dir.write(kReport, olderReport());
    RunOptions limited = options;
    limited.fileSizeLimit = 1000;
    expectAbnormalEnd(testing::runTool(dir.path(), limited));
    EXPECT_TRUE(dir.read(kReport) == full.substr(0, full.rfind('\n', 999) + 1)) << "not the whole records";
  }
  for (int attempt = 0;; ++attempt) {
    SCOPED_TRACE("an interrupt while the report is written, over an older report");
    ASSERT_LT(attempt, 20) << "the tool was never interrupted while it wrote the report";
    TempDir dir;
    dir.write(kModel, canonical());
    dir.write(kReport, olderReport());
    ToolRun run;
    if (!interruptOnceReportOpen(dir, options, run) || run.exitCode == 0) continue;  // came too late
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.signal, 0);
    const std::string report = dir.read(kReport);
    if (report == olderReport()) break;  // no record gathered yet: nothing to cut
    EXPECT_TRUE(isBeginningOf(report, full)) << "holds " << report.size() << " bytes that are no beginning";
    EXPECT_TRUE(report.empty() || report.back() == '\n') << "holds " << report.size() << " bytes: a record was cut";
    break;
  }
}

// ---- extreme values -------------------------------------------------------------

// Field of column il in data row iw of section s (1..8) of a report.
std::string field(const std::string& report, int s, int iw, int il) {
  std::size_t at = 0;
  for (int line = 1; line < 25 * (s - 1) + 2 + iw; ++line) at = report.find('\n', at) + 1;
  const std::size_t width = s >= 7 ? 12 : 10;
  return report.substr(at + 4 + (width + 1) * static_cast<std::size_t>(il - 1), width);
}

// Values too wide for their fields, infinite or NaN never stop the run or
// move a field: they print as asterisks or as their text, and the report
// keeps its length.
TEST(FaultMatrix, ExtremeValues) {
  // Subfaults (5, 3), (6, 3) and (7, 3) of the canonical model: groups 91 to 93.
  std::string model = canonical();
  model = withRecord(model, 91, 1, " 3 -4 -1000.5 12345.678 9");
  model = withRecord(model, 91, 2, " 1 2 3 4 99999.5");
  model = withRecord(model, 91, 3, " 30000 0 0 0 0 0 0 0 0 0");
  model = withRecord(model, 91, 10, " -2100 0 0 0 0 0 0 0 0 0");
  model = withRecord(model, 92, 1, " 1e400 0 -1e400 1D999 9");
  model = withRecord(model, 92, 2, " 1 2 3 4 -1e400");
  model = withRecord(model, 92, 3, " 1e400 0 0 0 0 0 0 0 0 0");
  model = withRecord(model, 93, 10, " 1e400 -1e400 0 0 0 0 0 0 0 0");
  TempDir dir;
  dir.write(kModel, model);
  const ToolRun run = testing::runTool(dir.path());
  testing::expectQuietSuccess(run);
  const std::string report = dir.read(kReport);
  ASSERT_EQ(report.size(), 89507u);

  struct Case {
    int s, il;
    const char* field;
  } cases[] = {
      {1, 5, "**********"}, {3, 5, "**********"},   {4, 5, "**********"},   {5, 5, "**********"},
      {6, 5, "   5.00000"}, {7, 5, "************"}, {8, 5, "************"},
      {1, 6, "       inf"}, {2, 6, "  35.00000"},   {3, 6, "       inf"},   {5, 6, "      -inf"},
      {6, 6, "       inf"}, {7, 6, "        -inf"}, {8, 6, "         inf"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(field(report, c.s, 3, c.il), c.field) << "section " << c.s << ", column " << c.il;
  }
  // inf - inf: a NaN, whose text may carry a sign of its own.
  for (int s : {1, 2, 4}) {
    EXPECT_THAT(field(report, s, 3, 7), ::testing::AnyOf("       nan", "      -nan")) << "section " << s;
  }
}

// A model of nothing but zeros: every slip is zero, every rake exactly 90.
TEST(FaultMatrix, AllZeroModel) {
  std::string group = "0 0 0 0 0\n0,0,0,0,0\n";
  for (int k = 0; k < 2; ++k) {
    group += "10*0\n10*0\n10*0\n0 0 0 0 0 0 0 0 0 0\n9*0.0\n";
    if (k == 0) group += "\n\n";  // the skipped records, empty
  }
  std::string model;
  for (int g = 0; g < 946; ++g) model += group;
  TempDir dir;
  dir.write(kModel, model);
  testing::expectQuietSuccess(testing::runTool(dir.path()));
  const std::string report = dir.read(kReport);
  ASSERT_EQ(report.size(), 89507u);
  const char* fields[] = {"   0.00000", "  90.00000", "   0.00000", "   0.00000",
                          "   0.00000", "   0.00000", "   0.0000000", "   0.0000000"};
  for (int s = 1; s <= 8; ++s) {
    for (int iw = 1; iw <= 22; ++iw) {
      for (int il = 1; il <= 43; ++il) {
        ASSERT_EQ(field(report, s, iw, il), fields[s - 1]) << "section " << s << ", row " << iw << ", column " << il;
      }
    }
  }
}

}  // namespace
}  // namespace slip

#endif  // _WIN32
