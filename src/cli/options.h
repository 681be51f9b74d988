// The companions' command lines, declared as one table per program.
//
// A program lists its options once; the parser, the usage line and --help
// all come from that table:
//
//   constexpr cli::Option kOptions[] = {
//       {'o', "output", "FILE", "write the figure to FILE ('-' for standard output)", kOutput},
//       {0, "width", "PIXELS", "the figure's width, 100 to 20000 (default 1000)", kWidth},
//       {'q', "quiet", nullptr, "print the summary line alone", kQuiet},
//   };
//
// Accepted forms: `-q`, `-o FILE`, `-oFILE`, bundled flags `-qa`, `--name`,
// `--name=value`, `--name value`; `--` ends the options; `-` alone is an
// operand (standard input or output, as the program decides). `-h`/`--help`
// and `--version` are every program's own and need no entry. A value named
// FILE or PREFIX is a file name (or the start of several): an empty one is a
// mistake, and so is a PREFIX that ends in a folder separator.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "text/text.h"
#include "cli/files.h"

namespace slip::cli {

struct Option {
  char shortName = 0;              // 0: no short form
  const char* longName = nullptr;  // without the dashes; nullptr: no long form
  const char* valueName = nullptr; // the value's name in --help; nullptr: a flag
  const char* help = "";           // its line in --help ('\n' continues it on the next line)
  int id = 0;                      // the program's own code for it
};

struct Program {
  const char* name;                // "slipmap"
  const char* operands;            // "[REPORT]"
  std::size_t maxOperands;         // more is a mistake
  const char* about;               // the paragraph under the usage line in --help
  std::span<const Option> options;
  const char* exitStatuses;        // the closing paragraph of --help
  const char* summary = "";        // the manual page's one line under NAME
  bool commandLine = true;         // false: takes no arguments at all (slipreport), no --help
};

struct GivenOption {
  int id;
  std::string name;   // as the user wrote it ("-o", "--width"), for messages
  std::string value;  // empty for a flag
};

enum class Outcome { Run, Help, Version, Mistake };

struct CommandLine {
  Outcome outcome = Outcome::Run;
  std::vector<GivenOption> options;  // in the order given
  std::vector<std::string> operands;
  std::string mistake;               // Outcome::Mistake: what is wrong
};

// Parses the arguments after the program's name. Never throws, never exits.
CommandLine parseCommandLine(const Program& program, std::span<const std::string> args);
CommandLine parseCommandLine(const Program& program, int argc, char** argv);

// "-o, --output FILE": the option's names as --help lists them.
std::string optionNames(const Option& option);

// "usage: slipmap [options] [REPORT]\n"
std::string usageLine(const Program& program);
// The whole --help text: usage, about, the options table, -h/--help and --version, exit statuses.
std::string helpText(const Program& program);

// Handles what every program does alike: prints --help or --version to
// standard output, or a mistake with the usage line (see usageMistake) to standard error: the
// line's own, or else `valueMistake`, what the program found wrong with a
// value it reads from the line ("" for none). Returns the exit status, or
// nothing when the program should go on and run.
std::optional<int> settleCommandLine(const Program& program, const CommandLine& line,
                                     std::string_view valueMistake = {});

// A companion's run, in the one shape they share: the command line read,
// with `read` turning it into the program's settings (returning what is wrong
// with a value, or ""); --help, --version and mistakes settled; then `run` on
// the settings, the run ending in finishRun.
template <class Settings>
int runCompanion(const Program& program, int argc, char** argv, std::string (*read)(const CommandLine&, Settings&),
                 int (*run)(const Settings&)) {
  const CommandLine line = parseCommandLine(program, argc, argv);
  Settings settings;
  if (const std::optional<int> settled = settleCommandLine(program, line, read(line, settings))) return *settled;
  return finishRun(program.name, run(settings));
}

// Prints "PROG: error: MESSAGE", the usage line and the way to --help to
// standard error; returns kExitUsage.
int usageMistake(const Program& program, std::string_view message);

// Before any work: refuses a target that is an input or another target (a
// usage mistake) or that cannot be written (kExitFailed), saying why; nothing
// when every target may be written.
std::optional<int> checkOutputs(const Program& program, std::span<const std::string> inputs,
                                std::span<const std::string> targets);

// Option values, read by the text leaf's whole-text parsers.
using slip::parseInteger;
using slip::parseNumber;

}  // namespace slip::cli
