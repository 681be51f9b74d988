// Checks a model text as a run reads it, and says where and what.
//
// The check reads through the run's own reader and group sequence, so it
// finds an error exactly where a run would stop, with the run's first
// diagnostic line as its message. Besides, it warns where the run goes on but
// the text is not laid out as a model file should be (findings.h lists the
// kinds), and it always ends with a summary line.
#pragma once

#include <string_view>

#include "check/findings.h"
#include "input/byte_source.h"

namespace slip::check {

struct CheckOptions {
  bool all = false;    // every finding in full, not only the first of each kind
  bool quiet = false;  // the summary line alone
};

// What the feed saw of the raw bytes that the reader's view hides.
struct RawFacts {
  bool ctrlZ = false;            // a byte 26 ended the data
  bool bytesAfterCtrlZ = false;  // and the file went on after it
};

struct CheckResult {
  int errors = 0;            // 0 or 1: the first error ends the check, as it ends a run
  long long warnings = 0;
  int systemError = 0;       // the stream itself failed with this error number: no summary was printed
};

// Checks the text `source` shows. `name` names the model in every message;
// `raw` is read when the reading is done.
CheckResult checkModel(ByteSource& source, std::string_view name, const RawFacts& raw,
                       const CheckOptions& options, Output& out);

}  // namespace slip::check
