// Writes the report "rateA-out4.csv": eight sections of title, header and 22 rows.
#pragma once

#include "base/grid.h"

namespace slip {

// Writes the report's 199 records to unit 12, which must be open. Calls
// computeDistanceRow for each row of the distance section just before it.
void writeReport(SubfaultGrid& grid);

}  // namespace slip
