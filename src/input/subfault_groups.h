// The order in which the model file describes the subfaults.
#pragma once

#include "base/grid.h"
#include "input/list_reader.h"

namespace slip {

// Reads one group of 14 records for every subfault, rows iw = 1..nw outside,
// columns il = 1..nl inside: a1(1..5), a2(1..5), slp35(1..49) in reads of
// 10, 10, 10, 10 and 9, two skipped records, then slp125 like slp35.
// `startStatement`, when not null, runs at the start of every request.
// Stops at the first failed request and returns its status.
ReadStatus readSubfaultGroups(ListReader& reader, SubfaultGrid& grid, void (*startStatement)());
// The same sequence read by an observed reader, as a checker reads it.
ReadStatus readSubfaultGroups(ObservedListReader& reader, SubfaultGrid& grid);

// The model file's shape: 14 requests a group, one group a subfault.
inline constexpr int kRequestsPerGroup = 14;

}  // namespace slip
