#include "check/check_options.h"

namespace slip::check {
namespace {

enum OptionId { kAllWarnings, kQuiet };

// --all was this option's name up to 1.0; slipsource's --all writes every
// format, so here it became --all-warnings, the old name kept until 1.2.
constexpr cli::Option kOptions[] = {
    {'a', "all-warnings", nullptr, "show every warning, not only the first of each kind", kAllWarnings},
    {0, "all", nullptr, "the old name of --all-warnings, accepted until release 1.2", kAllWarnings},
    {'q', "quiet", nullptr, "print the summary line alone", kQuiet},
};

}  // namespace

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
    "say where a slip-rate model file goes wrong, to the line and column",
};

std::string readSettings(const cli::CommandLine& line, CheckSettings& settings) {
  for (const cli::GivenOption& option : line.options) {
    if (option.id == kAllWarnings) settings.check.all = true;
    if (option.id == kQuiet) settings.check.quiet = true;
  }
  if (!line.operands.empty()) settings.model = line.operands.front();
  return {};
}

}  // namespace slip::check
