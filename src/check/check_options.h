// slipcheck's command line: slipcheck [options] [MODEL].
#pragma once

#include <string>

#include "check/model_check.h"
#include "cli/options.h"

namespace slip::check {

extern const cli::Program kProgram;  // slipcheck's options, usage and help

struct CheckSettings {
  std::string model = "rateA.dat";
  CheckOptions check;
};

// The settings a command line asks for. Returns what is wrong with a value,
// or "" (slipcheck's options are flags: nothing can be).
std::string readSettings(const cli::CommandLine& line, CheckSettings& settings);

}  // namespace slip::check
