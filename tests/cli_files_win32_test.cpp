// The companions' file output on Windows: a rename over an existing file,
// a device name, a target that is the input by another spelling, and a
// target another program holds open (Windows may refuse to replace it).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "cli/files.h"
#include "tool_runner.h"

namespace slip {
namespace {

using testing::TempDir;

// Backslashes, as a user on Windows writes a path.
std::string windowsPath(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

TEST(SafeOutputWin32, ReplacesAnExistingFile) {
  TempDir dir;
  dir.write("fig.svg", "old figure");
  EXPECT_EQ(cli::writeOutput(windowsPath(dir.file("fig.svg")), "new"), "");
  EXPECT_EQ(dir.read("fig.svg"), "new");
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((windowsPath(dir.path()) + "\\*.tmp").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a temporary file was left: " << found.cFileName;
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

TEST(SafeOutputWin32, DeviceNamesAreWrittenInPlace) {
  EXPECT_EQ(cli::writeOutput("NUL", "figure"), "");
}

TEST(SafeOutputWin32, RefusesTheInputByAnotherSpelling) {
  TempDir dir;
  dir.write("R.csv", "report");
  const std::string input = dir.file("R.csv");
  const std::string spelled = windowsPath(dir.path()) + "\\.\\R.csv";
  const std::string inputs[] = {input};
  const std::string targets[] = {spelled};
  EXPECT_EQ(cli::checkTargets(inputs, targets), "the output '" + spelled + "' is the input '" + input + "'");
  const std::string other[] = {dir.file("fig.svg")};
  EXPECT_EQ(cli::checkTargets(inputs, other), "");
}

// Two spellings of one file not yet there: the same folder and name, in
// any letter case.
TEST(SafeOutputWin32, TwoSpellingsOfOneNewFile) {
  TempDir dir;
  const std::string a = windowsPath(dir.file("a.x"));
  const std::string inputs[] = {dir.file("R.csv")};
  const std::string same[] = {a, windowsPath(dir.path()) + "\\.\\A.X"};
  EXPECT_EQ(cli::checkTargets(inputs, same), "the outputs '" + same[0] + "' and '" + same[1] + "' are the same file");
  const std::string apart[] = {a, windowsPath(dir.file("b.x"))};
  EXPECT_EQ(cli::checkTargets(inputs, apart), "");
}

// A set with a folder in the way of its last file: no file is written.
TEST(SafeOutputWin32, SetWithAFailure) {
  TempDir dir;
  dir.write("P.fsp", "old");
  CreateDirectoryA(dir.file("P.kml").c_str(), nullptr);
  const cli::OutputFile files[] = {{dir.file("P.mr"), "new"}, {dir.file("P.fsp"), "new"}, {dir.file("P.kml"), "new"}};
  EXPECT_EQ(cli::writeOutputs(files), dir.file("P.kml") + ": cannot write: Is a directory; not written: " +
                                          dir.file("P.mr") + ", " + dir.file("P.fsp") + ", " + dir.file("P.kml"));
  EXPECT_FALSE(dir.exists("P.mr"));
  EXPECT_EQ(dir.read("P.fsp"), "old");
}

// Held open without sharing: the replacement fails with a clear message,
// the file keeps its bytes, and no temporary file is left.
TEST(SafeOutputWin32, TargetHeldOpen) {
  TempDir dir;
  dir.write("fig.svg", "old figure");
  HANDLE held = CreateFileA(dir.file("fig.svg").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const std::string problem = cli::writeOutput(dir.file("fig.svg"), "new");
  CloseHandle(held);
  std::printf("held open: %s\n", problem.empty() ? "replaced" : problem.c_str());
  if (!problem.empty()) {
    EXPECT_NE(problem.find("cannot"), std::string::npos) << problem;
    EXPECT_EQ(dir.read("fig.svg"), "old figure");
  } else {
    EXPECT_EQ(dir.read("fig.svg"), "new");  // Wine may model no sharing rule here
  }
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((windowsPath(dir.path()) + "\\*.tmp").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE);
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

}  // namespace
}  // namespace slip
