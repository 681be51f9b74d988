// The companions' option parser on arbitrary command lines: the input's
// bytes split at NUL into arguments. Whatever they are, parsing ends with one
// outcome, a run's operands fit the program, and every option is one it declared.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/options.h"
#include "map/map_options.h"

namespace {

enum { kFile, kFlag, kNumber };
constexpr slip::cli::Option kOptions[] = {
    {'o', "output", "FILE", "", kFile},
    {'q', "quiet", nullptr, "", kFlag},
    {0, "number", "N", "", kNumber},
};
const slip::cli::Program kProgram = {"fuzz", "[INPUT]", 1, "", kOptions, ""};

void require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.emplace_back();
    } else {
      args.back() += static_cast<char>(data[i]);
    }
  }
  const slip::cli::CommandLine line = slip::cli::parseCommandLine(kProgram, args);
  if (line.outcome == slip::cli::Outcome::Run) {
    require(line.operands.size() <= kProgram.maxOperands);
    for (const auto& option : line.options) {
      require(option.id >= kFile && option.id <= kNumber);
      require(option.id != kFlag || option.value.empty());
      double number = 0;
      if (option.id == kNumber) slip::cli::parseNumber(option.value, number);
    }
  }
  require((line.outcome == slip::cli::Outcome::Mistake) == !line.mistake.empty());
  // slipmap's own values on top of the table.
  const slip::cli::CommandLine mapLine = slip::cli::parseCommandLine(slip::map::kProgram, args);
  slip::map::Settings settings;
  if (mapLine.outcome == slip::cli::Outcome::Run && slip::map::readSettings(mapLine, settings).empty()) {
    require(settings.figure.pixelWidth >= 100 && settings.figure.pixelWidth <= 20000);
    require(settings.figure.contourStep >= 0.0);
  }
  return 0;
}
