// The slipcheck command: its settings (check_options.h) run on its model.
#pragma once

namespace slip::check {

// Runs slipcheck with its command line and returns the exit status.
int runCheck(int argc, char** argv);

}  // namespace slip::check
