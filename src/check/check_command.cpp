#include "check/check_command.h"

#include <string>
#include <string_view>

#include "base/platform.h"
#include "check/model_reading.h"
#include "cli/diagnostics.h"
#include "cli/exit_status.h"
#include "cli/files.h"
#include "cli/options.h"

namespace slip::check {
namespace {

enum OptionId { kAll, kQuiet };

constexpr cli::Option kOptions[] = {
    {0, "all", nullptr, "show every warning, not only the first of each kind", kAll},
    {'q', "quiet", nullptr, "print the summary line alone", kQuiet},
};

const cli::Program kProgram = {
    "slipcheck",
    "[MODEL]",
    1,
    "Reads the slip-rate model MODEL (default rateA.dat) exactly as slipreport\n"
    "reads it and says where it goes wrong, to the line and column.\n",
    kOptions,
    "exit status:\n"
    "  0  a run would succeed, and nothing was found\n"
    "  1  a run would succeed, but there are warnings\n"
    "  2  a run would fail (an error, or a model that cannot be read)\n"
    "  64 the command line is wrong\n",
};

class StandardOutput final : public Output {
 public:
  void write(std::string_view text) override { cli::standardOutput().write(text); }
};

// A model that cannot be opened or read: the system's word for it, and the summary.
int cannotRead(const std::string& name, int error, const char* doing) {
  cli::reportError(kProgram.name, name + ": " + platform::errorText(error));
  cli::standardOutput().write(name + ": cannot be read: 1 error; a run would stop " + doing + " it\n");
  return cli::finishRun(kProgram.name, cli::kExitFailed);
}

}  // namespace

int runCheckCommand(int argc, char** argv) {
  const cli::CommandLine line = cli::parseCommandLine(kProgram, argc, argv);
  const int settled = cli::settleCommandLine(kProgram, line);
  if (settled >= 0) return settled;
  CheckOptions options;
  for (const cli::GivenOption& option : line.options) {
    if (option.id == kAll) options.all = true;
    if (option.id == kQuiet) options.quiet = true;
  }
  const std::string name = line.operands.empty() ? "rateA.dat" : line.operands.front();

  StandardOutput out;
  const ModelReading reading = readModel(name, options, out);
  const CheckResult& result = reading.result;
  if (!reading.opened) return cannotRead(name, result.systemError, "opening");
  if (result.systemError != 0) return cannotRead(name, result.systemError, "reading");
  if (result.errors > 0) return cli::finishRun(kProgram.name, cli::kExitFailed);
  return cli::finishRun(kProgram.name, result.warnings > 0 ? cli::kExitWarnings : cli::kExitDone);
}

}  // namespace slip::check
