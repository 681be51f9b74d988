#include "report/report_writer.h"

#include <cstddef>
#include <cstring>

#include "base/units.h"
#include "compose/slip_composer.h"
#include "report/field_editor.h"
#include "report/report_layout.h"

namespace slip {

namespace {

constexpr int kReportUnit = 12;

// Format texts of the two record templates, as the fatal diagnostic shows
// them while a record of that template is written. Literal texts sit between
// 0x02 bytes; "100(...)" is the group of up to 100 separator/value pairs.
constexpr char kHeaderFormat[] = "(\x02W/L\x02,100(\x02,L\x02,I2))";
constexpr char kRowFormat10[] = "(\x02W\x02,I2,100(\x02,\x02,F10.5))";
constexpr char kRowFormat12[] = "(\x02W\x02,I2,100(\x02,\x02,F12.7))";
static_assert(sizeof kHeaderFormat - 1 == 20 && sizeof kRowFormat10 - 1 == 23 &&
              sizeof kRowFormat12 - 1 == 23);

using ValueOf = double (*)(SubfaultGrid&, int il, int iw);

struct Section {
  const char* title;
  ValueOf value;       // the number at column il of data row iw
  int width;           // fixed-point field: width and decimals
  int decimals;
  const char* format;  // the data rows' format text
};

// A row of the table: the section's title and field shape from the shared
// layout, with its value and its rows' format text.
constexpr Section section(report::Section index, ValueOf value) {
  const report::SectionShape& shape = report::kSections[index];
  return {shape.title, value, shape.width, shape.decimals, shape.width == 10 ? kRowFormat10 : kRowFormat12};
}

const Section kSections[] = {
    section(report::kSlip, [](SubfaultGrid& g, int il, int iw) { return g.slip(il, iw); }),
    section(report::kRake, [](SubfaultGrid& g, int il, int iw) { return g.rake(il, iw); }),
    section(report::kSlip35, [](SubfaultGrid& g, int il, int iw) { return g.slip35(il, iw); }),
    section(report::kSlip125, [](SubfaultGrid& g, int il, int iw) { return g.slip125(il, iw); }),
    section(report::kRuptureTime, [](SubfaultGrid& g, int il, int iw) { return g.a2(5, il, iw); }),
    section(report::kDistance, [](SubfaultGrid& g, int il, int iw) { return g.dis(il, iw); }),
    section(report::kLongitude, [](SubfaultGrid& g, int il, int iw) { return g.a1(3, il, iw); }),
    section(report::kLatitude, [](SubfaultGrid& g, int il, int iw) { return g.a1(4, il, iw); }),
};
static_assert(sizeof kSections / sizeof kSections[0] == report::kSectionCount);
constexpr int kDistanceSection = report::kDistance + 1;  // counted from 1, as the report numbers them

// The longest record: a data row of 43 fields of width 12, "W", the row
// number, 44 commas. The buffer is sized for the grid's declared columns.
constexpr int kFieldCapacity = 12;
constexpr std::size_t kRecordCapacity = 3 + (SubfaultGrid::kColumnCells + 1) * (kFieldCapacity + 1);

void append(char* record, std::size_t& size, const char* text) {
  const std::size_t n = std::strlen(text);
  std::memcpy(record + size, text, n);
  size += n;
}

void writeTitle(char* record, const char* title) {
  std::size_t size = 0;
  append(record, size, " ");
  append(record, size, title);
  writeRecord(kReportUnit, nullptr, record, size);
}

// "W/L", then ",L" and a column label per column, then the separator of the
// next pair, which finds no value left and ends the record.
void writeHeader(char* record, int nl) {
  std::size_t size = 0;
  append(record, size, "W/L");
  for (int il = 1; il <= nl; ++il) {
    append(record, size, ",L");
    editInteger(il, 2, record + size);
    size += 2;
  }
  append(record, size, ",L");
  writeRecord(kReportUnit, kHeaderFormat, record, size);
}

// "W", the row label, then "," and a value field per column, then the
// trailing separator.
void writeRow(char* record, SubfaultGrid& grid, const Section& section, int iw) {
  std::size_t size = 0;
  append(record, size, "W");
  editInteger(iw, 2, record + size);
  size += 2;
  const std::size_t width = static_cast<std::size_t>(section.width);
  for (int il = 1; il <= grid.nl; ++il) {
    record[size++] = ',';
    editFixed(section.value(grid, il, iw), section.width, section.decimals, record + size);
    size += width;
  }
  record[size++] = ',';
  writeRecord(kReportUnit, section.format, record, size);
}

}  // namespace

void writeReport(SubfaultGrid& grid) {
  char record[kRecordCapacity];
  int number = 0;
  for (const Section& section : kSections) {
    ++number;
    if (number > 1) writeRecord(kReportUnit, nullptr, record, 0);
    writeTitle(record, section.title);
    writeHeader(record, grid.nl);
    for (int iw = 1; iw <= grid.nw; ++iw) {
      if (number == kDistanceSection) computeDistanceRow(grid, iw);
      writeRow(record, grid, section, iw);
    }
  }
}

}  // namespace slip
