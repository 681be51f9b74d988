// slipmap's command line: slipmap [options] [REPORT].
#pragma once

#include <string>

#include "cli/options.h"
#include "map/figure_layout.h"

namespace slip::map {

extern const cli::Program kProgram;  // slipmap's options, usage and help

struct Settings {
  std::string report = "rateA-out4.csv";
  std::string output;     // empty: the report's name with the extension .svg; "-": standard output
  std::string model;      // --model; empty: modelBeside(report), when that file exists
  std::string contour;    // --contour as given, for messages about it
  std::string displacement;  // --displacement: slipdeform's station CSV; empty: none
  FigureOptions figure;
};

// The settings a command line asks for. Returns what is wrong with a value, or "".
std::string readSettings(const cli::CommandLine& line, Settings& settings);

// The figure's default name: the report's with its extension replaced by
// ".svg" ("run/rateA-out4.csv" -> "run/rateA-out4.svg", "report" -> "report.svg").
std::string figurePathFor(const std::string& report);

// The model a report was made from, when it was made in place: rateA.dat in
// the report's folder ("run/R.csv" -> "run/rateA.dat"); none for "-".
std::string modelBeside(const std::string& report);

}  // namespace slip::map
