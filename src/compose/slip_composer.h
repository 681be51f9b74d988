// Slip composition: the numerical core, written as the formulas read.
//
// Operation order is part of the result: sums run left to right from +0.0,
// squares are two products and one sum under sqrt (no hypot), the rake is
// the one-argument atan of the quotient, ((a * 180.0) / pi) + 35.0. The
// build forbids contraction into fused multiply-adds.
#pragma once

#include "base/grid.h"

namespace slip {

// Sets pi = 4 atan(1), then fills slip35, slip125, slip and rake for every
// used subfault. s35 == 0 (either sign) gives a rake of exactly 90 whatever
// s125 is; a NaN s35 gives a NaN rake; results stay finite-or-IEEE, never trap.
void composeGrid(SubfaultGrid& grid);

// Fills dis(il, iw) = sqrt(a1(1)^2 + a1(2)^2) for il = 1..nl of row iw.
void computeDistanceRow(SubfaultGrid& grid, int iw);

}  // namespace slip
