// The slipsource command: its settings (source_options.h) run on its files,
// and its exit statuses (0 done, 1 done with warnings of the model, 2 a model
// or structure refused or a file not read or written, 64 a mistake on the
// command line). Everything it computes comes from the pure parts beside it
// (geometry.h, structure.h, moment.h, source_text.h).
#pragma once

namespace slip::source {

// Runs slipsource with its command line and returns the exit status.
int runSource(int argc, char** argv);

}  // namespace slip::source
