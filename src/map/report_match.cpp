#include "map/report_match.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "report/field_editor.h"

namespace slip::map {
namespace {

constexpr report::SectionShape kShape = report::kSections[report::kSlip];

// The field as the report prints it, trimmed, and its value when it has one
// (not asterisks, inf or nan: slipmap reads such a cell as no value). A
// value beyond the field is shown as %g.
std::string printed(double v, bool& known, double& value) {
  char field[32];
  editFixed(v, kShape.width, kShape.decimals, field);
  std::string text(field, static_cast<std::size_t>(kShape.width));
  text.erase(0, text.find_first_not_of(' '));
  value = std::strtod(text.c_str(), nullptr);
  known = text.find('*') == std::string::npos && std::isfinite(value);
  if (text.find('*') != std::string::npos) {
    std::snprintf(field, sizeof field, "%g", v);
    text = field;
  }
  return text;
}

}  // namespace

SlipDifference firstSlipDifference(const ReportData& data, const SubfaultGrid& grid) {
  for (int iw = 1; iw <= report::kDataRows; ++iw) {
    for (int il = 1; il <= report::kDataColumns; ++il) {
      bool known = false;
      double value = 0.0;
      const std::string model = printed(grid.slip_[iw - 1][il - 1], known, value);
      const bool has = data.has(report::kSlip, il, iw);
      const double r = data.value(report::kSlip, il, iw);
      if (has == known && (!has || std::fabs(r - value) <= 1e-9 * std::fmax(1.0, std::fabs(value)))) continue;
      return {il, iw, has ? printed(r, known, value) : "no value", model};
    }
  }
  return {};
}

}  // namespace slip::map
