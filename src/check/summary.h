// slipcheck's last line: how far the reading got and what it found.
//
//   rateA.dat: 357 subfaults, 5001 records, 38566 values read: 1 error, 0 warnings; a run would stop at line 5001
#pragma once

#include <string>
#include <string_view>

namespace slip::check {

struct Tally {
  int subfaults = 0;       // groups read whole
  long long records = 0;   // records the reading used
  long long values = 0;    // targets given a value or a null
  int errors = 0;
  long long warnings = 0;
  long long stopLine = 0;  // with an error: the line where a run stops
};

std::string summaryLine(std::string_view name, const Tally& tally);

}  // namespace slip::check
