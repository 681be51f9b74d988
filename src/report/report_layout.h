// The report's layout: its eight sections in order, each with its title and
// the shape of its fixed-point fields, and the size of its data block.
//
// The report writer prints from this table and slipmap reads reports by it,
// so the two agree by construction.
#pragma once

#include "base/grid.h"

namespace slip::report {

inline constexpr int kSectionCount = 8;
inline constexpr int kDataRows = kGridRows;        // "W 1" .. "W22"
inline constexpr int kDataColumns = kGridColumns;  // "L 1" .. "L43"

struct SectionShape {
  const char* title;  // printed after one leading blank
  int width;          // fixed-point field: width and decimals
  int decimals;
};

// Indices into kSections.
enum Section : int {
  kSlip,
  kRake,
  kSlip35,
  kSlip125,
  kRuptureTime,
  kDistance,
  kLongitude,
  kLatitude,
};

inline constexpr SectionShape kSections[kSectionCount] = {
    {"Slip (m)", 10, 5},
    {"Rake (deg)", 10, 5},
    {"Slip of Rake = 35 degree (m)", 10, 5},
    {"Slip of Rake = 125 degree (m)", 10, 5},
    {"Rupture Time (s)", 10, 5},
    {"Distance from Epicenter (km)", 10, 5},
    {"Longitude (deg)", 12, 7},
    {"Latitude (deg)", 12, 7},
};

}  // namespace slip::report
