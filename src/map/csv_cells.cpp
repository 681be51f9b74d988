#include "map/csv_cells.h"

namespace slip::map {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trimmed(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

int columnOf(std::size_t index) { return static_cast<int>(index) + 1; }

// Reads the quoted cell whose opening quote is at `at`; leaves `at` on the
// separator after it or at the end. False when the cell is malformed.
bool quotedCell(std::string_view record, std::size_t& at, Cell& cell, int* badColumn, char separator) {
  const std::size_t open = at++;
  std::string text;
  for (;;) {
    if (at >= record.size()) {
      *badColumn = columnOf(open);
      return false;
    }
    if (record[at] == '"') {
      if (at + 1 < record.size() && record[at + 1] == '"') {
        text += '"';
        at += 2;
        continue;
      }
      ++at;
      break;
    }
    text += record[at++];
  }
  while (at < record.size() && isBlank(record[at])) ++at;
  if (at < record.size() && record[at] != separator) {
    *badColumn = columnOf(at);
    return false;
  }
  cell.text = trimmed(text);
  cell.column = columnOf(open + 1);
  return true;
}

}  // namespace

bool splitCells(std::string_view record, std::vector<Cell>& cells, int* badColumn, char separator) {
  cells.clear();
  std::size_t at = 0;
  for (;;) {
    std::size_t start = at;
    while (at < record.size() && isBlank(record[at])) ++at;
    Cell cell;
    if (at < record.size() && record[at] == '"') {
      if (!quotedCell(record, at, cell, badColumn, separator)) return false;
    } else {
      cell.column = columnOf(at < record.size() && record[at] != separator ? at : start);
      const std::size_t comma = record.find(separator, at);
      const std::size_t end = comma == std::string_view::npos ? record.size() : comma;
      cell.text = trimmed(record.substr(at, end - at));
      at = end;
    }
    cells.push_back(std::move(cell));
    if (at >= record.size()) return true;
    ++at;  // the separator
  }
}

}  // namespace slip::map
