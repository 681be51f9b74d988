// The Windows side of the platform layer, under the unit layer and the run's
// start-up: floating-point state, arithmetic faults, how each signal and a
// fatal failure end the process, the interrupt handler's own thread, and the
// report's CR LF records and cut. Death tests run the statement in a fresh
// copy of this program, so files they share with the test use fixed names;
// they read its standard error in text mode, so its CR LF arrive as LF (the
// bytes themselves are checked by StandardErrorWin32).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <float.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#include <xmmintrin.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "base/fatal.h"
#include "base/platform.h"
#include "base/units.h"
#include "driver/run_driver.h"
#include "tool_runner.h"

namespace slip {
namespace {

using ::testing::ExitedWithCode;
using ::testing::StrEq;
using testing::TempDir;

constexpr int kAbortStatus = 3;

// A file under the temporary folder whose name is the same in a death test's child.
std::string sharedFile(const char* name) {
  return (std::filesystem::temp_directory_path() / (std::string("slipreport-win32-") + name)).generic_string();
}

// Ends a death test's child that outlived what it waited for.
void watchdog(DWORD milliseconds) {
  std::thread([milliseconds] {
    Sleep(milliseconds);
    TerminateProcess(GetCurrentProcess(), 99);
  }).detach();
}

unsigned x87ControlWord() {
  unsigned short word = 0;
  asm volatile("fnstcw %0" : "=m"(word));
  return word;
}

TEST(FloatingPointWin32, ResetMasksEveryExceptionAndRoundsToNearest) {
  // Unmask everything, round upwards, flush to zero, in both units.
  _mm_setcsr(0x6000 | 0x8000 | 0x0040);
  unsigned short wild = 0x0C40;
  asm volatile("fldcw %0" : : "m"(wild));

  platform::resetFloatingPoint();
  EXPECT_EQ(_mm_getcsr() & ~0x3Fu, 0x1F80u) << std::hex << _mm_getcsr();
  EXPECT_EQ(x87ControlWord(), 0x037Fu) << std::hex << x87ControlWord();
  volatile double zero = 0.0;
  volatile double one = 1.0;
  EXPECT_EQ(one / zero, HUGE_VAL);      // no trap: infinity
  EXPECT_NE(zero / zero, zero / zero);  // no trap: NaN
}

// Arithmetic faults reach the floating-point handler: "Floating Exception",
// then the abort status, whatever raised them.
TEST(SignalsWin32DeathTest, ArithmeticFaultsEndAsFloatingException) {
  EXPECT_EXIT(
      {
        RunDriver::startUp();
        volatile int zero = 0;
        volatile int one = 1;
        one = one / zero;
      },
      ExitedWithCode(kAbortStatus), StrEq("Floating Exception\n"));
  EXPECT_EXIT(
      {
        RunDriver::startUp();
        _mm_setcsr(_mm_getcsr() & ~0x0200u);  // unmask division by zero in the SSE unit
        volatile double zero = 0.0;
        volatile double one = 1.0;
        one = one / zero;
      },
      ExitedWithCode(kAbortStatus), StrEq("Floating Exception\n"));
}

TEST(SignalsWin32DeathTest, EachSignalPrintsItsWordAndEndsAsItSays) {
  struct Case {
    int signal;
    const char* word;
    int status;
  } cases[] = {
      {SIGINT, "Interrupt\n", 1},
      {SIGTERM, "Killed\n", 1},
      {SIGFPE, "Floating Exception\n", kAbortStatus},
      {SIGABRT, "IOT Trap\n", kAbortStatus},
  };
  for (const Case& c : cases) {
    EXPECT_EXIT(
        {
          RunDriver::startUp();
          std::raise(c.signal);
        },
        ExitedWithCode(c.status), StrEq(c.word))
        << c.word;
  }
}

// The runtime's abort() would add its own message or end with another status.
TEST(FatalWin32DeathTest, DiagnosticThenAbortStatusAndNothingElse) {
  EXPECT_EXIT(
      {
        RunDriver::startUp();
        startReadStatement(11);
        ioFatal(-1, "list in");
      },
      ExitedWithCode(kAbortStatus),
      StrEq("list in: end of file\napparent state: unit 11 (unnamed)\nlast format: list io\n"
            "lately reading sequential formatted external IO\n"));
  EXPECT_EXIT(
      {
        RunDriver::startUp();
        ioContext().fatalReported = true;
        ioFatal(112, "invalid number");
      },
      ExitedWithCode(kAbortStatus),
      StrEq("invalid number: incomprehensible list input\n(libf2c f__fatal already called, aborting.)IOT Trap\n"));
}

TEST(FatalWin32DeathTest, MissingOldFileNamesItWithTheSystemText) {
  const std::string path = sharedFile("missing.dat");
  _unlink(path.c_str());
  EXPECT_EXIT(openUnit(11, path.c_str(), "OLD"), ExitedWithCode(kAbortStatus),
              StrEq("open: " + std::string(std::strerror(ENOENT)) + "\napparent state: unit 11 named " + path +
                    "\nlately writing direct unformatted external IO\n"));
  EXPECT_NE(_access(path.c_str(), 0), 0);
}

// The interrupt handler runs on a thread of its own while the main sequence
// goes on. Taken while the main sequence holds the unit lock, it must wait:
// a handler that went ahead would cut the report after the first record.
TEST(InterruptWin32DeathTest, HandlerOnAnotherThreadWaitsForTheUnitLock) {
  const std::string path = sharedFile("interrupt-lock.csv");
  testing::writeFile(path, std::string(5000, 'o'));
  EXPECT_EXIT(
      {
        RunDriver::startUp();
        watchdog(10000);
        openUnit(12, path.c_str(), "unknown");
        writeRecord(12, nullptr, " first", 6);
        platform::blockSignals();
        std::thread([] { std::raise(SIGINT); }).detach();
        Sleep(300);
        writeRecord(12, "(a)", " second", 7);
        platform::unblockSignals();
        Sleep(INFINITE);
      },
      ExitedWithCode(1), StrEq("Interrupt\n"));
  EXPECT_EQ(testing::readFile(path), " first\r\n second\r\n");
  _unlink(path.c_str());
}

// An interrupt while the main thread waits in a read of the model file: the
// runtime holds that descriptor's lock for the whole read, so a handler that
// closed the file through the runtime would wait for ever.
TEST(InterruptWin32DeathTest, HandlerDoesNotWaitForABlockedRead) {
  EXPECT_EXIT(
      {
        const char* pipeName = "\\\\.\\pipe\\slipreport-blocked-read";
        HANDLE server = CreateNamedPipeA(pipeName, PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0,
                                         nullptr);
        if (server == INVALID_HANDLE_VALUE) TerminateProcess(GetCurrentProcess(), 98);
        RunDriver::startUp();
        watchdog(10000);
        openUnit(11, pipeName, "unknown");
        std::thread([] {
          Sleep(300);
          std::raise(SIGINT);
        }).detach();
        unsigned char buffer[16];
        int error = 0;
        readUnit(11, buffer, sizeof buffer, &error);  // nothing is ever written
        TerminateProcess(GetCurrentProcess(), 97);
      },
      ExitedWithCode(1), StrEq("Interrupt\n"));
}

// Standard error is written as the runtime's text mode writes it.
TEST(StandardErrorWin32, EveryLineFeedGoesOutAsCrLf) {
  TempDir dir;
  const std::string path = dir.file("stderr.txt");
  int file = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
  ASSERT_GE(file, 0);
  int saved = _dup(2);
  ASSERT_EQ(_dup2(file, 2), 0);
  platform::writeError("Interrupt\n");
  platform::writeError("(no line end)");
  std::string longText(2000, 'x');  // longer than the translation buffer
  longText += "\n\n";
  platform::writeError(longText.data(), longText.size());
  _dup2(saved, 2);
  _close(saved);
  _close(file);
  EXPECT_TRUE(dir.read("stderr.txt") == "Interrupt\r\n(no line end)" + std::string(2000, 'x') + "\r\n\r\n");
}

// Records end in CR LF; an older, longer file is cut after the last one.
TEST(UnitsWin32, RecordsEndInCrLfAndTheOldTailIsCut) {
  TempDir dir;
  const std::string path = dir.file("rateA-out4.csv");
  dir.write("rateA-out4.csv", std::string(100000, 'x'));
  openUnit(12, path.c_str(), "unknown");
  writeRecord(12, nullptr, " Slip (m)", 9);
  writeRecord(12, "(fmt)", "", 0);
  std::string expected = " Slip (m)\r\n\r\n";
  std::string huge(300000, 'h');  // longer than the buffer: goes out at its own offset
  writeRecord(12, nullptr, huge.data(), huge.size());
  expected += huge + "\r\n";
  closeUnit(12);
  EXPECT_TRUE(dir.read("rateA-out4.csv") == expected);

  openUnit(12, path.c_str(), "unknown");
  closeUnit(12);
  EXPECT_TRUE(dir.read("rateA-out4.csv") == expected) << "a unit never written must not cut";
}

// A read-only report opens for reading and fails at the first write, unchanged.
TEST(UnitsWin32DeathTest, ReadOnlyReportFailsAtFirstWrite) {
  const std::string path = sharedFile("read-only.csv");
  _chmod(path.c_str(), _S_IREAD | _S_IWRITE);
  testing::writeFile(path, "old report\r\n");
  ASSERT_EQ(_chmod(path.c_str(), _S_IREAD), 0);
  int probe = _open(path.c_str(), _O_RDWR | _O_BINARY);
  if (probe >= 0) {
    _close(probe);
    _chmod(path.c_str(), _S_IREAD | _S_IWRITE);
    GTEST_SKIP() << "this user may write read-only files (Wine run as root)";
  }
  EXPECT_EXIT(
      {
        openUnit(12, path.c_str(), "unknown");
        writeRecord(12, nullptr, " Slip (m)", 9);
        TerminateProcess(GetCurrentProcess(), 0);
      },
      ExitedWithCode(kAbortStatus),
      StrEq("list output start: can't write file\napparent state: unit 12 named " + path +
            "\nlast format: list io\nlately writing sequential formatted external IO\n"));
  EXPECT_EQ(testing::readFile(path), "old report\r\n");
  _chmod(path.c_str(), _S_IREAD | _S_IWRITE);
  _unlink(path.c_str());
}

}  // namespace
}  // namespace slip
