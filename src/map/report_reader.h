// Reads a report as slipreport writes it and as a spreadsheet saves it again.
//
// Accepted: LF or CR LF line ends; cells in double quotes ("" inside is one
// quote); blanks around cells; rows padded with empty cells; numbers written
// any way a spreadsheet writes them ("0.5", "1.5E-03", "+2"). The eight
// sections are found by their titles, in any order, each followed at once by
// its header "W/L,L 1,...,L43[,L]" and its rows "W 1".."W22" of 43 values.
// Empty records (or records of empty cells) may stand between sections.
//
// A value cell of asterisks, "inf", "nan" (any case, any sign) or nothing is
// "no value", and so is a number too large for the section's field, which
// the report itself would have printed as asterisks.
#pragma once

#include <string>
#include <string_view>

#include "map/report_data.h"

namespace slip::map {

struct ReadError {
  int line = 0;    // 1-based
  int column = 0;  // 1-based byte column
  std::string message;
};

// Fills `data` and returns true for a report; otherwise returns false and
// says in `error` where the text stops being one and what was expected there.
bool readReport(std::string_view text, ReportData& data, ReadError& error);

}  // namespace slip::map
