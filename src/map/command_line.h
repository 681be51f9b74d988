// slipmap's command line: slipmap [options] [REPORT].
#pragma once

#include <string>
#include <vector>

#include "map/figure_layout.h"

namespace slip::map {

enum class Action { Draw, Help, Version, Mistake };

struct Command {
  Action action = Action::Draw;
  std::string report = "rateA-out4.csv";
  std::string output;   // empty: the report's name with the extension .svg; "-": standard output
  FigureOptions figure;
  std::string mistake;  // Mistake: what is wrong, for standard error
};

extern const char kUsage[];  // the one-line synopsis
extern const char kHelp[];   // the whole --help text

// The arguments after the program's name.
Command parseCommandLine(const std::vector<std::string>& args);

// The figure's default name: the report's with its extension replaced by
// ".svg" ("run/rateA-out4.csv" -> "run/rateA-out4.svg", "report" -> "report.svg").
std::string figurePathFor(const std::string& report);

// The last component of a path, for the figure's title.
std::string baseName(const std::string& path);

}  // namespace slip::map
