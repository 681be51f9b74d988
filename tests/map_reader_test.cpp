// The report reader: the forms a report comes in, and where each kind of
// damage is reported.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "map/report_reader.h"
#include "tool_runner.h"

namespace slip::map {
namespace {

const std::string kExample = testing::readFile(std::string(SLIP_SOURCE_DIR) + "/tests/data/example-report.csv");

std::vector<std::string> split(const std::string& text, char at) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == at) {
      parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

// The report as a spreadsheet saves it again: cells trimmed, numbers in the
// shortest form ("0", "1.5E-03"), text cells quoted, every row padded to 45
// cells, `eol` line ends. With `separator` ';' the numbers have decimal
// commas ("7,21353"), as a spreadsheet set to such a locale writes them.
std::string spreadsheetForm(const std::string& report, char separator = ',', const char* eol = "\r\n") {
  std::string out;
  for (const std::string& line : split(report.substr(0, report.size() - 1), '\n')) {
    std::vector<std::string> cells = split(line, ',');
    cells.resize(45);
    for (std::string& cell : cells) {
      cell.erase(0, cell.find_first_not_of(' ') == std::string::npos ? cell.size() : cell.find_first_not_of(' '));
      char* end = nullptr;
      const double v = std::strtod(cell.c_str(), &end);
      char shortest[32];
      std::snprintf(shortest, sizeof shortest, v != 0.0 && v > -0.01 && v < 0.01 ? "%.4E" : "%.10g", v);
      if (separator == ';') std::replace(shortest, shortest + sizeof shortest, '.', ',');
      if (!cell.empty() && *end == '\0') cell = shortest;
      else if (!cell.empty()) cell = "\"" + cell + "\"";
    }
    for (std::size_t i = 0; i < cells.size(); ++i) out += (i ? std::string(1, separator) : "") + cells[i];
    out += eol;
  }
  return out;
}

std::string withLineEnds(const std::string& text, const char* eol) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string(eol) : std::string(1, c);
  return out;
}

struct Read {
  std::unique_ptr<ReportData> data = std::make_unique<ReportData>();
  ReadError error;
  bool ok = false;
};

Read read(const std::string& text) {
  Read r;
  r.ok = readReport(text, *r.data, r.error);
  return r;
}

void expectExampleValues(const Read& r) {
  ASSERT_TRUE(r.ok) << r.error.line << ":" << r.error.column << ": " << r.error.message;
  EXPECT_EQ(r.data->value(report::kSlip, 21, 11), 7.21353);
  EXPECT_EQ(r.data->value(report::kLongitude, 1, 1), -109.769);
  EXPECT_EQ(r.data->value(report::kRuptureTime, 1, 1), 39.22);
  EXPECT_TRUE(r.data->has(report::kLatitude, 43, 22));
}

// Every form a spreadsheet gives the report back in reads as the report.
TEST(MapReader, ReadsTheReportInEachForm) {
  const struct { const char* form; std::string text; } forms[] = {
      {"as written", kExample},
      {"CR LF", withLineEnds(kExample, "\r\n")},
      {"CR alone", withLineEnds(kExample, "\r")},
      {"byte-order mark", "\xef\xbb\xbf" + kExample},
      {"re-saved", spreadsheetForm(kExample)},
      {"';' and decimal commas", spreadsheetForm(kExample, ';')},
      {"all of it, CR alone", "\xef\xbb\xbf" + spreadsheetForm(kExample, ';', "\r") + ";;\r\r"},
  };
  for (const auto& f : forms) {
    SCOPED_TRACE(f.form);
    expectExampleValues(read(f.text));
  }
}

// Replaces the `n`th occurrence (from 0) of `what` in the example.
std::string edited(const std::string& what, const std::string& with, int n = 0) {
  std::string text = kExample;
  std::size_t at = text.find(what);
  while (n-- > 0) at = text.find(what, at + 1);
  return text.replace(at, what.size(), with);
}

// Slip of W 1, L 1 written as each cell a report may come back with: every
// finite number is a value, whatever its size; the rest has none.
TEST(MapReader, ValueCells) {
  const double none = std::nan("");
  const struct { const char* cell; double value; } cases[] = {
      {"10000", 1e4}, {"1e4", 1e4}, {"1e300", 1e300}, {"-2.5", -2.5}, {"+0.5", 0.5}, {" +1E-3 ", 1e-3},
      {"\"7.5\"", 7.5}, {"5e-324", 5e-324}, {"1e-400", 0.0}, {"-0.1e-399", 0.0},
      {"1e400", none}, {"**********", none}, {"inf", none}, {"-Inf", none}, {"NaN", none}, {"", none}, {"  ", none},
  };
  for (const auto& c : cases) {
    const Read r = read(edited("   0.00000", c.cell));
    ASSERT_TRUE(r.ok) << c.cell << ": " << r.error.message;
    EXPECT_EQ(r.data->has(report::kSlip, 1, 1), !std::isnan(c.value)) << c.cell;
    if (!std::isnan(c.value)) {
      EXPECT_EQ(r.data->value(report::kSlip, 1, 1), c.value) << c.cell;
    }
    EXPECT_TRUE(r.data->has(report::kSlip, 2, 1)) << c.cell;
  }
}

// Line 3 is the first data row; its first digits are at column 8. A row
// that lost its last value but kept the trailing comma reads as a last cell
// of no value: only a row without it is short.
TEST(MapReader, DamageIsReportedWhereItIs) {
  const std::string lastSection = kExample.substr(kExample.find(" Latitude"));
  const struct {
    std::string text;
    int line, column;
    std::string message;
  } cases[] = {
      {edited("   0.00000", "   0.0x000"), 3, 8,
       "expected a number in column L1 of row W1 of section \"Slip (m)\", found \"0.0x000\""},
      {edited(" Rake (deg)", " Rake"), 26, 2, "expected the title of a section, found \"Rake\""},
      {edited("W 7,", "W 8,"), 9, 1, "expected row \"W7\" of section \"Slip (m)\", found \"W 8\""},
      {edited(",L17,", ",L 7,"), 2, 69, "expected \"L17\" in the header of section \"Slip (m)\", found \"L 7\""},
      {edited("W/L,", "W-L,"), 2, 1, "expected \"W/L\" in the header of section \"Slip (m)\", found \"W-L\""},
      {edited(",   0.00000,\n", "\n"), 3, 466, "expected 43 values in row W1 of section \"Slip (m)\", found 42"},
      {edited(",   0.00000,\n", ",   0.00000,   1.00000,\n"), 3, 481,
       "expected 43 values in row W1 of section \"Slip (m)\", found more"},
      {kExample.substr(0, kExample.find("W22")), 24, 1,
       "expected row \"W22\" of section \"Slip (m)\", found the end of the file"},
      {kExample.substr(0, kExample.size() - lastSection.size()), 176, 1,
       "expected section \"Latitude (deg)\", found the end of the file"},
      {kExample + lastSection, 200, 2, "section \"Latitude (deg)\" appears a second time"},
      {edited("W 1,", "W 1,\"0.5"), 3, 5,
       "expected a quoted cell to end with '\"' before the next ',' or the end of the record"},
      {"", 1, 1, "expected section \"Slip (m)\", found the end of the file"},
      // Columns count from after a byte-order mark, as an editor shows them.
      {"\xef\xbb\xbf" + edited(" Slip (m)", " Slap (m)"), 1, 2, "expected the title of a section, found \"Slap (m)\""},
      {[] {
         const std::string semicolons = spreadsheetForm(kExample, ';');
         return semicolons.substr(0, semicolons.find("\"W 1\";") + 6) + "\"0,5 ;" + semicolons.substr(semicolons.find("\"W 1\";") + 6);
       }(),
       3, 7,
       "expected a quoted cell to end with '\"' before the next ';' or the end of the record"},
  };
  for (const auto& c : cases) {
    const Read r = read(c.text);
    EXPECT_FALSE(r.ok) << c.message;
    EXPECT_EQ(r.error.line, c.line) << c.message;
    EXPECT_EQ(r.error.column, c.column) << c.message;
    EXPECT_EQ(r.error.message, c.message);
  }
  EXPECT_EQ(read(cases[0].text).error.lastColumn, 14);  // the caret's range: all of "0.0x000"
}

}  // namespace
}  // namespace slip::map
