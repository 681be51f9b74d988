// Checks a model text as a run reads it, and says where and what.
//
// The check reads through the run's own reader and group sequence, so it
// finds an error exactly where a run would stop, with the run's first
// diagnostic line as its message. Besides, it warns where the run goes on but
// the text is not laid out as a model file should be (findings.h lists the
// kinds), and it always ends with a summary line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/grid.h"
#include "check/findings.h"
#include "input/byte_source.h"

namespace slip::check {

struct CheckOptions {
  bool all = false;    // every finding in full, not only the first of each kind
  bool quiet = false;  // the summary line alone
  KindSet kinds = kEveryKind;  // the warnings said and counted (an error is always said)
  bool summary = true;         // end with the summary line
  const char* moreHint = "--all-warnings shows every one";  // how to see the warnings only counted
};

// The warnings of a text that a run reads as other values than it shows, or
// that a run reads only in part: what a program computing from the values
// must say beside its result. The report's rake of a negative 35-degree slip
// is another matter, for a program that draws it.
inline constexpr KindSet kValuesInDoubt = kindBit(Kind::kShortRecord) | kindBit(Kind::kJoined) |
                                          kindBit(Kind::kDecimalComma) | kindBit(Kind::kTrailingText);

// Where an entry stands in the model text, with its line's first bytes for
// an excerpt (line 0: the reading never got there).
struct ValuePlace {
  long long line = 0;
  long long column = 0, lastColumn = 0;
  std::string text;
};

// What a reading keeps besides its findings.
struct ReadInto {
  SubfaultGrid* grid = nullptr;  // the values read, composed once they are read whole (null: the check's own)
  // Where each group's rupture time a2(5) stands, by group (null: not kept;
  // some 40 bytes a group, at most a line head each).
  std::vector<ValuePlace>* ruptureTimes = nullptr;
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
                       const CheckOptions& options, Output& out, ReadInto into = {});

}  // namespace slip::check
