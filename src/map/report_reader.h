// Reads a report as slipreport writes it and as a spreadsheet saves it again.
//
// Accepted: LF, CR LF or CR line ends; a UTF-8 byte-order mark; ',' or ';'
// between cells (with ';' a ',' in a number is its decimal point: "0,5");
// cells in double quotes ("" inside is one quote); blanks around cells; rows
// padded with empty cells; numbers written any way a spreadsheet writes them
// ("0.5", "1.5E-03", "+2", "1e300"). The eight
// sections are found by their titles, in any order, each followed at once by
// its header "W/L,L 1,...,L43[,L]" and its rows "W 1".."W22" of 43 values.
// Empty records (or records of empty cells) may stand between sections.
//
// A value cell of asterisks, "inf", "nan" (any case, any sign), a number
// beyond the largest double, or nothing is "no value"; every other number is
// a value, whatever its size. Columns count bytes after the byte-order mark.
#pragma once

#include <string>
#include <string_view>

#include "map/report_data.h"

namespace slip::map {

struct ReadError {
  int line = 0;    // 1-based
  int column = 0;  // 1-based byte column
  int lastColumn = 0;  // the last byte column of the text at fault (>= column), 0 when it is one place
  std::string message;
};

// Fills `data` and returns true for a report; otherwise returns false and
// says in `error` where the text stops being one and what was expected there.
bool readReport(std::string_view text, ReportData& data, ReadError& error);

}  // namespace slip::map
