// slipreport described as the companions describe themselves, for its manual
// page: it takes no arguments, so its table has no options and no --help.
#pragma once

#include "cli/options.h"

namespace slip::cli {

extern const Program kSlipreportProgram;

}  // namespace slip::cli
