// The slipcheck command: its options and its files.
#pragma once

namespace slip::check {

// Runs slipcheck with its command line and returns the exit status.
int runCheckCommand(int argc, char** argv);

}  // namespace slip::check
