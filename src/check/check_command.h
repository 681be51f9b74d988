// The slipcheck command: its options, its files and its exit statuses.
#pragma once

namespace slip::check {

// Exit statuses, as --help documents them.
inline constexpr int kExitClean = 0;     // a run would succeed, nothing found
inline constexpr int kExitWarnings = 1;  // a run would succeed, but the layout is off
inline constexpr int kExitError = 2;     // a run would fail (the model included, if it cannot be read)
inline constexpr int kExitUsage = 64;    // the command line is wrong

// Runs slipcheck with its command line and returns the exit status.
int runCheckCommand(int argc, char** argv);

}  // namespace slip::check
