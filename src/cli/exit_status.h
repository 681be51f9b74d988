// The companions' exit statuses, the same for every one of them.
#pragma once

namespace slip::cli {

inline constexpr int kExitDone = 0;      // done, nothing to report
inline constexpr int kExitWarnings = 1;  // done, with warnings
inline constexpr int kExitFailed = 2;    // bad input, or a failed read or write
inline constexpr int kExitUsage = 64;    // a mistake on the command line
// Stopped by SIGINT or SIGTERM (and by a console break on Windows): 128 plus
// the signal's number, as shells report it (130, 143).
inline constexpr int kExitInterrupted = 130;
inline constexpr int kExitTerminated = 143;

}  // namespace slip::cli
