// The unit layer and the fatal diagnostic, exercised inside the test process
// (death tests for every path that ends the process).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

#include "base/fatal.h"
#include "base/unit_table.h"
#include "base/units.h"
#include "driver/run_driver.h"
#include "tool_runner.h"

namespace slip {
namespace {

using testing::TempDir;

std::string diagnostic(int code, const char* context, const IoContext& io, const char* name) {
  char text[1024];
  return std::string(text, formatDiagnostic(text, sizeof text, code, context, io, name));
}

IoContext readingContext() {
  IoContext io;
  io.currentUnit = 11;
  io.formatText = kListIo;
  io.reading = io.sequential = io.formatted = io.external = true;
  return io;
}

TEST(Diagnostic, LayoutForEachKindOfCode) {
  IoContext fresh;  // nothing read or written yet: only the open happened
  fresh.currentUnit = 11;
  fresh.external = true;
  IoContext reading = readingContext();
  IoContext writing = reading;
  writing.currentUnit = 12;
  writing.reading = false;
  writing.formatText = nullptr;

  struct Case {
    int code;
    const char* context;
    const IoContext* io;
    const char* name;
    std::string expected;
  } cases[] = {
      {ENOENT, "open", &fresh, "rateA.dat",
       std::string("open: ") + std::strerror(ENOENT) +
           "\napparent state: unit 11 named rateA.dat\nlately writing direct unformatted external IO\n"},
      {-1, "list in", &reading, "rateA.dat",
       "list in: end of file\napparent state: unit 11 named rateA.dat\nlast format: list io\n"
       "lately reading sequential formatted external IO\n"},
      {-1, "read start", &reading, "rateA.dat",
       "read start: end of file\napparent state: unit 11 named rateA.dat\nlast format: list io\n"
       "lately reading sequential formatted external IO\n"},
      {112, "bad repetition count", &reading, "rateA.dat",
       "bad repetition count: incomprehensible list input\napparent state: unit 11 named rateA.dat\n"
       "last format: list io\nlately reading sequential formatted external IO\n"},
      {111, "endfile", &writing, "rateA-out4.csv",
       "endfile: truncation failed in endfile\napparent state: unit 12 named rateA-out4.csv\n"
       "lately writing sequential formatted external IO\n"},
      {113, "no space", &fresh, "rateA.dat",
       "no space: out of free space\napparent state: unit 11 named rateA.dat\n"
       "lately writing direct unformatted external IO\n"},
      {127, "list output start", &reading, nullptr,
       "list output start: can't write file\napparent state: unit 11 (unnamed)\nlast format: list io\n"
       "lately reading sequential formatted external IO\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(diagnostic(c.code, c.context, *c.io, c.name), c.expected) << c.context;
  }
}

// The abort that ends a reported failure must not pass through the abort
// handler, whose "IOT Trap" would follow the diagnostic.
TEST(DiagnosticDeathTest, FatalEndsBySigabrtWithoutIotTrap) {
  EXPECT_EXIT(
      {
        RunDriver::startUp();
        startReadStatement(11);
        ioFatal(-1, "list in");
      },
      ::testing::KilledBySignal(SIGABRT),
      ::testing::StrEq("list in: end of file\napparent state: unit 11 (unnamed)\nlast format: list io\n"
                       "lately reading sequential formatted external IO\n"));
}

TEST(DiagnosticDeathTest, SecondFailureAbortsAtOnce) {
  EXPECT_EXIT(
      {
        RunDriver::startUp();
        ioContext().fatalReported = true;
        ioFatal(112, "invalid number");
      },
      ::testing::KilledBySignal(SIGABRT),
      ::testing::StrEq("invalid number: incomprehensible list input\n"
                       "(libf2c f__fatal already called, aborting.)IOT Trap\n"));
}

TEST(Units, RecordOverLongerFileLeavesExactlyTheRecord) {
  TempDir dir;
  std::string path = dir.file("report.csv");
  dir.write("report.csv", std::string(100000, 'x'));
  openUnit(12, path.c_str(), "unknown");
  writeRecord(12, nullptr, " Slip (m)", 9);
  writeRecord(12, "(fmt)", "", 0);
  closeUnit(12);
  EXPECT_EQ(dir.read("report.csv"), " Slip (m)\n\n");
}

TEST(Units, ManyRecordsReachTheFileInOrder) {
  TempDir dir;
  std::string path = dir.file("report.csv");
  std::string expected;
  openUnit(12, path.c_str(), "unknown");
  for (int i = 0; i < 5000; ++i) {
    std::string record = "record " + std::to_string(i) + std::string(static_cast<size_t>(i % 97), '.');
    writeRecord(12, nullptr, record.data(), record.size());
    expected += record + "\n";
  }
  std::string huge(300000, 'h');  // longer than any buffer: grows it
  writeRecord(12, nullptr, huge.data(), huge.size());
  expected += huge + "\n";
  closeUnit(12);
  EXPECT_EQ(dir.read("report.csv"), expected);
}

TEST(Units, MissingFileIsCreatedOnlyByAnUnknownOpen) {
  TempDir dir;
  std::string path = dir.file("new.csv");
  openUnit(12, path.c_str(), "unknown");
  closeUnit(12);
  EXPECT_TRUE(dir.exists("new.csv"));
  EXPECT_EQ(dir.read("new.csv"), "");
}

// Closing a unit nobody opened, or no unit at all, touches no other unit
// and not the latest activity: unit 11 stays connected and readable.
TEST(Units, ClosingAnUnconnectedUnitDoesNothing) {
  TempDir dir;
  dir.write("rateA.dat", "1 2 3\n");
  const std::string path = dir.file("rateA.dat");
  openUnit(11, path.c_str(), "OLD");
  for (int unit : {12, kMaxUnit, 100, -3}) closeUnit(unit);
  EXPECT_EQ(ioContext().currentUnit, 11);
  EXPECT_STREQ(unitName(11), path.c_str());
  for (int unit : {12, kMaxUnit, 100, -3}) EXPECT_EQ(unitName(unit), nullptr) << unit;
  unsigned char bytes[16];
  int error = 0;
  EXPECT_EQ(readUnit(11, bytes, sizeof bytes, &error), 6);
  closeUnit(11);
  EXPECT_EQ(unitName(11), nullptr);
  EXPECT_EQ(dir.read("rateA.dat"), "1 2 3\n");
}

TEST(UnitsDeathTest, OldStatusNeedsAnExistingFile) {
  TempDir dir;
  std::string path = dir.file("rateA.dat");
  EXPECT_EXIT(openUnit(11, path.c_str(), "OLD"), ::testing::KilledBySignal(SIGABRT),
              ::testing::StrEq("open: " + std::string(std::strerror(ENOENT)) + "\napparent state: unit 11 named " +
                               path + "\nlately writing direct unformatted external IO\n"));
  EXPECT_FALSE(dir.exists("rateA.dat"));
}

// Runs as root cannot be stopped by permission bits, so the child drops to an
// unprivileged user first; the failure must come from the file, not the test.
TEST(UnitsDeathTest, ReadOnlyReportFailsAtFirstWriteAndStaysAsItWas) {
  TempDir dir;
  std::string path = dir.file("rateA-out4.csv");
  dir.write("rateA-out4.csv", "old report\n");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  EXPECT_EXIT(
      {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(3);
        openUnit(12, path.c_str(), "unknown");
        writeRecord(12, nullptr, " Slip (m)", 9);
        std::_Exit(0);
      },
      ::testing::KilledBySignal(SIGABRT),
      ::testing::StrEq("list output start: can't write file\napparent state: unit 12 named " + path +
                       "\nlast format: list io\nlately writing sequential formatted external IO\n"));
  EXPECT_EQ(dir.read("rateA-out4.csv"), "old report\n");
}

// A report on a full device: a failure while records are written names the
// record's format; one at the final flush, after the last record completed,
// does not. Either way the run ends through the diagnostic, never with 0.
TEST(UnitsDeathTest, FullDeviceFailsTheWriteOrTheClose) {
  struct Case {
    const char* context;
    std::size_t recordSize;
    int records;
    const char* formatLine;   // the "last format:" line, if any
  } cases[] = {
      {"close", 3, 1, ""},                           // fits the buffer: fails at close
      {"write", 500, 1000, "last format: (F10.5)\n"},  // outgrows it: fails mid-report
  };
  for (const Case& c : cases) {
    TempDir dir;
    std::string path = dir.file("full.csv");
    ASSERT_EQ(::symlink("/dev/full", path.c_str()), 0);
    EXPECT_EXIT(
        {
          RunDriver::startUp();
          openUnit(12, path.c_str(), "unknown");
          std::string row(c.recordSize, '1');
          for (int i = 0; i < c.records; ++i) writeRecord(12, "(F10.5)", row.data(), row.size());
          closeUnit(12);
          std::_Exit(0);
        },
        ::testing::KilledBySignal(SIGABRT),
        ::testing::StrEq(std::string(c.context) + ": " + std::strerror(ENOSPC) + "\napparent state: unit 12 named " +
                         path + "\n" + c.formatLine + "lately writing sequential formatted external IO\n"))
        << c.context;
  }
}

// A file sealed against shrinking can be written but not cut: the close must
// report the failed cut, once, and name the report.
TEST(UnitsDeathTest, FailedCutAtCloseIsReportedAsEndfile) {
  EXPECT_EXIT(
      {
        RunDriver::startUp();
        int fd = ::memfd_create("report", MFD_ALLOW_SEALING);
        std::string old(5000, 'o');
        if (fd < 0 || ::write(fd, old.data(), old.size()) != 5000 || ::fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK) != 0) {
          std::_Exit(3);
        }
        std::string path = "/proc/self/fd/" + std::to_string(fd);
        openUnit(12, path.c_str(), "unknown");
        writeRecord(12, "(I2)", "W 1", 3);
        closeUnit(12);
        std::_Exit(0);
      },
      ::testing::KilledBySignal(SIGABRT),
      ::testing::MatchesRegex("endfile: truncation failed in endfile\n"
                              "apparent state: unit 12 named /proc/self/fd/[0-9]+\n"
                              "lately writing sequential formatted external IO\n"));
}

}  // namespace
}  // namespace slip
