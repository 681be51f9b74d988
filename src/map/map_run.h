// slipmap's whole run: the command line, the report, the figure, the exit status.
#pragma once

namespace slip::map {

inline constexpr int kExitDrawn = 0;
inline constexpr int kExitBadInput = 2;   // bad or unreadable report, unwritable figure
inline constexpr int kExitUsage = 64;     // a command-line mistake

int runSlipmap(int argc, char** argv);

}  // namespace slip::map
