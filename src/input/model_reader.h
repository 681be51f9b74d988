// Reads the slip-rate model file "rateA.dat" into the grid's input arrays.
#pragma once

#include "base/grid.h"

namespace slip {

// Opens unit 11 on "rateA.dat" (it must exist), reads the 946 subfault groups
// row by row into a1, a2, slp35 and slp125, and closes the unit. Any fault in
// the file ends the run through ioFatal.
void readModelFile(SubfaultGrid& grid);

}  // namespace slip
