#include "map/report_reader.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "map/csv_cells.h"

namespace slip::map {
namespace {

using report::kDataColumns;
using report::kDataRows;
using report::kSectionCount;

// The records of the text, each without its line end: LF, CR LF, or a CR
// alone (as some spreadsheets end lines). A UTF-8 byte-order mark before the
// first record is not part of it, nor of its columns.
std::vector<std::string_view> recordsOf(std::string_view text) {
  if (text.substr(0, 3) == "\xef\xbb\xbf") text.remove_prefix(3);
  std::vector<std::string_view> records;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find_first_of("\r\n", at);
    if (end == std::string_view::npos) end = text.size();
    std::size_t next = end + 1;
    if (end < text.size() && text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
    records.push_back(text.substr(at, end - at));
    at = next;
  }
  return records;
}

// The cell separator: ';' when the first header reads "W/L;" (a spreadsheet
// set to decimal commas saves so), else ','.
char separatorOf(const std::vector<std::string_view>& records) {
  for (std::string_view record : records) {
    const std::size_t start = record.find_first_not_of(" \t\"");
    if (start == std::string_view::npos || record.substr(start, 3) != "W/L") continue;
    const std::size_t after = record.find_first_not_of(" \t\"", start + 3);
    return after != std::string_view::npos && record[after] == ';' ? ';' : ',';
  }
  return ',';
}

// Shows a cell's text in a diagnostic: quoted, shortened, bytes outside
// printable ASCII as '?'.
std::string shown(const std::string& text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size() && i < 40; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    out += c >= 0x20 && c < 0x7f ? static_cast<char>(c) : '?';
  }
  if (text.size() > 40) out += "...";
  return out + "\"";
}

std::string quoted(const char* text) { return std::string("\"") + text + "\""; }

// The text without blanks: "L 7" and "L7" name the same column.
std::string squeezed(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c != ' ' && c != '\t') out += c;
  }
  return out;
}

bool lowerEquals(const std::string& text, const char* word) {
  std::size_t i = 0;
  for (; word[i] != '\0'; ++i) {
    if (i >= text.size()) return false;
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != word[i]) return false;
  }
  return i == text.size();
}

bool isNoValue(const std::string& text) {
  if (text.empty()) return true;
  if (text.find_first_not_of('*') == std::string::npos) return true;
  std::string unsigned_ = text[0] == '-' || text[0] == '+' ? text.substr(1) : text;
  return lowerEquals(unsigned_, "inf") || lowerEquals(unsigned_, "infinity") ||
         lowerEquals(unsigned_, "nan");
}

enum class Number { Value, NoValue, Bad };

// The power of ten of the leading digit of a number from_chars found out of
// range ("1e400": 400, "0.1e-400": -401): below 0 the number is too small for
// a double and reads as zero, otherwise too large and reads as infinite.
long long leadingPower(const char* begin, const char* end) {
  if (begin < end && (*begin == '-' || *begin == '+')) ++begin;
  const char* stop = begin;
  while (stop < end && ((*stop >= '0' && *stop <= '9') || *stop == '.')) ++stop;
  const char* point = std::find(begin, stop, '.');
  const char* first = begin;
  while (first < stop && (*first == '0' || *first == '.')) ++first;
  long long power = first < point ? point - first - 1 : point - first;
  long long exponent = 0;
  if (stop < end && (*stop == 'e' || *stop == 'E')) {
    const bool negative = stop + 1 < end && stop[1] == '-';
    for (const char* p = stop + 1; p < end; ++p) {
      if (*p >= '0' && *p <= '9' && exponent < 1000000000) exponent = exponent * 10 + (*p - '0');
    }
    if (negative) exponent = -exponent;
  }
  return power + exponent;
}

// The value of a data cell. Every finite number is a value, whatever its
// size (a number below the smallest double reads as zero); `decimalComma`
// reads ',' as the decimal point.
Number parseValue(std::string text, bool decimalComma, double& value) {
  if (isNoValue(text)) return Number::NoValue;
  if (decimalComma) std::replace(text.begin(), text.end(), ',', '.');
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (*begin == '+' && end - begin > 1 && begin[1] != '-') ++begin;
  auto [stop, ec] = std::from_chars(begin, end, value);
  if (stop != end) return Number::Bad;
  if (ec == std::errc::result_out_of_range) {
    if (leadingPower(begin, end) >= 0) return Number::NoValue;
    value = *begin == '-' ? -0.0 : 0.0;
    return Number::Value;
  }
  return ec == std::errc() ? Number::Value : Number::Bad;
}

class Reader {
 public:
  Reader(std::string_view text, ReportData& data, ReadError& error)
      : records_(recordsOf(text)), separator_(separatorOf(records_)), data_(data), error_(error) {}

  bool read() {
    bool seen[kSectionCount] = {};
    for (;;) {
      while (next_ < records_.size() && load(next_) && blank()) ++next_;
      if (!error_.message.empty()) return false;
      if (next_ >= records_.size()) break;
      int index = titleIndex(std::none_of(seen, seen + kSectionCount, [](bool s) { return s; }));
      if (index < 0) return false;
      if (seen[index]) return failCell(0, "section " + quoted(report::kSections[index].title) +
                                                         " appears a second time");
      seen[index] = true;
      ++next_;
      if (!header(index) || !rows(index)) return false;
    }
    for (int i = 0; i < kSectionCount; ++i) {
      if (!seen[i]) return failAtEnd("expected section " + quoted(report::kSections[i].title));
    }
    return true;
  }

 private:
  bool fail(int column, std::string message) {
    error_.line = static_cast<int>(next_) + 1;
    error_.column = column;
    error_.message = std::move(message);
    return false;
  }
  // A fault in cell i: the caret's range is the cell's text.
  bool failCell(std::size_t i, std::string message) {
    fail(cells_[i].column, std::move(message));
    if (!cell(i).empty()) error_.lastColumn = cells_[i].column + static_cast<int>(cell(i).size()) - 1;
    return false;
  }
  bool failAtEnd(const std::string& expected) {
    next_ = records_.size();
    return fail(1, expected + ", found the end of the file");
  }

  // Splits record `i` into cells_; false (with the error set) when it cannot.
  bool load(std::size_t i) {
    int badColumn = 0;
    if (splitCells(records_[i], cells_, &badColumn, separator_)) return true;
    fail(badColumn, std::string("expected a quoted cell to end with '\"' before the next '") + separator_ +
                        "' or the end of the record");
    return false;
  }

  bool blank() const {
    for (const Cell& cell : cells_) {
      if (!cell.text.empty()) return false;
    }
    return true;
  }
  bool emptyFrom(std::size_t first) const {
    for (std::size_t i = first; i < cells_.size(); ++i) {
      if (!cell(i).empty()) return false;
    }
    return true;
  }
  const std::string& cell(std::size_t i) const { return cells_[i].text; }

  // `first`: no section has been read yet.
  int titleIndex(bool first) {
    for (int i = 0; i < kSectionCount; ++i) {
      if (cell(0) == report::kSections[i].title && emptyFrom(1)) return i;
    }
    std::string message = "expected the title of a section, found " + shown(cell(0));
    // A file that opens with a number is a model, the report's own input.
    const std::size_t text = cell(0).find_first_not_of(" \t");
    const bool number = text != std::string::npos && std::string_view("0123456789+-.").find(cell(0)[text]) !=
                                                         std::string_view::npos;
    if (first && number) {
      message += ": this is a slip-rate model, not a report; run slipreport on it and give slipmap its report";
    }
    failCell(0, std::move(message));
    return -1;
  }

  bool header(int index) {
    const std::string what = " in the header of section " + quoted(report::kSections[index].title);
    if (next_ >= records_.size()) return failAtEnd("expected \"W/L\"" + what);
    if (!load(next_)) return false;
    if (cell(0) != "W/L") return failCell(0, "expected \"W/L\"" + what + ", found " + shown(cell(0)));
    for (std::size_t il = 1; il <= kDataColumns; ++il) {
      const std::string label = "L" + std::to_string(il);
      if (il >= cells_.size()) return fail(endColumn(), "expected " + quoted(label.c_str()) + what + ", found the end of the record");
      if (squeezed(cell(il)) != label) return failCell(il, "expected " + quoted(label.c_str()) + what + ", found " + shown(cell(il)));
    }
    const std::size_t after = kDataColumns + 1;
    if (after < cells_.size() && !cell(after).empty() && cell(after) != "L") {
      return failCell(after, "expected the end of the header" + what + ", found " + shown(cell(after)));
    }
    if (!emptyFrom(after + 1)) return fail(firstFilled(after + 1), "expected the end of the header" + what);
    ++next_;
    return true;
  }

  bool rows(int index) {
    const report::SectionShape& shape = report::kSections[index];
    for (int iw = 1; iw <= kDataRows; ++iw) {
      const std::string label = "W" + std::to_string(iw);
      const std::string what = " of section " + quoted(shape.title);
      if (next_ >= records_.size()) return failAtEnd("expected row " + quoted(label.c_str()) + what);
      if (!load(next_)) return false;
      if (squeezed(cell(0)) != label) return failCell(0, "expected row " + quoted(label.c_str()) + what + ", found " + shown(cell(0)));
      if (!values(static_cast<report::Section>(index), iw, label + what)) return false;
      ++next_;
    }
    return true;
  }

  bool values(report::Section section, int iw, const std::string& row) {
    const std::size_t found = cells_.size() - 1;
    for (int il = 1; il <= kDataColumns; ++il) {
      const std::size_t i = static_cast<std::size_t>(il);
      if (i >= cells_.size()) {
        return fail(endColumn(), "expected " + std::to_string(kDataColumns) + " values in row " + row + ", found " + std::to_string(found));
      }
      double value = 0.0;
      switch (parseValue(cell(i), separator_ == ';', value)) {
        case Number::Value: data_.set(section, il, iw, value); break;
        case Number::NoValue: break;
        case Number::Bad:
          return failCell(i, "expected a number in column L" + std::to_string(il) + " of row " + row +
                                            ", found " + shown(cell(i)));
      }
    }
    if (!emptyFrom(kDataColumns + 1)) {
      return fail(firstFilled(kDataColumns + 1), "expected " + std::to_string(kDataColumns) + " values in row " + row + ", found more");
    }
    return true;
  }

  int endColumn() const { return static_cast<int>(records_[next_].size()) + 1; }
  int firstFilled(std::size_t first) const {
    for (std::size_t i = first; i < cells_.size(); ++i) {
      if (!cell(i).empty()) return cells_[i].column;
    }
    return endColumn();
  }

  std::vector<std::string_view> records_;
  char separator_;
  std::size_t next_ = 0;
  std::vector<Cell> cells_;
  ReportData& data_;
  ReadError& error_;
};

}  // namespace

bool readReport(std::string_view text, ReportData& data, ReadError& error) {
  data = ReportData();
  error = ReadError();
  return Reader(text, data, error).read();
}

}  // namespace slip::map
