// A model file read for a companion that needs its values (slipsource, and
// slipmap's moment-rate panel): the run's own reader into the run's grid, so
// every value is the one slipreport reads. A model a run would refuse is
// refused with slipcheck's located diagnostic (FILE:LINE:COL: error: ...).
#pragma once

#include <string>

#include "driver/grid.h"

namespace slip::source {

// Reads `name` into `grid`. Returns -1 when the model was read whole, else the
// exit status after the diagnostic (`program` names the program in a system
// error: "slipsource: error: rateA.dat: cannot read: ...").
int readModelFile(const char* program, const std::string& name, SubfaultGrid& grid);

}  // namespace slip::source
