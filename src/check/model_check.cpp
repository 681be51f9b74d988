#include "check/model_check.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "check/text_tracker.h"
#include "compose/slip_composer.h"
#include "driver/grid.h"
#include "driver/fatal.h"
#include "driver/platform.h"
#include "driver/units.h"
#include "input/list_reader.h"
#include "input/subfault_groups.h"
#include "report/field_editor.h"
#include "report/report_layout.h"

namespace slip::check {
namespace {

using report::kDataColumns;
using report::kSections;
constexpr int kGroups = report::kDataRows * kDataColumns;

// What each of a group's 14 requests reads.
const char* const kRoles[kRequestsPerGroup] = {
    "first header record",        "second header record",       "35-degree samples 1 to 10",
    "35-degree samples 11 to 20", "35-degree samples 21 to 30", "35-degree samples 31 to 40",
    "35-degree samples 41 to 49", "first skipped record",       "second skipped record",
    "125-degree samples 1 to 10", "125-degree samples 11 to 20", "125-degree samples 21 to 30",
    "125-degree samples 31 to 40", "125-degree samples 41 to 49"};

template <typename... Args>
std::string format(const char* pattern, Args... args) {
  char text[256];
  std::snprintf(text, sizeof text, pattern, args...);
  return text;
}

// "W 9 L14": the labels the report gives the subfault's row and column.
// "in subfault W 9 L14 (group 358 of 946)": the labels the report gives the
// subfault's row and column, and its group in the model file.
std::string subfaultContext(int group) {
  return format("in subfault W%2d L%2d (group %d of %d)", group / kDataColumns + 1, group % kDataColumns + 1,
                group + 1, kGroups);
}

// The first line of the diagnostic a run prints for a failed request.
std::string runDiagnostic(const ReadStatus& status) {
  char text[512];
  IoContext io{};
  std::size_t size = formatDiagnostic(text, sizeof text, status.code(), status.context(), io, nullptr);
  std::string line(text, size);
  return line.substr(0, line.find('\n'));
}

// Whether the report's field for `section` shows `value` as asterisks.
bool printsAsAsterisks(double value, report::Section section) {
  const report::SectionShape& shape = kSections[section];
  char field[32];
  editFixed(value, shape.width, shape.decimals, field);
  return std::memchr(field, '*', static_cast<std::size_t>(shape.width)) != nullptr;
}

class ModelObserver final : public ReadObserver, public TrackerListener {
 public:
  ModelObserver(ByteSource& source, std::string_view name, const RawFacts& raw, const CheckOptions& options,
                Output& out)
      : source_(source), raw_(raw), options_(options), tracker_(source, *this),
        reporter_(name, out, options.all, options.quiet),
        name_(name), out_(out) {}

  CheckResult run();

  // ReadObserver
  void requestStart(bool valueRead, int count, TextPosition at) override;
  void entryStart(TextPosition at, int target) override {
    entryStart_ = tracker_.offset(at);
    target_ = target;
  }
  void entryEnd(TextPosition stop, const ListEntry& entry, int target) override;
  void entryFailed(TextPosition stop, ReadError) override {
    tracker_.locate(stop);
    entryStop_ = tracker_.offset(stop);
    failedInEntry_ = true;
  }
  void recordCrossed(TextPosition lineFeed, int target) override;
  void commaNull(TextPosition at, int target) override;
  [[gnu::noinline]] void crossed(TextPosition lineFeed, int target);
  void moreRecordsCrossed(int count, int target) override;
  void slash(TextPosition at, int target) override;
  void readEnd(TextPosition rest, int droppedCopies) override;

  // TrackerListener
  void loneCarriageReturn(Place at) override;
  void regionClosed(long long line, const std::string& head, long long firstText, long long lastText,
                    long long highByte, int highValue) override;
  void lineDone(long long line, const std::string& head) override { reporter_.lineDone(line, head); }

 private:
  int group() const { return (request_ - 1) / kRequestsPerGroup; }
  int role() const { return (request_ - 1) % kRequestsPerGroup; }
  std::string where(int value = 0) const;
  void warn(Kind kind, Place at, long long lastColumn, std::string message, int value = 0,
            bool shiftCause = false);
  void checkValue(double value, int target, Place at, long long lastColumn);
  void checkComposedValues(SubfaultGrid& grid);
  void checkTrailingText();
  void reportFailure(const ReadStatus& status);
  void summarize(const CheckResult& result, long long stopLine, int completed);

  ByteSource& source_;
  const RawFacts& raw_;
  CheckOptions options_;
  TextTracker tracker_;
  Reporter reporter_;
  std::string name_;
  Output& out_;

  int request_ = 0;             // requests started, the current one included
  bool valueRead_ = false;
  int count_ = 0;               // targets of the current value read
  long long entryStart_ = 0;    // view offset of the latest entry's first byte
  int target_ = 0;              // the target that entry began
  long long entryStop_ = 0;
  bool failedInEntry_ = false;
  int onRecord_ = 0;            // targets the current read took from its current record
  bool slashed_ = false;        // the current read ended at a slash
  bool shifted_ = false;        // a short record has shifted every later read
  bool blankLineShown_ = false; // later blank lines are only counted
  long long blankLinesUnshown_ = 0;
  long long crossLine_ = 0;     // the line of the latest run's first line feed
  long long values_ = 0;        // targets given a value or a null
  long long records_ = 0;       // records the reading used
  std::vector<long long> groupLines_ = std::vector<long long>(kGroups, 0);
};

std::string ModelObserver::where(int value) const {
  std::string text =
      subfaultContext(group()) + format(", record %d of %d: %s", role() + 1, kRequestsPerGroup, kRoles[role()]);
  if (value > 0) text += format(", value %d", value);
  return text;
}

void ModelObserver::warn(Kind kind, Place at, long long lastColumn, std::string message, int value,
                         bool shiftCause) {
  if (!shiftCause && !reporter_.shows(kind)) {
    reporter_.addUnshown(kind);
    return;
  }
  Finding f;
  f.kind = kind;
  f.line = at.line;
  f.column = at.column;
  f.lastColumn = lastColumn < at.column ? at.column : lastColumn;
  f.message = std::move(message);
  if (request_ > 0) f.context = where(value);
  f.shiftCause = shiftCause;
  tracker_.watchLine(at.line);
  if (shiftCause) {
    f.note = format("the layout shifted here, where a record holds %d of the %d values its read takes; "
                    "every read since has started a record late",
                    onRecord_, count_);
  }
  reporter_.add(std::move(f));
}

void ModelObserver::requestStart(bool valueRead, int count, TextPosition at) {
  // Walking to the request's start closes the previous record with its context.
  Place place = tracker_.locate(at);
  ++request_;
  valueRead_ = valueRead;
  count_ = count;
  onRecord_ = 0;
  slashed_ = false;
  if (role() == 0 && group() < kGroups) groupLines_[static_cast<std::size_t>(group())] = place.line;
}

void ModelObserver::entryEnd(TextPosition stop, const ListEntry& entry, int target) {
  const int given = entry.repeat < count_ - target ? entry.repeat : count_ - target;
  values_ += given;
  onRecord_ += given;
  const bool noteworthy = !entry.isValue || !std::isfinite(entry.value) || role() <= 1;
  if (!noteworthy) return;
  tracker_.locate(stop);
  Place at = tracker_.placeOf(entryStart_);
  long long last = tracker_.placeOf(tracker_.offset(stop) - 1).column;
  if (!entry.isValue) {
    warn(Kind::kNull, at, last,
         given == 1 ? format("null value: value %d keeps 0.0", target + 1)
                    : format("%d null values: values %d to %d keep 0.0", given, target + 1, target + given),
         target + 1);
    return;
  }
  if (!std::isfinite(entry.value)) {
    warn(Kind::kNotFinite, at, last, "value beyond the range of a double: it is read as infinity", target + 1);
    return;
  }
  for (int t = target; t < target + given; ++t) checkValue(entry.value, t, at, last);
}

// The header values the report shows as they are.
void ModelObserver::checkValue(double value, int target, Place at, long long last) {
  if (role() == 0 && target == 2 && !(value >= -180.0 && value <= 360.0)) {
    warn(Kind::kOutOfRange, at, last, format("longitude %g is outside -180 to 360 degrees", value), target + 1);
  } else if (role() == 0 && target == 3 && !(value >= -90.0 && value <= 90.0)) {
    warn(Kind::kOutOfRange, at, last, format("latitude %g is outside -90 to 90 degrees", value), target + 1);
  } else if (role() == 1 && target == 4 && printsAsAsterisks(value, report::kRuptureTime)) {
    warn(Kind::kUnshowable, at, last,
         format("rupture time %g s does not fit the report's field and prints as asterisks", value), target + 1);
  }
}

void ModelObserver::recordCrossed(TextPosition lineFeed, int target) {
  if (onRecord_ == 0 && blankLineShown_) {  // counted alone: a file may hold any number of them
    ++blankLinesUnshown_;
    return;
  }
  crossed(lineFeed, target);
}

void ModelObserver::crossed(TextPosition lineFeed, int target) {
  Place at = tracker_.locate(lineFeed);
  crossLine_ = at.line;
  if (onRecord_ == 0) {
    blankLineShown_ = !options_.all || options_.quiet;
    warn(Kind::kBlankLine, at, at.column,
         "blank line inside a value read: the read passes over it to the next record", target + 1);
  } else if (!shifted_) {
    shifted_ = true;
    warn(Kind::kShortRecord, at, at.column,
         format("record holds %d of the %d values its read takes: the read takes the rest from the next "
                "record and discards what is left of it, so every later read starts a record late",
                onRecord_, count_),
         0, true);
  }
  onRecord_ = 0;
}

// Empty records after the first line feed of a run: blank lines, counted
// alone once the first has been shown.
void ModelObserver::moreRecordsCrossed(int count, int target) {
  for (int n = 1; n <= count; ++n) {
    if (blankLineShown_) {
      blankLinesUnshown_ += count - n + 1;
      return;
    }
    // The walk may be past these lines already: an empty line needs no excerpt.
    Finding f;
    f.kind = Kind::kBlankLine;
    f.line = crossLine_ + n;
    f.column = f.lastColumn = 1;
    f.excerpt = false;
    f.message = "blank line inside a value read: the read passes over it to the next record";
    f.context = where(target + 1);
    reporter_.add(std::move(f));
    blankLineShown_ = !options_.all || options_.quiet;
  }
}

void ModelObserver::commaNull(TextPosition at, int target) {
  ++values_;
  ++onRecord_;
  Place place = tracker_.locate(at);
  warn(Kind::kNull, place, place.column,
       format("null value: a comma with no value before it leaves value %d at 0.0", target + 1), target + 1);
}

void ModelObserver::slash(TextPosition at, int target) {
  slashed_ = true;
  Place place = tracker_.locate(at);
  warn(Kind::kSlash, place, place.column,
       count_ - target == 1 ? format("slash ends the read early: value %d keeps 0.0", target + 1)
                            : format("slash ends the read early: values %d to %d keep 0.0", target + 1, count_),
       target + 1);
}

void ModelObserver::readEnd(TextPosition rest, int droppedCopies) {
  if (droppedCopies > 0 && !shifted_) {
    tracker_.locate(rest);
    Place at = tracker_.placeOf(entryStart_);
    warn(Kind::kDroppedCopies, at, at.column,
         format("repeat count gives %d more cop%s than the read takes: %s dropped", droppedCopies,
                droppedCopies == 1 ? "y" : "ies", droppedCopies == 1 ? "it is" : "they are"),
         count_);
  }
  tracker_.openRegion(rest);
}

void ModelObserver::regionClosed(long long line, const std::string& head, long long firstText, long long lastText,
                                 long long highByte, int highValue) {
  if (firstText > 0 && !slashed_ && !shifted_) {
    std::string ignored;
    if (lastText <= static_cast<long long>(head.size())) {
      ignored = head.substr(static_cast<std::size_t>(firstText - 1), static_cast<std::size_t>(lastText - firstText + 1));
    }
    if (ignored.size() > 40) ignored = ignored.substr(0, 37) + "...";
    for (char& c : ignored) {
      if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) >= 127) c = '?';
    }
    warn(Kind::kSurplus, {line, firstText}, lastText,
         format("record holds more than the %d values its read takes: \"%s\" is ignored", count_, ignored.c_str()));
  }
  if (highByte > 0) {
    warn(Kind::kHighByte, {line, highByte}, highByte,
         format("byte 0x%02X (128 to 255) in a record that is read; a run ignores it here", highValue));
  }
}

void ModelObserver::loneCarriageReturn(Place at) {
  warn(Kind::kLoneCr, at, at.column,
       "carriage return without a line feed: a run reads it as an ordinary character, not as a line end");
}

// Values a run computes from the samples and the offsets, as the report prints them.
void ModelObserver::checkComposedValues(SubfaultGrid& grid) {
  composeGrid(grid);
  for (int iw = 1; iw <= grid.nw; ++iw) {
    computeDistanceRow(grid, iw);
    for (int il = 1; il <= grid.nl; ++il) {
      const int g = kDataColumns * (iw - 1) + (il - 1);
      const struct {
        const char* what;
        double value;
        report::Section section;
      } shown[] = {{"slip", grid.slip(il, iw), report::kSlip},
                   {"rake", grid.rake(il, iw), report::kRake},
                   {"35-degree slip", grid.slip35(il, iw), report::kSlip35},
                   {"125-degree slip", grid.slip125(il, iw), report::kSlip125},
                   {"distance from the epicentre", grid.dis(il, iw), report::kDistance}};
      for (const auto& v : shown) {
        const bool finite = std::isfinite(v.value);
        if (finite && !printsAsAsterisks(v.value, v.section)) continue;
        Finding f;
        f.kind = finite ? Kind::kUnshowable : Kind::kNotFinite;
        f.line = groupLines_[static_cast<std::size_t>(g)];
        f.column = f.lastColumn = 1;
        f.excerpt = false;
        f.message = finite ? format("%s %g does not fit the report's field and prints as asterisks", v.what, v.value)
                           : format("%s is %s", v.what, std::isnan(v.value) ? "NaN" : "infinite");
        f.context = subfaultContext(g);
        reporter_.add(std::move(f));
      }
    }
  }
}

// Whatever follows the last record a run needs is never read.
void ModelObserver::checkTrailingText() {
  const long long firstUnread = tracker_.locate(source_.position()).line;
  for (;;) {
    int c = source_.get();
    if (c == kEof) break;
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') continue;
    Place at = tracker_.locate(source_.position() - 1);
    warn(Kind::kTrailingText, at, at.column,
         format("the file goes on after the last record a run reads: from line %lld on, nothing is read",
                firstUnread));
    break;
  }
}

void ModelObserver::reportFailure(const ReadStatus& status) {
  Finding f;
  f.kind = Kind::kError;
  f.message = runDiagnostic(status);
  if (failedInEntry_) {
    Place at = tracker_.placeOf(entryStart_);
    f.line = at.line;
    f.column = at.column;
    Place stop = tracker_.placeOf(entryStop_);
    f.lastColumn = stop.column > at.column ? stop.column - 1 : at.column;
  } else {
    Place at = tracker_.locate(source_.position());
    f.line = at.line;
    f.column = f.lastColumn = at.column;
  }
  f.context = where(failedInEntry_ && valueRead_ ? target_ + 1 : 0);
  if (status.error == ReadError::kReadStart) {
    f.context += ", at its start: the data ended with the record before";
  }
  tracker_.watchLine(f.line);
  reporter_.add(std::move(f));
}

CheckResult ModelObserver::run() {
  auto grid = std::make_unique<SubfaultGrid>();
  ObservedListReader reader(source_, *this);
  ReadStatus status = readSubfaultGroups(reader, *grid);
  CheckResult result;
  if (status.error == ReadError::kListInSystem) {
    reporter_.finish();
    result.systemError = status.systemError;
    result.errors = 1;
    result.warnings = reporter_.warnings();
    return result;
  }
  long long stopLine = 0;
  const int completed = status.ok() ? request_ : request_ - 1;
  if (status.ok()) {
    Place end = tracker_.locate(source_.position());
    records_ = end.line - (end.column == 1 ? 1 : 0);
    request_ = 0;  // what follows belongs to no request
    checkTrailingText();
  } else {
    reportFailure(status);
    stopLine = tracker_.placeOf(failedInEntry_ ? entryStart_ : tracker_.offset(source_.position())).line;
    records_ = stopLine;
  }
  if (source_.atEnd() && raw_.ctrlZ && raw_.bytesAfterCtrlZ) {
    Place at = tracker_.locate(source_.blockEnd());
    Finding f;
    f.kind = Kind::kCtrlZ;
    f.line = at.line;
    f.column = f.lastColumn = at.column;
    f.message = "Ctrl-Z (byte 26) ends the data here: a run reads nothing after it";
    tracker_.watchLine(f.line);
    reporter_.add(std::move(f));
  }
  tracker_.finishLine();
  if (status.ok()) checkComposedValues(*grid);
  reporter_.addUnshown(Kind::kBlankLine, blankLinesUnshown_);
  reporter_.finish();
  result.errors = reporter_.errors();
  result.warnings = reporter_.warnings();
  summarize(result, stopLine, completed);
  return result;
}

void ModelObserver::summarize(const CheckResult& result, long long stopLine, int completed) {
  std::string text = name_ + format(": %d subfault%s, %lld record%s, %lld value%s read: %d error%s, %lld warning%s",
                                    completed / kRequestsPerGroup, completed / kRequestsPerGroup == 1 ? "" : "s",
                                    records_, records_ == 1 ? "" : "s", values_, values_ == 1 ? "" : "s",
                                    result.errors, result.errors == 1 ? "" : "s", result.warnings,
                                    result.warnings == 1 ? "" : "s");
  if (result.errors > 0) text += format("; a run would stop at line %lld", stopLine);
  out_.write(text + "\n");
}

}  // namespace

CheckResult checkModel(ByteSource& source, std::string_view name, const RawFacts& raw, const CheckOptions& options,
                       Output& out) {
  ModelObserver observer(source, name, raw, options, out);
  return observer.run();
}

}  // namespace slip::check
