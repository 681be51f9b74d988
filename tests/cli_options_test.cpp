// The companions' command lines: the forms every one accepts, and what each
// program answers to a mistake, --help and --version.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/options.h"
#include "tool_runner.h"

namespace slip {
namespace {

enum { kOut, kQuiet, kAll };
constexpr cli::Option kOptions[] = {
    {'o', "output", "FILE", "write FILE", kOut},
    {'q', "quiet", nullptr, "say less", kQuiet},
    {'a', "all", nullptr, "say all", kAll},
};
const cli::Program kTest = {"tool", "[INPUT]", 1, "Does a thing.\n", kOptions, "exit status: 0\n"};

// What was parsed, in one line: "run q a o=F [IN]", "help", "version", "mistake: ...".
std::string parsed(std::vector<std::string> args) {
  const cli::CommandLine line = cli::parseCommandLine(kTest, args);
  switch (line.outcome) {
    case cli::Outcome::Help: return "help";
    case cli::Outcome::Version: return "version";
    case cli::Outcome::Mistake: return "mistake: " + line.mistake;
    case cli::Outcome::Run: break;
  }
  std::string text = "run";
  for (const auto& option : line.options)
    text += " " + std::string(1, "oqa"[option.id]) + (option.id == kOut ? "=" + option.value : "");
  for (const auto& operand : line.operands) text += " [" + operand + "]";
  return text;
}

TEST(CommandLine, Forms) {
  const struct { std::vector<std::string> args; const char* outcome; } cases[] = {
      {{}, "run"},
      {{"-o", "F", "in"}, "run o=F [in]"},
      {{"-oF"}, "run o=F"},
      {{"--output=F"}, "run o=F"},
      {{"--output", "F"}, "run o=F"},
      {{"--output="}, "mistake: --output needs a file name"},
      {{"-o", ""}, "mistake: -o needs a file name"},
      {{"-qa", "in"}, "run q a [in]"},
      {{"-qoF"}, "run q o=F"},
      {{"-q", "-o", "-"}, "run q o=-"},
      {{"-"}, "run [-]"},
      {{"--", "-q"}, "run [-q]"},
      {{"--", "--help"}, "run [--help]"},
      {{"-q", "--help", "--bogus"}, "help"},
      {{"-h"}, "help"},
      {{"-qh"}, "help"},
      {{"--version", "x", "y"}, "version"},
      {{"--bogus"}, "mistake: unknown option '--bogus'"},
      {{"-x"}, "mistake: unknown option '-x'"},
      {{"-qx"}, "mistake: unknown option '-x'"},
      {{"--help=1"}, "mistake: --help takes no value"},
      {{"--quiet=1"}, "mistake: --quiet takes no value"},
      {{"-o"}, "mistake: -o needs a value (FILE)"},
      {{"--output"}, "mistake: --output needs a value (FILE)"},
      {{"a", "b"}, "mistake: one [INPUT] at a time: 'b' is one too many"},
      {{"--out", "F"}, "mistake: unknown option '--out'"},
  };
  for (const auto& c : cases) EXPECT_EQ(parsed(c.args), c.outcome) << ::testing::PrintToString(c.args);
}

TEST(CommandLine, HelpComesFromTheTable) {
  EXPECT_EQ(cli::helpText(kTest),
            "usage: tool [options] [INPUT]\n"
            "\n"
            "Does a thing.\n"
            "\n"
            "options:\n"
            "  -o, --output FILE     write FILE\n"
            "  -q, --quiet           say less\n"
            "  -a, --all             say all\n"
            "  -h, --help            show this help and exit\n"
            "  --version             show the version and exit\n"
            "\n"
            "exit status: 0\n");
}

TEST(CommandLine, Values) {
  const struct { const char* text; bool number; bool integer; } cases[] = {
      {"12", true, true}, {"+12", true, true}, {"-3", true, true}, {"1.5", true, false}, {"1e3", true, false},
      {"", false, false}, {"12x", false, false}, {"inf", false, false}, {"nan", false, false}, {"1e999", false, false},
      {"+", false, false}, {"99999999999999999999", true, false}, {" 1", false, false},
  };
  for (const auto& c : cases) {
    double number = 0;
    long long integer = 0;
    EXPECT_EQ(cli::parseNumber(c.text, number), c.number) << c.text;
    EXPECT_EQ(cli::parseInteger(c.text, integer), c.integer) << c.text;
  }
}

// Every companion, as a user meets it: exit status and the first line it prints.
TEST(CommandLine, EveryCompanion) {
  testing::TempDir dir;
  const struct { const char* tool; std::vector<std::string> args; int exitCode; const char* out; const char* err; } cases[] = {
      {SLIP_CHECK_PATH, {"-h"}, 0, "usage: slipcheck [options] [MODEL]", ""},
      {SLIP_CHECK_PATH, {"--version"}, 0, "slipcheck " SLIP_VERSION, ""},
      {SLIP_CHECK_PATH, {"--width=5"}, 64, "", "slipcheck: error: unknown option '--width'"},
      {SLIP_CHECK_PATH, {"--", "-q"}, 2, "-q: cannot be read: 1 error; a run would stop opening it",
       "slipcheck: error: -q: No such file or directory"},
      {SLIP_MAP_PATH, {"-h"}, 0, "usage: slipmap [options] [REPORT]", ""},
      {SLIP_MAP_PATH, {"--version"}, 0, "slipmap " SLIP_VERSION, ""},
      {SLIP_MAP_PATH, {"-q"}, 64, "", "slipmap: error: unknown option '-q'"},
      {SLIP_MAP_PATH, {"--width", "x"}, 64, "",
       "slipmap: error: --width needs a whole number of pixels from 100 to 20000, not 'x'"},
      {SLIP_MAP_PATH, {"--", "-o"}, 2, "", "slipmap: error: -o: cannot read: No such file or directory"},
      {SLIP_SOURCE_PATH, {"-h"}, 0, "usage: slipsource [options] [MODEL]", ""},
      {SLIP_SOURCE_PATH, {"--version"}, 0, "slipsource " SLIP_VERSION, ""},
      {SLIP_SOURCE_PATH, {"--dip"}, 64, "", "slipsource: error: --dip needs a value (DEG)"},
      {SLIP_SOURCE_PATH, {"--json=1"}, 64, "", "slipsource: error: --json takes no value"},
      // An empty file name (an unset shell variable) and a prefix that names a folder.
      {SLIP_SOURCE_PATH, {"--structure", "", "--depth", "10"}, 64, "", "slipsource: error: --structure needs a file name"},
      {SLIP_SOURCE_PATH, {"--mr="}, 64, "", "slipsource: error: --mr needs a file name"},
      {SLIP_SOURCE_PATH, {"--depth", "10", "--all", "out/"}, 64, "",
       "slipsource: error: --all 'out/' ends in a folder: give the files' name after it ('out/NAME')"},
      {SLIP_SOURCE_PATH, {"a.dat", "b.dat"}, 64, "", "slipsource: error: one [MODEL] at a time: 'b.dat' is one too many"},
  };
  for (const auto& c : cases) {
    testing::RunOptions options;
    options.tool = c.tool;
    options.args = c.args;
    const testing::ToolRun run = testing::runTool(dir.path(), options);
    SCOPED_TRACE(std::string(c.tool) + " " + ::testing::PrintToString(c.args));
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), c.out);
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')), c.err);
  }
}

// A companion whose standard output fails says so and exits 2.
TEST(CommandLine, StandardOutputFailure) {
  testing::TempDir dir;
  testing::writeFile(dir.file("rateA.dat"), "1 2 3\n");
  const struct { const char* tool; std::vector<std::string> args; const char* err; } cases[] = {
      {SLIP_CHECK_PATH, {}, "slipcheck: error: standard output: No space left on device\n"},
      {SLIP_CHECK_PATH, {"--help"}, "slipcheck: error: standard output: No space left on device\n"},
      {SLIP_MAP_PATH, {"--version"}, "slipmap: error: standard output: No space left on device\n"},
      {SLIP_SOURCE_PATH, {"--help"}, "slipsource: error: standard output: No space left on device\n"},
  };
  for (const auto& c : cases) {
    testing::RunOptions options;
    options.tool = c.tool;
    options.args = c.args;
    options.standardOutput = "/dev/full";
    const testing::ToolRun run = testing::runTool(dir.path(), options);
    EXPECT_EQ(run.exitCode, 2) << c.tool;
    EXPECT_EQ(run.err, c.err);
  }
}

}  // namespace
}  // namespace slip
