// The companions' command lines: the forms every one accepts, and what each
// program answers to a mistake, --help and --version.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/man_page.h"
#include "cli/options.h"
#include "model_text.h"
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

// A manual page says what --help says, in roff: the names, the option table
// with minus signs escaped, and text that would read as a request made plain.
TEST(CommandLine, ManPageComesFromTheTable) {
  cli::Program program = kTest;
  program.about = "Does a thing.\n.dot and C:\\path\n";
  program.summary = "do a thing";
  const std::string page = cli::manPage(program, "9.9.9", "other(1)");
  for (const char* line : {".TH TOOL 1 \"\" \"slipreport 9.9.9\" \"User Commands\"\n", "tool \\- do a thing\n",
                           ".B tool\n[options] [INPUT]\n", "\\&.dot and C:\\epath\n", ".B \\-o, \\-\\-output FILE\nwrite FILE\n",
                           ".B \\-h, \\-\\-help\n", ".SH EXIT STATUS\n.nf\nexit status: 0\n.fi\n", "other(1)\n"}) {
    EXPECT_NE(page.find(line), std::string::npos) << line;
  }
}

// A mistake the user can mend says how, on its first line: the file that is
// not what the program reads, the grid a model must have, a value that is no
// number, the model an output would overwrite.
TEST(CommandLine, MessagesSayTheNextStep) {
  testing::TempDir empty, dir;
  const std::string model = testing::canonicalModel();
  std::size_t cut = 0;  // 500 of the 946 groups, 14 lines each
  for (int line = 0; line < 500 * 14; ++line) cut = model.find('\n', cut) + 1;
  testing::writeFile(dir.file("rateA.dat"), model);
  testing::writeFile(dir.file("small.dat"), model.substr(0, cut));
  testing::writeFile(dir.file("rateA-out4.csv"), testing::readFile(SLIP_SOURCE_DIR "/tests/data/example-report.csv"));
  const struct { const char* tool; std::vector<std::string> args; bool inEmpty; int exitCode; const char* line; } cases[] = {
      {SLIP_MAP_PATH, {}, true, 2,
       "slipmap: error: rateA-out4.csv: cannot read: No such file or directory: slipreport writes it; run slipreport on the "
       "model first"},
      {SLIP_MAP_PATH, {"rateA.dat"}, false, 2,
       "rateA.dat:1:2: error: expected the title of a section, found \"1 -1 140.01 34.99 9\": this is a slip-rate model, "
       "not a report; run slipreport on it and give slipmap its report"},
      {SLIP_MAP_PATH, {"-o", "rateA.dat"}, false, 64,
       "slipmap: error: the output 'rateA.dat' is the model 'rateA.dat', read for the moment-rate panel: give another output"},
      {SLIP_CHECK_PATH, {"rateA-out4.csv"}, false, 2,
       "rateA-out4.csv:1:2: error: invalid number: incomprehensible list input: this is slipreport's report, not a "
       "model; give the model it was made from (rateA.dat)"},
      {SLIP_CHECK_PATH, {"small.dat"}, false, 2,
       "small.dat:7001:1: error: list in: end of file: the grid must be 22 x 43 subfaults (946 groups) and the file "
       "holds 500"},
      {SLIP_SOURCE_PATH, {"small.dat"}, false, 2,
       "small.dat:7001:1: error: list in: end of file: the grid must be 22 x 43 subfaults (946 groups) and the file "
       "holds 500"},
      {SLIP_SOURCE_PATH, {"--rigidity", "3e10x"}, false, 64,
       "slipsource: error: --rigidity '3e10x': not a number; give a rigidity from 1e8 to 5e11 Pa (in Pa: 30 GPa = 3e10)"},
      {SLIP_CHECK_PATH, {"--all"}, false, 0,  // the old name, until 1.2
       "rateA.dat: 946 subfaults, 13244 records, 102168 values read: 0 errors, 0 warnings"},
  };
  for (const auto& c : cases) {
    testing::RunOptions options;
    options.tool = c.tool;
    options.args = c.args;
    const testing::ToolRun run = testing::runTool((c.inEmpty ? empty : dir).path(), options);
    SCOPED_TRACE(std::string(c.tool) + " " + ::testing::PrintToString(c.args));
    EXPECT_EQ(run.exitCode, c.exitCode);
    // slipcheck's findings are its output; the others' go to standard error.
    const std::string& said = c.tool == std::string(SLIP_CHECK_PATH) ? run.out : run.err;
    EXPECT_EQ(said.substr(0, said.find('\n')), c.line);
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
