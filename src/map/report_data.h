// A report as slipmap reads it: the eight sections of 22 x 43 values, each
// value known or not ("no value": asterisks, inf, nan or an empty cell).
#pragma once

#include "report/report_layout.h"

namespace slip::map {

struct ReportData {
  double values[report::kSectionCount][report::kDataRows][report::kDataColumns] = {};
  bool known[report::kSectionCount][report::kDataRows][report::kDataColumns] = {};

  // Column il (1..43) of data row iw (1..22), as the report numbers them.
  double value(report::Section s, int il, int iw) const { return values[s][iw - 1][il - 1]; }
  bool has(report::Section s, int il, int iw) const { return known[s][iw - 1][il - 1]; }
  void set(report::Section s, int il, int iw, double v) {
    values[s][iw - 1][il - 1] = v;
    known[s][iw - 1][il - 1] = true;
  }
};

}  // namespace slip::map
