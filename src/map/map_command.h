// The slipmap command: its settings (map_options.h) run on the report and
// the model: the figure, the exit status.
#pragma once

namespace slip::map {

// Runs slipmap with its command line and returns the exit status.
int runMap(int argc, char** argv);

}  // namespace slip::map
