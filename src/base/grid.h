// The subfault grid: every value of one run, inputs and results, in fixed arrays.
//
// The fault plane has nw = 22 rows (down-dip, "W") and nl = 43 columns (along
// strike, "L"). Arrays keep one spare row, column and sample (23 x 44, 50
// samples); nothing reads or writes the spare cells. Elements are addressed
// 1-based with the per-subfault index first, then il, then iw, exactly as the
// rest of the system names them: a1(3, il, iw) is the longitude of (il, iw).
// Storage puts the first index fastest, so the targets of one value read
// (a1(1..5), slp35(jj+1..jj+10), ...) are contiguous.
#pragma once

namespace slip {

struct SubfaultGrid {
  static constexpr int kRows = 23;     // declared rows (22 used)
  static constexpr int kCols = 44;     // declared columns (43 used)
  static constexpr int kSlots = 5;     // values of a subfault record
  static constexpr int kSamples = 50;  // slip-rate samples (49 used)

  int nw = 22;   // rows in use
  int nl = 43;   // columns in use
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

  double a1_[kRows][kCols][kSlots] = {};
  double a2_[kRows][kCols][kSlots] = {};
  double slp35_[kRows][kCols][kSamples] = {};
  double slp125_[kRows][kCols][kSamples] = {};
  double slip35_[kRows][kCols] = {};
  double slip125_[kRows][kCols] = {};
  double slip_[kRows][kCols] = {};
  double rake_[kRows][kCols] = {};
  double dis_[kRows][kCols] = {};
};

}  // namespace slip
