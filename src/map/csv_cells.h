// Splits one record of separated text (',' or ';') into trimmed, unquoted cells.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace slip::map {

struct Cell {
  std::string text;  // blanks (spaces, tabs) trimmed, quotes removed
  int column = 0;    // 1-based byte column where the cell's text starts
};

// Splits `record` (without its line end) at each `separator` outside double
// quotes. Returns false, with the column of the fault in *badColumn, for a
// quoted cell that does not end on the record or is followed by text.
bool splitCells(std::string_view record, std::vector<Cell>& cells, int* badColumn, char separator = ',');

}  // namespace slip::map
