// The slipdeform command: its settings (deform_options.h) run on its files,
// and its exit statuses (0 done, 1 done with warnings, 2 a model or stations
// file refused or a file not read or written, 64 a mistake on the command
// line). What it computes comes from the parts beside it: the half-space
// solution (halfspace.h) on every core (parallel.h), at the points of
// points.h, into the files of deform_files.h.
#pragma once

namespace slip::deform {

// Runs slipdeform with its command line and returns the exit status.
int runDeform(int argc, char** argv);

}  // namespace slip::deform
