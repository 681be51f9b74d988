// Isolines of a field sampled at the cell centres of a grid, by marching
// squares; saddle squares are decided by the mean of their four corners.
#pragma once

#include <vector>

#include "map/figure.h"

namespace slip::map {

// A field of `rows` x `cols` samples; sample (col, row) is at point
// (col, row), both counted from 0. Unknown samples end the lines at the
// squares around them.
struct Field {
  int rows = 0;
  int cols = 0;
  std::vector<double> values;  // row by row
  std::vector<bool> known;
  double at(int col, int row) const { return values[static_cast<std::size_t>(row * cols + col)]; }
  bool has(int col, int row) const { return known[static_cast<std::size_t>(row * cols + col)]; }
};

struct Isoline {
  std::vector<Point> points;  // in sample coordinates
  bool closed = false;        // the last point joins the first
};

// The lines where the field crosses `level` (a sample above the level is
// inside), each square's segments joined into polylines.
std::vector<Isoline> traceIsolines(const Field& field, double level);

// The multiples of `step` strictly between low and high, at most `limit`.
std::vector<double> contourLevels(double low, double high, double step, int limit);

}  // namespace slip::map
