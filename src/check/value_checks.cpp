#include "check/value_checks.h"

#include <cmath>
#include <cstring>

#include "report/field_editor.h"
#include "report/report_layout.h"
#include "text/text.h"

namespace slip::check {
namespace {

// Whether the report's field for `section` shows `value` as asterisks.
bool printsAsAsterisks(double value, report::Section section) {
  const report::SectionShape& shape = report::kSections[section];
  char field[32];
  editFixed(value, shape.width, shape.decimals, field);
  return std::memchr(field, '*', static_cast<std::size_t>(shape.width)) != nullptr;
}

}  // namespace

bool headerValueProblem(int role, int slot, double value, Problem& problem) {
  if (role == 0 && slot == 2 && !(value >= -180.0 && value <= 360.0)) {
    problem = {Kind::kOutOfRange, format("longitude %g is outside -180 to 360 degrees", value)};
  } else if (role == 0 && slot == 3 && !(value >= -90.0 && value <= 90.0)) {
    problem = {Kind::kOutOfRange, format("latitude %g is outside -90 to 90 degrees", value)};
  } else if (role == 1 && slot == 4 && printsAsAsterisks(value, report::kRuptureTime)) {
    problem = {Kind::kUnshowable,
               format("rupture time %g s does not fit the report's field and prints as asterisks", value)};
  } else {
    return false;
  }
  return true;
}

std::vector<Problem> composedProblems(SubfaultGrid& grid, int il, int iw) {
  std::vector<Problem> problems;
  const struct {
    const char* what;
    double value;
    report::Section section;
  } shown[] = {{"slip", grid.slip(il, iw), report::kSlip},
               {"rake", grid.rake(il, iw), report::kRake},
               {"35-degree slip", grid.slip35(il, iw), report::kSlip35},
               {"125-degree slip", grid.slip125(il, iw), report::kSlip125},
               {"distance from the epicentre", grid.dis(il, iw), report::kDistance}};
  for (const auto& v : shown) {
    const bool finite = std::isfinite(v.value);
    if (finite && !printsAsAsterisks(v.value, v.section)) continue;
    problems.push_back({finite ? Kind::kUnshowable : Kind::kNotFinite,
                        finite ? format("%s %g does not fit the report's field and prints as asterisks", v.what, v.value)
                               : format("%s is %s", v.what, std::isnan(v.value) ? "NaN" : "infinite")});
  }
  const double s35 = grid.slip35(il, iw);
  if (s35 < 0.0) {
    const double s125 = grid.slip125(il, iw);
    const double direction = ((std::atan2(s125, s35) * 180.0) / grid.pi) + 35.0;
    problems.push_back(
        {Kind::kNegativeSlip35,
         format("35-degree slip %g is negative: the report's rake %.5f, 35 + atan(s125/s35), names the opposite "
                "direction; the slip's own rake is %.5f, 35 + atan2(s125, s35)",
                s35, grid.rake(il, iw), direction)});
  }
  return problems;
}

}  // namespace slip::check
