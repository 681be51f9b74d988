#include "cli/options.h"

#include <charconv>
#include <cmath>

#include "cli/diagnostics.h"
#include "cli/exit_status.h"
#include "cli/files.h"

namespace slip::cli {
namespace {

const Option* findLong(const Program& program, std::string_view name) {
  for (const Option& option : program.options)
    if (option.longName != nullptr && name == option.longName) return &option;
  return nullptr;
}

const Option* findShort(const Program& program, char name) {
  for (const Option& option : program.options)
    if (option.shortName != 0 && option.shortName == name) return &option;
  return nullptr;
}

CommandLine mistake(std::string message) {
  CommandLine line;
  line.outcome = Outcome::Mistake;
  line.mistake = std::move(message);
  return line;
}

bool endsInSeparator(std::string_view path) {
#ifdef _WIN32
  return path.ends_with('/') || path.ends_with('\\');
#else
  return path.ends_with('/');
#endif
}

// A FILE value names a file and a PREFIX value begins the names of files
// (PREFIX.fsp, ...): neither may be empty (the usual result of an unset
// shell variable), nor may a PREFIX name a folder alone. Empty when fine.
std::string fileNameMistake(const Option& option, const std::string& name, const std::string& value) {
  const std::string_view kind = option.valueName;
  if (kind != "FILE" && kind != "PREFIX") return {};
  if (value.empty()) return name + " needs a file name";
  if (kind == "PREFIX" && endsInSeparator(value))
    return name + " '" + value + "' ends in a folder: give the files' name after it ('" + value + "NAME')";
  return {};
}

}  // namespace

std::string optionNames(const Option& option) {
  std::string text;
  if (option.shortName != 0) text += std::string("-") + option.shortName;
  if (option.longName != nullptr) text += (text.empty() ? "--" : ", --") + std::string(option.longName);
  if (option.valueName != nullptr) text += std::string(" ") + option.valueName;
  return text;
}

CommandLine parseCommandLine(const Program& program, std::span<const std::string> args) {
  CommandLine line;
  bool optionsEnd = false;
  std::size_t i = 0;
  // Takes an option's value: the rest of its own argument from `from`, else
  // the next argument. Returns what is wrong, or nothing.
  auto takeValue = [&](const Option& option, const std::string& name, std::size_t from) -> std::string {
    if (from == std::string::npos && i + 1 == args.size()) return name + " needs a value (" + option.valueName + ")";
    std::string value = from != std::string::npos ? args[i].substr(from) : args[++i];
    std::string wrong = fileNameMistake(option, name, value);
    line.options.push_back({option.id, name, std::move(value)});
    return wrong;
  };
  for (; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnd || arg.size() < 2 || arg[0] != '-') {
      if (line.operands.size() == program.maxOperands) {
        return mistake(program.maxOperands == 0 ? "unexpected operand '" + arg + "'"
                                                : "one " + std::string(program.operands) +
                                                      " at a time: '" + arg + "' is one too many");
      }
      line.operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnd = true;
      continue;
    }
    if (arg[1] == '-') {
      const std::size_t equals = arg.find('=');
      const std::string name = arg.substr(0, equals);
      const std::string_view bare = std::string_view(name).substr(2);
      if (bare == "help" || bare == "version") {
        if (equals != std::string::npos) return mistake(name + " takes no value");
        return CommandLine{bare == "help" ? Outcome::Help : Outcome::Version, {}, {}, {}};
      }
      const Option* option = findLong(program, bare);
      if (option == nullptr) return mistake("unknown option '" + name + "'");
      if (option->valueName == nullptr) {
        if (equals != std::string::npos) return mistake(name + " takes no value");
        line.options.push_back({option->id, name, {}});
      } else if (std::string wrong = takeValue(*option, name, equals == std::string::npos ? equals : equals + 1);
                 !wrong.empty()) {
        return mistake(std::move(wrong));
      }
      continue;
    }
    // One or more short options: flags, the last of which may take a value.
    for (std::size_t k = 1; k < arg.size(); ++k) {
      const char letter = arg[k];
      const std::string name = std::string("-") + letter;
      if (letter == 'h') return CommandLine{Outcome::Help, {}, {}, {}};
      const Option* option = findShort(program, letter);
      if (option == nullptr) return mistake("unknown option '" + name + "'");
      if (option->valueName == nullptr) {
        line.options.push_back({option->id, name, {}});
        continue;
      }
      if (std::string wrong = takeValue(*option, name, k + 1 < arg.size() ? k + 1 : std::string::npos);
          !wrong.empty()) {
        return mistake(std::move(wrong));
      }
      break;
    }
  }
  return line;
}

CommandLine parseCommandLine(const Program& program, int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return parseCommandLine(program, args);
}

std::string usageLine(const Program& program) {
  return std::string("usage: ") + program.name + " [options] " + program.operands + "\n";
}

std::string helpText(const Program& program) {
  constexpr std::size_t kColumn = 24;  // where the descriptions start
  std::string text = usageLine(program) + "\n" + program.about + "\noptions:\n";
  auto entry = [&](const std::string& names, std::string_view help) {
    std::string left = "  " + names;
    left += left.size() + 2 <= kColumn ? std::string(kColumn - left.size(), ' ') : "\n" + std::string(kColumn, ' ');
    // Continuation lines of the help text line up under its first line.
    std::size_t start = 0;
    for (;;) {
      const std::size_t end = help.find('\n', start);
      text += (start == 0 ? left : std::string(kColumn, ' '));
      text += help.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
      text += '\n';
      if (end == std::string_view::npos) break;
      start = end + 1;
    }
  };
  for (const Option& option : program.options) entry(optionNames(option), option.help);
  entry("-h, --help", "show this help and exit");
  entry("--version", "show the version and exit");
  text += "\n";
  text += program.exitStatuses;
  return text;
}

int usageMistake(const Program& program, std::string_view message) {
  reportError(program.name, message);
  writeDiagnostic(usageLine(program) + "try '" + program.name + " --help' for more information\n");
  return kExitUsage;
}

std::optional<int> checkOutputs(const Program& program, std::span<const std::string> inputs,
                                std::span<const std::string> targets) {
  const std::string clash = checkTargets(inputs, targets);
  if (!clash.empty()) return usageMistake(program, clash);
  const std::string unwritable = checkWritable(targets);
  if (!unwritable.empty()) {
    reportError(program.name, unwritable);
    return kExitFailed;
  }
  return std::nullopt;
}

std::optional<int> settleCommandLine(const Program& program, const CommandLine& line, std::string_view valueMistake) {
  switch (line.outcome) {
    case Outcome::Run:
      if (!valueMistake.empty()) return usageMistake(program, valueMistake);
      return std::nullopt;
    case Outcome::Mistake: return usageMistake(program, line.mistake);
    case Outcome::Help: standardOutput().write(helpText(program)); break;
    case Outcome::Version:
      standardOutput().write(std::string(program.name) + " " + SLIP_VERSION + "\n");
      break;
  }
  return finishRun(program.name, kExitDone);
}

}  // namespace slip::cli
