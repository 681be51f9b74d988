// The report reader: the forms a report comes in, and where each kind of
// damage is reported.
#include <gtest/gtest.h>

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
// cells, CR LF line ends.
std::string spreadsheetForm(const std::string& report) {
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
      if (!cell.empty() && *end == '\0') cell = shortest;
      else if (!cell.empty()) cell = "\"" + cell + "\"";
    }
    for (std::size_t i = 0; i < cells.size(); ++i) out += (i ? "," : "") + cells[i];
    out += "\r\n";
  }
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

TEST(MapReader, ReadsTheReportInEachForm) {
  expectExampleValues(read(kExample));
  std::string crlf;
  for (char c : kExample) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  expectExampleValues(read(crlf));
  expectExampleValues(read(spreadsheetForm(kExample)));
}

// Replaces the `n`th occurrence (from 0) of `what` in the example.
std::string edited(const std::string& what, const std::string& with, int n = 0) {
  std::string text = kExample;
  std::size_t at = text.find(what);
  while (n-- > 0) at = text.find(what, at + 1);
  return text.replace(at, what.size(), with);
}

TEST(MapReader, NoValueCells) {
  const Read r = read(edited("   0.00000", "**********"));
  ASSERT_TRUE(r.ok);
  EXPECT_FALSE(r.data->has(report::kSlip, 1, 1));
  EXPECT_TRUE(r.data->has(report::kSlip, 2, 1));
  for (const char* cell : {"inf", "-Inf", "NaN", "", "  "}) {
    const Read s = read(edited("   0.00000", cell, 1));
    ASSERT_TRUE(s.ok) << cell;
    EXPECT_FALSE(s.data->has(report::kSlip, 2, 1)) << cell;
  }
  // A number the field could not hold would have printed as asterisks.
  const Read big = read(edited("   0.00000", "12345.5", 2));
  ASSERT_TRUE(big.ok);
  EXPECT_FALSE(big.data->has(report::kSlip, 3, 1));
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
  };
  for (const auto& c : cases) {
    const Read r = read(c.text);
    EXPECT_FALSE(r.ok) << c.message;
    EXPECT_EQ(r.error.line, c.line) << c.message;
    EXPECT_EQ(r.error.column, c.column) << c.message;
    EXPECT_EQ(r.error.message, c.message);
  }
}

}  // namespace
}  // namespace slip::map
