// A model file read for a companion that needs its values (slipsource, and
// slipmap's model panels): the located reading (check/model_reading.h) into
// the run's grid, so every value is the one slipreport reads, composed as a
// run composes it. A model a run would refuse is refused with slipcheck's
// located diagnostic (FILE:LINE:COL: error: ...); the warnings of `kinds`,
// those that bear on what the companion computes, are said on standard
// error in slipcheck's form.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/grid.h"
#include "check/model_check.h"

namespace slip::source {

struct ModelFile {
  std::optional<int> exitStatus;  // none: read whole; else the exit status after the diagnostic
  bool warned = false;   // warnings were said: the program ends with exit status 1 when done
};

// Reads `name` into `grid` (`program` names the program in a system error:
// "slipsource: error: rateA.dat: cannot read: ..."). `ruptureTimes`, when
// given, gets where each subfault's rupture time stands in the file.
ModelFile readModelFile(const char* program, const std::string& name, SubfaultGrid& grid, check::KindSet kinds,
                        std::vector<check::ValuePlace>* ruptureTimes = nullptr);

}  // namespace slip::source
