// slipsource's command line: slipsource [options] [MODEL].
#pragma once

#include <string>

#include "cli/options.h"
#include "source/exchange_files.h"
#include "science/geometry.h"
#include "science/moment.h"

namespace slip::source {

extern const cli::Program kProgram;  // slipsource's options, usage and help

struct Settings {
  std::string model = "rateA.dat";
  std::string structure;  // empty: a constant rigidity
  std::string mr;         // empty: no table
  bool json = false;
  GeometryOptions geometry;
  Rigidity rigidity;
  Timing timing;
  ExchangeFiles exchange;
};

// The settings a command line asks for. Returns what is wrong with a value
// or with the values together, or "".
std::string readSettings(const cli::CommandLine& line, Settings& settings);

}  // namespace slip::source
