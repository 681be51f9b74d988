// The report's layout, written through the unit layer into a scratch folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "base/units.h"
#include "driver/run_driver.h"
#include "report/report_writer.h"
#include "tool_runner.h"

namespace slip {
namespace {

using testing::TempDir;

const char* const kTitles[] = {"Slip (m)", "Rake (deg)", "Slip of Rake = 35 degree (m)",
                               "Slip of Rake = 125 degree (m)", "Rupture Time (s)",
                               "Distance from Epicenter (km)", "Longitude (deg)",
                               "Latitude (deg)"};

const std::string kHeader =
    "W/L,L 1,L 2,L 3,L 4,L 5,L 6,L 7,L 8,L 9,L10,L11,L12,L13,L14,L15,L16,L17,L18,L19,L20,"
    "L21,L22,L23,L24,L25,L26,L27,L28,L29,L30,L31,L32,L33,L34,L35,L36,L37,L38,L39,L40,L41,"
    "L42,L43,L";

constexpr std::size_t kOutputBuffer = 64 * 1024;  // the unit's buffer, written when full

std::string writeToFile(SubfaultGrid& grid) {
  TempDir dir;
  const std::string path = dir.file("rateA-out4.csv");
  openUnit(12, path.c_str(), "unknown");
  writeReport(grid);
  closeUnit(12);
  return dir.read("rateA-out4.csv");
}

std::vector<std::string> records(const std::string& bytes) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1)
    out.push_back(bytes.substr(start, end - start));
  EXPECT_EQ(start, bytes.size()) << "the last record has no line ending";
  return out;
}

// Section s (1..8), data row iw, column il: the value field.
std::string field(const std::vector<std::string>& report, int s, int iw, int il) {
  const std::size_t width = s >= 7 ? 12 : 10;
  const std::string& row = report[static_cast<std::size_t>(25 * (s - 1) + 2 + iw - 1)];
  return row.substr(4 + (width + 1) * static_cast<std::size_t>(il - 1), width);
}

// Titles, headers, empty records, row labels and lengths, whatever the values.
void expectLayout(const std::string& bytes) {
  EXPECT_EQ(bytes.size(), 89507u);
  const std::vector<std::string> report = records(bytes);
  ASSERT_EQ(report.size(), 199u);
  for (int s = 1; s <= 8; ++s) {
    SCOPED_TRACE(kTitles[s - 1]);
    const std::size_t first = static_cast<std::size_t>(25 * (s - 1));  // 0-based: empty record
    if (s > 1) {
      EXPECT_EQ(report[first - 1], "") << "record " << first;
    }
    EXPECT_EQ(report[first], std::string(" ") + kTitles[s - 1]);
    EXPECT_EQ(report[first + 1], kHeader);
    for (int iw = 1; iw <= 22; ++iw) {
      const std::string& row = report[first + 1 + static_cast<std::size_t>(iw)];
      const std::string label = (iw < 10 ? "W " : "W") + std::to_string(iw) + ",";
      EXPECT_EQ(row.substr(0, 4), label);
      EXPECT_EQ(row.size(), s >= 7 ? 563u : 477u) << label;
      EXPECT_EQ(row.back(), ',');
      EXPECT_NE(row[row.size() - 2], ' ') << "no blank before the trailing comma";
      std::size_t commas = 0;
      for (char c : row) commas += c == ',' ? 1u : 0u;
      EXPECT_EQ(commas, 44u) << label;
    }
  }
}

// Guards the exact opening of the report: no empty record first, the title's
// single leading blank, the header's trailing ",L", the row's trailing comma.
TEST(Report, OpeningRecords) {
  auto grid = std::make_unique<SubfaultGrid>();
  for (int il = 1; il <= 43; ++il) grid->slip(il, 1) = il / 8.0;
  const std::string bytes = writeToFile(*grid);
  const std::string row1 = "W 1,   0.12500,   0.25000,   0.37500,   0.50000,   0.62500,";
  ASSERT_EQ(bytes.substr(0, 10 + kHeader.size() + 1 + row1.size()),
            " Slip (m)\n" + kHeader + "\n" + row1);
  const std::vector<std::string> report = records(bytes);
  EXPECT_EQ(report[2].substr(report[2].size() - 23), ",   5.25000,   5.37500,");
  EXPECT_EQ(report[198].substr(0, 17), "W22,   0.0000000,");
}

TEST(Report, LayoutDoesNotDependOnValues) {
  auto zero = std::make_unique<SubfaultGrid>();
  expectLayout(writeToFile(*zero));

  // Every value too wide or not finite: asterisk and letter fields keep
  // every row at its length and every field in its place.
  const double values[] = {12345.6, -1000.5, 1e300, -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN(), -0.0};
  auto wild = std::make_unique<SubfaultGrid>();
  for (int iw = 1; iw <= 22; ++iw) {
    for (int il = 1; il <= 43; ++il) {
      const double v = values[(il + iw) % 6];
      wild->slip(il, iw) = wild->rake(il, iw) = wild->slip35(il, iw) = v;
      wild->slip125(il, iw) = wild->a2(5, il, iw) = v;
      wild->a1(1, il, iw) = wild->a1(3, il, iw) = wild->a1(4, il, iw) = v;
    }
  }
  const std::string bytes = writeToFile(*wild);
  expectLayout(bytes);
  const std::vector<std::string> report = records(bytes);
  // Row 1 holds, from column 1: 1e300, -inf, NaN, -0.0, 12345.6, -1000.5.
  EXPECT_EQ(field(report, 1, 1, 1), "**********");
  EXPECT_EQ(field(report, 2, 1, 2), "      -inf");
  EXPECT_EQ(field(report, 6, 1, 2), "       inf");  // the distance of -inf
  EXPECT_EQ(field(report, 5, 1, 3), "       nan");
  EXPECT_EQ(field(report, 3, 1, 4), "   0.00000");
  EXPECT_EQ(field(report, 1, 1, 5), "**********");
  EXPECT_EQ(field(report, 7, 1, 5), "************");
  EXPECT_EQ(field(report, 8, 1, 6), "************");
}

// Each section shows its own array at (il, iw) = column il of row iw; the
// values the report does not show never appear; the distance section holds
// distances computed while it is written, not what dis held before.
TEST(Report, ValuesLandInTheirSectionRowAndColumn) {
  auto grid = std::make_unique<SubfaultGrid>();
  for (int iw = 1; iw <= 22; ++iw)
    for (int il = 1; il <= 43; ++il) grid->dis(il, iw) = 77.0;
  grid->a1(5, 5, 7) = 77.0;
  for (int slot = 1; slot <= 4; ++slot) grid->a2(slot, 5, 7) = 77.0;
  grid->slip(5, 7) = 1.5;
  grid->rake(5, 7) = -55.0;
  grid->slip35(5, 7) = 0.25;
  grid->slip125(5, 7) = 9999.99999;
  grid->a2(5, 5, 7) = 12.345;
  grid->a1(1, 5, 7) = 3.0;
  grid->a1(2, 5, 7) = -4.0;
  grid->a1(3, 5, 7) = -179.9999999;
  grid->a1(4, 5, 7) = -33.5;
  grid->slip(43, 22) = 2.0;
  grid->a1(4, 43, 22) = 35.25;
  grid->a1(1, 43, 22) = -6.0;
  grid->a1(2, 43, 22) = 8.0;

  const std::vector<std::string> report = records(writeToFile(*grid));
  ASSERT_EQ(report.size(), 199u);
  EXPECT_EQ(field(report, 1, 7, 5), "   1.50000");
  EXPECT_EQ(field(report, 2, 7, 5), " -55.00000");
  EXPECT_EQ(field(report, 3, 7, 5), "   0.25000");
  EXPECT_EQ(field(report, 4, 7, 5), "9999.99999");
  EXPECT_EQ(field(report, 5, 7, 5), "  12.34500");
  EXPECT_EQ(field(report, 6, 7, 5), "   5.00000");
  EXPECT_EQ(field(report, 7, 7, 5), "-179.9999999");
  EXPECT_EQ(field(report, 8, 7, 5), " -33.5000000");
  EXPECT_EQ(field(report, 1, 22, 43), "   2.00000");
  EXPECT_EQ(field(report, 8, 22, 43), "  35.2500000");
  EXPECT_EQ(field(report, 6, 22, 43), "  10.00000");
  EXPECT_EQ(field(report, 6, 7, 4), "   0.00000");
  EXPECT_EQ(field(report, 1, 5, 7), "   0.00000");  // not transposed
  for (const std::string& record : report) EXPECT_EQ(record.find("77.0"), std::string::npos);
}

// Writes padding records of `pad` bytes in all and then the report, with the
// file size limited to `limit` bytes (not 0: the death test's own capture of
// standard error is a file too).
void writeAfterPadding(SubfaultGrid& grid, const std::string& path, std::size_t pad, long long limit) {
  RunDriver::startUp();
  std::signal(SIGXFSZ, SIG_IGN);  // the write fails instead of ending the process
  struct rlimit rl = {static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
  if (::setrlimit(RLIMIT_FSIZE, &rl) != 0) std::_Exit(3);
  openUnit(12, path.c_str(), "unknown");
  for (const std::size_t size : {kOutputBuffer, pad - kOutputBuffer}) {
    const std::string padding(size - 1, 'p');
    writeRecord(12, nullptr, padding.data(), padding.size());
  }
  writeReport(grid);
  std::_Exit(0);
}

// A write that fails in the middle of a section names that section's row
// format. Padding ahead of the report puts an edge of the buffer among the
// section's middle rows and the file-size limit one buffer before it: the
// buffers written before reach the file, the one holding that row does not.
TEST(ReportDeathTest, FailedWriteNamesTheSectionsRowFormat) {
  auto grid = std::make_unique<SubfaultGrid>();
  grid->nw = 22;
  grid->nl = 43;
  const std::vector<std::string> report = records(writeToFile(*grid));
  for (int s = 1; s <= 8; ++s) {
    SCOPED_TRACE(kTitles[s - 1]);
    std::size_t at = 0;  // where row 11 of section s starts in the report
    for (std::size_t r = 0; r < static_cast<std::size_t>(25 * (s - 1) + 12); ++r) at += report[r].size() + 1;
    const std::size_t edge = (at / kOutputBuffer + 2) * kOutputBuffer;
    const std::size_t pad = edge - at - 1;  // the row's first byte is the last that fits
    const auto limit = static_cast<long long>(edge - kOutputBuffer);
    TempDir dir;
    const std::string path = dir.file("rateA-out4.csv");
    EXPECT_EXIT(writeAfterPadding(*grid, path, pad, limit), ::testing::KilledBySignal(SIGABRT),
                ::testing::StrEq(std::string("write: ") + std::strerror(EFBIG) + "\napparent state: unit 12 named " + path +
                                 "\nlast format: (\x02W\x02,I2,100(\x02,\x02," + (s >= 7 ? "F12.7" : "F10.5") +
                                 "))\nlately writing sequential formatted external IO\n"));
  }
}

}  // namespace
}  // namespace slip
