// Where a request of the reading stands in the model: its subfault, its
// record of the subfault's group, and the words the findings use for them.
//
//   request 4999 -> "in subfault W 9 L14 (group 358 of 946), record 3 of 14: 35-degree samples 1 to 10"
#pragma once

#include <string>

#include "base/grid.h"
#include "input/subfault_groups.h"

namespace slip::check {

class ModelLayout {
 public:
  // The rows and columns the grid reads (22 by 43).
  explicit ModelLayout(const SubfaultGrid& grid) : rows_(grid.nw), columns_(grid.nl) {}

  int groups() const { return rows_ * columns_; }
  // "22 x 43 subfaults (946 groups)": the grid a model must hold.
  std::string gridSize() const;
  // Request n (from 1) reads record role(n) (from 0) of group group(n) (from 0).
  static int group(int request) { return (request - 1) / kRequestsPerGroup; }
  static int role(int request) { return (request - 1) % kRequestsPerGroup; }

  // "in subfault W 9 L14 (group 358 of 946)": the labels the report gives the
  // subfault's row and column, and its group in the model file.
  std::string subfault(int group) const;
  // The subfault, then ", record 3 of 14: 35-degree samples 1 to 10" and,
  // when `value` > 0, ", value 3".
  std::string request(int request, int value = 0) const;

 private:
  int rows_;
  int columns_;
};

}  // namespace slip::check
