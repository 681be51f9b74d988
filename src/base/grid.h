// The subfault grid: every value of one run, inputs and results, in fixed arrays.
//
// The fault plane has nw = 22 rows (down-dip, "W") and nl = 43 columns (along
// strike, "L"), each subfault 49 slip-rate samples of each component: the
// model's fixed size, kGridRows, kGridColumns and kGridSamples below, which
// every other count of rows, columns and samples is. Arrays keep one spare
// row, column and sample (23 x 44, 50 samples: kRowCells, kColumnCells,
// kSampleCells); nothing reads or writes the spare cells. Elements are addressed
// 1-based with the per-subfault index first, then il, then iw, exactly as the
// rest of the system names them: a1(3, il, iw) is the longitude of (il, iw).
// Storage puts the first index fastest, so the targets of one value read
// (a1(1..5), slp35(jj+1..jj+10), ...) are contiguous.
#pragma once

namespace slip {

inline constexpr int kGridRows = 22;     // nw, down dip ("W")
inline constexpr int kGridColumns = 43;  // nl, along strike ("L")
inline constexpr int kGridSamples = 49;  // slip-rate samples of each component

struct SubfaultGrid {
  static constexpr int kRowCells = kGridRows + 1;
  static constexpr int kColumnCells = kGridColumns + 1;
  static constexpr int kSlots = 5;  // values of a subfault record
  static constexpr int kSampleCells = kGridSamples + 1;

  int nw = kGridRows;     // rows in use
  int nl = kGridColumns;  // columns in use
  double pi = 0.0;  // set by composeGrid

  // Inputs, 0.0 until the model file fills them.
  double& a1(int slot, int il, int iw) { return a1_[iw - 1][il - 1][slot - 1]; }
  double& a2(int slot, int il, int iw) { return a2_[iw - 1][il - 1][slot - 1]; }
  double& slp35(int k, int il, int iw) { return slp35_[iw - 1][il - 1][k - 1]; }
  double& slp125(int k, int il, int iw) { return slp125_[iw - 1][il - 1][k - 1]; }
  // Results.
  double& slip35(int il, int iw) { return slip35_[iw - 1][il - 1]; }
  double& slip125(int il, int iw) { return slip125_[iw - 1][il - 1]; }
  double& slip(int il, int iw) { return slip_[iw - 1][il - 1]; }
  double& rake(int il, int iw) { return rake_[iw - 1][il - 1]; }
  double& dis(int il, int iw) { return dis_[iw - 1][il - 1]; }

  double a1_[kRowCells][kColumnCells][kSlots] = {};
  double a2_[kRowCells][kColumnCells][kSlots] = {};
  double slp35_[kRowCells][kColumnCells][kSampleCells] = {};
  double slp125_[kRowCells][kColumnCells][kSampleCells] = {};
  double slip35_[kRowCells][kColumnCells] = {};
  double slip125_[kRowCells][kColumnCells] = {};
  double slip_[kRowCells][kColumnCells] = {};
  double rake_[kRowCells][kColumnCells] = {};
  double dis_[kRowCells][kColumnCells] = {};
};

}  // namespace slip
