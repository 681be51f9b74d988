// What slipcheck found, and how it says it: lines in the form compilers use.
//
//   rateA.dat:5001:23: error: exponent field: incomprehensible list input
//     in subfault W 9 L14 (group 358 of 946), record 3 of 14: 35-degree samples 1 to 10, value 3
//    5001 | 0.0 0.0 1.5E+ 0.0
//         |         ^~~~
//
// A finding waits until its line is complete, so that its excerpt shows the
// whole line; then it is printed at once, in the order the findings came.
// The first finding of each kind is shown in full and the rest are counted,
// unless every one is asked for.
#pragma once

#include <array>
#include <deque>
#include <string>
#include <string_view>

namespace slip::check {

// Where the findings go (standard output, or a string in tests).
class Output {
 public:
  virtual void write(std::string_view text) = 0;

 protected:
  ~Output() = default;
};

enum class Kind : unsigned char {
  kError,
  kShortRecord,     // a value read took values from the next record
  kSurplus,         // a record held more than its read takes
  kNull,            // a null value left a slot at 0.0
  kSlash,           // a slash ended a read early
  kDroppedCopies,   // copies of a repeat count dropped at the end of a read
  kBlankLine,       // a blank line passed over inside a value read
  kLoneCr,          // a carriage return that ends no line
  kCtrlZ,           // a Ctrl-Z ends the data before the file ends
  kHighByte,        // a byte 128..255 in a record that is read
  kUnshowable,      // a value the report prints as asterisks
  kNotFinite,       // a value that is infinite or NaN
  kOutOfRange,      // a longitude or latitude outside its range
  kTrailingText,    // text after the last record a run reads
  kJoined,          // entries that run together: one piece of text read as two values
  kDecimalComma,    // a decimal comma: one number read as two
  kNegativeSlip35,  // a negative 35-degree slip: the report's rake names the opposite direction
  kCount
};

// A short name of each warning kind, for the count of those not shown (the
// kinds' table, with how each is said, is in findings.cpp).
const char* kindName(Kind kind);

// A set of kinds, one bit each.
using KindSet = unsigned;
constexpr KindSet kindBit(Kind kind) { return 1u << static_cast<unsigned>(kind); }
inline constexpr KindSet kEveryKind = (1u << static_cast<unsigned>(Kind::kCount)) - 1;
static_assert(static_cast<unsigned>(Kind::kCount) < 32);

// Where a finding stands.
struct Span {
  long long line = 0;        // 0: no place in the file (a message about the file as a whole)
  long long column = 1;
  long long lastColumn = 0;  // the range marked with tildes ends here (at or before column: the caret alone)
  bool excerpt = true;       // show the line with a caret (the line must be watched until it is complete)
};

struct Finding {
  Kind kind = Kind::kError;
  Span at;
  std::string message;
  std::string context;     // "in subfault ...", or empty
  std::string note;        // not empty for the record that shifted the layout: an error's note leads back here
};

// `kinds` are the warnings said and counted; the others pass unsaid (an
// error is always said). `moreHint` ends the count of those not shown.
struct ReporterOptions {
  bool all = false;
  bool quiet = false;
  KindSet kinds = kEveryKind;
  const char* moreHint = "--all-warnings shows every one";
};

class Reporter {
 public:
  Reporter(std::string_view name, Output& out, const ReporterOptions& options);

  // The one way in for a finding: on the line the walk is on (or, without
  // excerpt, anywhere). A non-empty `note` marks the record that shifted
  // the layout, kept for the note under a later error even when not shown.
  void add(Kind kind, Span at, std::string message, std::string context = {}, std::string note = {});
  // Counts a warning of `kind` and says true when it will not be shown, so
  // that a caller need not compose it:  if (reporter.counted(kind)) return;
  // (An error always goes to add.)
  // A kind not among those said is "counted" without a trace.
  bool counted(Kind kind) {
    if (kind == Kind::kError || (!quiet_ && (all_ || counts_[static_cast<std::size_t>(kind)] == 0))) {
      return !said(kind);
    }
    addUnshown(kind);
    return true;
  }
  void addUnshown(Kind kind, long long count = 1) {
    if (!said(kind)) return;
    counts_[static_cast<std::size_t>(kind)] += count;
    warnings_ += count;
  }
  // Line `line` is complete: prints the findings that waited for it.
  void lineDone(long long line, std::string_view head);
  // Prints what still waits (without excerpts).
  void flush();
  // Prints what still waits and how many of each kind were not shown.
  void finish();

  long long warnings() const { return warnings_; }
  bool quiet() const { return quiet_; }
  int errors() const { return errors_; }

 private:
  bool said(Kind kind) const { return kind == Kind::kError || (kinds_ & kindBit(kind)) != 0; }
  void print(const Finding& finding, std::string_view head, bool withHead);

  std::string name_;
  Output& out_;
  bool all_;
  bool quiet_;
  KindSet kinds_;
  const char* moreHint_;
  std::deque<Finding> pending_;
  std::array<long long, static_cast<std::size_t>(Kind::kCount)> counts_{};
  long long warnings_ = 0;
  int errors_ = 0;
  Finding shift_;           // the shift cause, kept for the note under a later error
  std::string shiftHead_;
  bool hasShift_ = false;
};

}  // namespace slip::check
