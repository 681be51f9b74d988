// A model saved on Windows (CR LF line ends, a Ctrl-Z after the last record)
// gives the same report as the model with LF line ends, on either build, and
// that report is the checked copy in this platform's line ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "base/grid.h"
#include "base/platform.h"
#include "driver/run_driver.h"
#include "tool_runner.h"

namespace slip {
namespace {

using testing::TempDir;

const std::string kSource = SLIP_SOURCE_DIR;

std::string withLineEnds(const std::string& text, const char* lineEnd) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    if (c == '\n') {
      out += lineEnd;
    } else {
      out += c;
    }
  }
  return out;
}

// One whole run in `dir`, in this process; returns the report's bytes.
std::string runIn(const TempDir& dir) {
  const std::filesystem::path saved = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  auto grid = std::make_unique<SubfaultGrid>();
  RunDriver::runOnce(*grid);
  std::filesystem::current_path(saved);
  return dir.read("rateA-out4.csv");
}

TEST(WindowsText, ModelSavedOnWindowsGivesTheSameReport) {
  const std::string lf = testing::readFile(kSource + "/examples/rateA.dat");
  ASSERT_FALSE(lf.empty());
  const std::string crlf = withLineEnds(lf, "\r\n");
  const std::string checked = testing::readFile(kSource + "/tests/data/example-report.csv");
  ASSERT_EQ(checked.size(), 89507u);
  const std::string expected = withLineEnds(checked, platform::kLineEnd);
  ASSERT_EQ(expected.size(), 89507u + 199u * (platform::kLineEndSize - 1));

  struct Case {
    const char* name;
    std::string model;
  } cases[] = {
      {"LF", lf},
      {"CR LF", crlf},
      {"CR LF, Ctrl-Z at the end", crlf + "\x1a"},
      // Guards against reading past the Ctrl-Z: what follows it would not read as numbers.
      {"CR LF, Ctrl-Z, then text", crlf + "\x1a" + "not a model\r\n\x1a"},
      {"LF, Ctrl-Z at the end", lf + "\x1a"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    dir.write("rateA.dat", c.model);
    EXPECT_TRUE(runIn(dir) == expected) << "the report differs from the checked copy";
  }
}

}  // namespace
}  // namespace slip
