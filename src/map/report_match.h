// Whether a report was made from a model: its slip section against the slip
// the model composes, both as the report prints them (10 characters, 5
// decimals), so that a report saved again by a spreadsheet ("0.5" for
// "   0.50000") still matches and a report of another model does not.
#pragma once

#include <string>

#include "base/grid.h"
#include "map/report_data.h"

namespace slip::map {

// The first subfault, row by row as the report runs, whose slip differs.
struct SlipDifference {
  int il = 0, iw = 0;   // 0: none differs
  std::string report;   // the report's value as the report prints it, %g beyond its field ("no value": none)
  std::string model;    // the model's
  explicit operator bool() const { return il > 0; }
};

// `grid` composed (its slip filled).
SlipDifference firstSlipDifference(const ReportData& data, const SubfaultGrid& grid);

}  // namespace slip::map
