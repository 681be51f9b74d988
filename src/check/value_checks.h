// The values a run takes into its report, checked as the report shows them.
// Pure functions: no text, no places; the caller says where.
#pragma once

#include <string>
#include <vector>

#include "base/grid.h"
#include "check/findings.h"

namespace slip::check {

struct Problem {
  Kind kind;
  std::string message;
};

// A header value the report shows as it is: `role` 0 or 1 (first or second
// header record), `slot` from 0. Longitude (0, 2) outside -180 to 360,
// latitude (0, 3) outside -90 to 90, a rupture time (1, 4) that prints as
// asterisks. Other slots and roles have no problem.
bool headerValueProblem(int role, int slot, double value, Problem& problem);

// What the report shows of subfault (il, iw) once composeGrid and
// computeDistanceRow have filled it: slip, rake, the two components and the
// distance that print as asterisks or are infinite or NaN, and a negative
// 35-degree slip, whose rake in the report (35 + atan(s125/s35), one
// argument) names the opposite of the slip's direction, 35 + atan2(s125, s35).
std::vector<Problem> composedProblems(SubfaultGrid& grid, int il, int iw);

}  // namespace slip::check
