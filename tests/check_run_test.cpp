// slipcheck as a program: its verdict against slipreport's, its command line, its files.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "check_support.h"
#include "model_text.h"
#include "tool_runner.h"

namespace slip {
namespace {

using testing::RunOptions;
using testing::TempDir;
using testing::ToolRun;

ToolRun runCheck(const TempDir& dir, std::vector<std::string> args = {}) {
  RunOptions options;
  options.tool = SLIP_CHECK_PATH;
  options.args = std::move(args);
  return testing::runTool(dir.path(), options);
}

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// The message of slipcheck's error line: what follows "error: ".
std::string errorMessage(const std::string& out) {
  std::string line = testing::lineWith(out, ": error: ");
  return line.empty() ? "" : line.substr(line.find(": error: ") + 9);
}

// One random edit of the kinds a model file suffers.
std::string mutate(const std::string& model, std::mt19937& random) {
  auto pick = [&random](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
  std::string text = model;
  std::size_t at = pick(text.size());
  while (at < text.size() && text[at] != ' ') ++at;  // the start of a token
  if (at >= text.size()) at = 0;
  std::size_t end = text.find_first_of(" \n", at + 1);
  if (end == std::string::npos) end = text.size();
  switch (pick(10)) {
    case 0: text.erase(at, end - at); break;                                  // a value dropped
    case 1: text.insert(at, " 7.25"); break;                                  // a value added
    case 2: text[at + 1 < end ? at + 1 : at] = "xE+-*/,.\r\x1a\xe9"[pick(11)]; break;  // a token garbled
    case 3: text[at] = '\n'; break;                                           // a record split
    case 4: {                                                                 // two records joined
      std::size_t lf = text.find('\n', at);
      if (lf != std::string::npos) text[lf] = ' ';
      break;
    }
    case 5: text.resize(at); break;                                           // the file cut
    case 6: text.erase(at, 1); break;                                         // two values joined
    case 7: {                                                                 // a point or a comma for a blank
      if (at < text.size()) text[at] = ".,"[pick(2)];
      break;
    }
    case 8: {                                                                 // a decimal comma
      std::size_t point = text.find('.', at);
      if (point != std::string::npos) text[point] = ',';
      break;
    }
    default: text.insert(at + 1, "-"); break;                                 // a value negated
  }
  return text;
}

// slipcheck fails exactly when slipreport does, with its first diagnostic
// line (and, after ": ", the next step where it knows one).
TEST(CheckAgreement, VerdictAndMessageEqualARun) {
  std::vector<std::pair<std::string, std::string>> models = {
      {"empty", ""},
      {"one blank line", "\n"},
      {"canonical", testing::canonicalModel()},
      {"no final line feed", testing::canonicalModel().substr(0, testing::canonicalModel().size() - 1)},
      {"CR LF", [] {
         std::string crlf;
         for (char c : testing::canonicalModel()) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
         return crlf + "\x1a";
       }()},
      {"lone CR line ends", [] {
         std::string cr = testing::canonicalModel();
         for (char& c : cr) c = c == '\n' ? '\r' : c;
         return cr;
       }()},
  };
  std::mt19937 random(20261209);
  const std::string canonical = testing::canonicalModel();
  for (int i = 0; i < 240; ++i) models.emplace_back("mutation " + std::to_string(i), mutate(canonical, random));

  for (const auto& [name, model] : models) {
    TempDir dir;
    dir.write("rateA.dat", model);
    ToolRun run = testing::runTool(dir.path());
    ToolRun check = runCheck(dir);
    const bool runFailed = run.signal == SIGABRT;
    ASSERT_TRUE(runFailed || run.exitCode == 0) << name;
    EXPECT_EQ(check.exitCode == 2, runFailed) << name << "\n" << check.out << run.err;
    if (runFailed) {
      const std::string message = errorMessage(check.out), said = firstLine(run.err);
      EXPECT_EQ(message.substr(0, said.size()), said) << name << "\n" << check.out;
      EXPECT_TRUE(message.size() == said.size() || message.compare(said.size(), 2, ": ") == 0) << name;
    } else {
      EXPECT_TRUE(check.exitCode == 0 || check.exitCode == 1) << name;
    }
    EXPECT_EQ(dir.read("rateA.dat"), model) << name;
  }
}

TEST(CheckRun, CommandLine) {
  TempDir dir;
  dir.write("rateA.dat", testing::canonicalModel());
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    const char* out;  // the first line of standard output
    const char* err;  // the first line of standard error
  } cases[] = {
      {{}, 0, "rateA.dat: 946 subfaults, 13244 records, 102168 values read: 0 errors, 0 warnings", ""},
      {{"-q", "rateA.dat"}, 0, "rateA.dat: 946 subfaults, 13244 records, 102168 values read: 0 errors, 0 warnings", ""},
      {{"--help"}, 0, "usage: slipcheck [options] [MODEL]", ""},
      {{"--version"}, 0, "slipcheck " SLIP_VERSION, ""},
      {{"--colour"}, 64, "", "slipcheck: error: unknown option '--colour'"},
      {{"a.dat", "b.dat"}, 64, "", "slipcheck: error: one [MODEL] at a time: 'b.dat' is one too many"},
      {{"missing.dat"}, 2, "missing.dat: cannot be read: 1 error; a run would stop opening it",
       "slipcheck: error: missing.dat: No such file or directory"},
      {{"."}, 2, ".: cannot be read: 1 error; a run would stop reading it", "slipcheck: error: .: Is a directory"},
  };
  for (const Case& c : cases) {
    ToolRun run = runCheck(dir, c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args.size();
    EXPECT_EQ(firstLine(run.out), c.out);
    EXPECT_EQ(firstLine(run.err), c.err);
  }
}

// A name with blanks, a Ctrl-Z with more after it, a cut model streamed
// through a named pipe.
TEST(CheckRun, FilesOfEveryKind) {
  TempDir dir;
  std::string model = testing::canonicalModel();
  dir.write("my model.dat", model + "\x1a" + "left over\n");
  ToolRun run = runCheck(dir, {"my model.dat"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(firstLine(run.out), "my model.dat:13245:1: warning: Ctrl-Z (byte 26) ends the data here: a run reads "
                                "nothing after it");

  // A Ctrl-Z that ends a CR LF file, the last byte of the feed's block, is
  // only its end.
  std::string crlf;
  for (char c : model) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  dir.write("crlf.dat", crlf + "\x1a");
  run = runCheck(dir, {"crlf.dat"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "crlf.dat: 946 subfaults, 13244 records, 102168 values read: 0 errors, 0 warnings\n");

  ASSERT_EQ(::mkfifo(dir.file("rateA.dat").c_str(), 0666), 0);
  RunOptions options;
  options.tool = SLIP_CHECK_PATH;
  testing::RunningTool tool = testing::startTool(dir.path(), options);
  {
    std::ofstream writer(dir.file("rateA.dat"), std::ios::binary);
    writer << model.substr(0, 1000);
  }
  run = testing::waitTool(tool);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(errorMessage(run.out), "list in: end of file");
}

}  // namespace
}  // namespace slip
