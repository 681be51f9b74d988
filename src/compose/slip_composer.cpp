#include "compose/slip_composer.h"

#include <cmath>

namespace slip {

// Every line below is one double operation in the order the results depend
// on; the build forbids fused multiply-adds and reassociation, so the
// compiler keeps each product, sum and quotient rounded on its own.

void composeGrid(SubfaultGrid& grid) {
  grid.pi = 4.0 * std::atan(1.0);
  for (int iw = 1; iw <= grid.nw; ++iw) {
    for (int il = 1; il <= grid.nl; ++il) {
      // Slip of each component: half the plain left-to-right sum of its
      // slip-rate samples, starting from +0.0.
      grid.slip35(il, iw) = 0.0;
      grid.slip125(il, iw) = 0.0;
      for (int k = 1; k <= kGridSamples; ++k) {
        grid.slip35(il, iw) = grid.slip35(il, iw) + grid.slp35(k, il, iw);
        grid.slip125(il, iw) = grid.slip125(il, iw) + grid.slp125(k, il, iw);
      }
      grid.slip35(il, iw) = grid.slip35(il, iw) / 2.0;
      grid.slip125(il, iw) = grid.slip125(il, iw) / 2.0;
      const double s35 = grid.slip35(il, iw);
      const double s125 = grid.slip125(il, iw);

      // Total slip: two products, one sum, then the root. An overflowing sum
      // of squares gives +inf (deliberately not hypot). Each square is a plain
      // double, so components below about 1.5e-154 square to (nearly) zero;
      // such slips print as zero either way.
      const double sq35 = s35 * s35;
      const double sq125 = s125 * s125;
      grid.slip(il, iw) = std::sqrt(sq35 + sq125);

      // Rake from the one-argument arctangent of the quotient, so opposite
      // slip directions share a rake. A zero 35-degree component means pure
      // 125-degree slip, reported as exactly 90 whatever s125 holds.
      if (s35 == 0.0) {
        grid.rake(il, iw) = 90.0;
      } else {
        const double a = std::atan(s125 / s35);
        grid.rake(il, iw) = ((a * 180.0) / grid.pi) + 35.0;
      }
    }
  }
}

void computeDistanceRow(SubfaultGrid& grid, int iw) {
  for (int il = 1; il <= grid.nl; ++il) {
    const double x = grid.a1(1, il, iw);
    const double y = grid.a1(2, il, iw);
    const double xx = x * x;
    const double yy = y * y;
    grid.dis(il, iw) = std::sqrt(xx + yy);
  }
}

}  // namespace slip
