#include "map/report_reader.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "map/csv_cells.h"

namespace slip::map {
namespace {

using report::kDataColumns;
using report::kDataRows;
using report::kSectionCount;

// The records of the text, each without its line end (LF, or CR LF).
std::vector<std::string_view> recordsOf(std::string_view text) {
  std::vector<std::string_view> records;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    if (end > at && text[end - 1] == '\r') --end;
    records.push_back(text.substr(at, end - at));
    at = next;
  }
  return records;
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

// The value of a data cell of a section whose fields have `width` and `decimals`.
Number parseValue(const std::string& text, const report::SectionShape& shape, double& value) {
  if (isNoValue(text)) return Number::NoValue;
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (*begin == '+' && end - begin > 1 && begin[1] != '-') ++begin;
  auto [stop, ec] = std::from_chars(begin, end, value);
  if (stop != end) return Number::Bad;
  if (ec == std::errc::result_out_of_range) return Number::NoValue;
  if (ec != std::errc()) return Number::Bad;
  // The field's integer digits: a larger number would have been asterisks.
  const double limit = std::pow(10.0, shape.width - shape.decimals - 1);
  return std::fabs(value) < limit ? Number::Value : Number::NoValue;
}

class Reader {
 public:
  Reader(std::string_view text, ReportData& data, ReadError& error)
      : records_(recordsOf(text)), data_(data), error_(error) {}

  bool read() {
    bool seen[kSectionCount] = {};
    for (;;) {
      while (next_ < records_.size() && load(next_) && blank()) ++next_;
      if (!error_.message.empty()) return false;
      if (next_ >= records_.size()) break;
      int index = titleIndex();
      if (index < 0) return false;
      if (seen[index]) return fail(cells_[0].column, "section " + quoted(report::kSections[index].title) +
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
  bool failAtEnd(const std::string& expected) {
    next_ = records_.size();
    return fail(1, expected + ", found the end of the file");
  }

  // Splits record `i` into cells_; false (with the error set) when it cannot.
  bool load(std::size_t i) {
    int badColumn = 0;
    if (splitCells(records_[i], cells_, &badColumn)) return true;
    fail(badColumn, "expected a quoted cell to end with '\"' before the next ',' or the end of the record");
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

  int titleIndex() {
    for (int i = 0; i < kSectionCount; ++i) {
      if (cell(0) == report::kSections[i].title && emptyFrom(1)) return i;
    }
    fail(cells_[0].column, "expected the title of a section, found " + shown(cell(0)));
    return -1;
  }

  bool header(int index) {
    const std::string what = " in the header of section " + quoted(report::kSections[index].title);
    if (next_ >= records_.size()) return failAtEnd("expected \"W/L\"" + what);
    if (!load(next_)) return false;
    if (cell(0) != "W/L") return fail(cells_[0].column, "expected \"W/L\"" + what + ", found " + shown(cell(0)));
    for (std::size_t il = 1; il <= kDataColumns; ++il) {
      const std::string label = "L" + std::to_string(il);
      if (il >= cells_.size()) return fail(endColumn(), "expected " + quoted(label.c_str()) + what + ", found the end of the record");
      if (squeezed(cell(il)) != label) return fail(cells_[il].column, "expected " + quoted(label.c_str()) + what + ", found " + shown(cell(il)));
    }
    const std::size_t after = kDataColumns + 1;
    if (after < cells_.size() && !cell(after).empty() && cell(after) != "L") {
      return fail(cells_[after].column, "expected the end of the header" + what + ", found " + shown(cell(after)));
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
      if (squeezed(cell(0)) != label) return fail(cells_[0].column, "expected row " + quoted(label.c_str()) + what + ", found " + shown(cell(0)));
      if (!values(static_cast<report::Section>(index), iw, label + what)) return false;
      ++next_;
    }
    return true;
  }

  bool values(report::Section section, int iw, const std::string& row) {
    const report::SectionShape& shape = report::kSections[section];
    const std::size_t found = cells_.size() - 1;
    for (int il = 1; il <= kDataColumns; ++il) {
      const std::size_t i = static_cast<std::size_t>(il);
      if (i >= cells_.size()) {
        return fail(endColumn(), "expected 43 values in row " + row + ", found " + std::to_string(found));
      }
      double value = 0.0;
      switch (parseValue(cell(i), shape, value)) {
        case Number::Value: data_.set(section, il, iw, value); break;
        case Number::NoValue: break;
        case Number::Bad:
          return fail(cells_[i].column, "expected a number in column L" + std::to_string(il) + " of row " + row +
                                            ", found " + shown(cell(i)));
      }
    }
    if (!emptyFrom(kDataColumns + 1)) {
      return fail(firstFilled(kDataColumns + 1), "expected 43 values in row " + row + ", found more");
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
