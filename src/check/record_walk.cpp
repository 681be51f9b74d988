#include "check/record_walk.h"

#include <cmath>
#include <string_view>
#include <utility>

#include "base/fatal.h"
#include "base/units.h"
#include "check/value_checks.h"
#include "text/text.h"
#include "input/list_reader.h"
#include "report/report_layout.h"

namespace slip::check {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// An optional sign and digits: a number with no point and no exponent.
bool plainInteger(std::string_view text) {
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  if (text.empty()) return false;
  for (char c : text) {
    if (!isDigit(c)) return false;
  }
  return true;
}

// Whether an entry that ended at byte `after` runs into the next: no blank,
// tab, line end, comma or slash between them (nor the end of the data).
bool runsIntoNext(int after) { return !endsEntry(after); }

// The one text of a blank-line warning, from the first line feed of a run or a later one.
const char kBlankLineInRead[] = "blank line inside a value read: the read passes over it to the next record";

// The first line of the diagnostic a run prints for a failed request.
std::string runDiagnostic(const ReadStatus& status) {
  char text[512];
  IoContext io{};
  const std::size_t size = formatDiagnostic(text, sizeof text, status.code(), status.context(), io, nullptr);
  const std::string line(text, size);
  return line.substr(0, line.find('\n'));
}

}  // namespace

// "0.283 (value 3)", "1.5 (values 1 to 3)", "a null (value 2)": what a run
// takes from one entry.
std::string RecordWalk::describe(const Piece& p) {
  return (p.isValue ? showValue(p.value) : std::string("a null")) +
         (p.given == 1 ? format(" (value %d)", p.target + 1)
                       : format(" (values %d to %d)", p.target + 1, p.target + p.given));
}

RecordWalk::RecordWalk(ByteSource& source, const ModelLayout& layout, Reporter& reporter, bool all,
                       std::vector<ValuePlace>* ruptureTimes)
    : source_(source), layout_(layout), reporter_(reporter), all_(all), tracker_(source, *this),
      groupLines_(static_cast<std::size_t>(layout.groups()), 0), ruptureTimes_(ruptureTimes) {
  chain_.reserve(16);
  if (ruptureTimes_ != nullptr) ruptureTimes_->assign(static_cast<std::size_t>(layout.groups()), {});
}

void RecordWalk::warn(Kind kind, Span at, std::string message, int value) {
  if (at.excerpt) tracker_.watchLine(at.line);
  reporter_.add(kind, at, std::move(message), request_ > 0 ? layout_.request(request_, value) : std::string());
}

// From the byte at `fromOffset` to the one at `lastOffset`, on the current line.
Span RecordWalk::spanTo(long long fromOffset, long long lastOffset) const {
  const Place from = tracker_.placeOf(fromOffset);
  return {from.line, from.column, tracker_.placeOf(lastOffset).column};
}

void RecordWalk::requestStart(bool valueRead, int count, TextPosition at) {
  // Walking to the request's start closes the previous record with its context.
  const Place place = tracker_.locate(at);
  ++request_;
  valueRead_ = valueRead;
  count_ = count;
  onRecord_ = 0;
  slashed_ = false;
  const int role = ModelLayout::role(request_);
  const int group = ModelLayout::group(request_);
  headerRecord_ = role <= 1;
  if (role == 0 && group < layout_.groups()) groupLines_[static_cast<std::size_t>(group)] = place.line;
  chain_.clear();
  joinAt_ = -1;
  commaAt_ = -2;
  decimalComma_.line = 0;
}

void RecordWalk::noteEntry(TextPosition stop, const ListEntry& entry, int target, int given, int after) {
  const long long stopAt = tracker_.offset(stop);
  const Piece piece{entryStart_, stopAt, entry.value, entry.isValue, target, given};
  if (afterComma_) considerDecimalComma(piece, stop);
  if (after == ',') {
    commaAt_ = stopAt;
    beforeComma_ = piece;
  }
  const bool runsOn = runsIntoNext(after);
  if (joined_) {
    chain_.push_back(piece);
    if (!runsOn) reportJoined(stop);
  } else if (runsOn) {
    chain_.assign(1, piece);
  }
  joinAt_ = runsOn ? stopAt : -1;

  if (ruptureTimes_ != nullptr && entry.isValue && headerRecord_ && ModelLayout::role(request_) == 1 &&
      target <= 4 && target + given > 4) {
    noteRuptureTime(stop, stopAt);
  }
  if (!entry.isValue) {
    if (reporter_.counted(Kind::kNull)) return;
    tracker_.locate(stop);
    warn(Kind::kNull, spanTo(entryStart_, stopAt - 1),
         given == 1 ? format("null value: value %d keeps 0.0", target + 1)
                    : format("%d null values: values %d to %d keep 0.0", given, target + 1, target + given),
         target + 1);
    return;
  }
  if (!std::isfinite(entry.value)) {
    if (reporter_.counted(Kind::kNotFinite)) return;
    tracker_.locate(stop);
    warn(Kind::kNotFinite, spanTo(entryStart_, stopAt - 1),
         "value beyond the range of a double: it is read as infinity", target + 1);
    return;
  }
  if (!headerRecord_) return;
  const int role = ModelLayout::role(request_);
  for (int t = target; t < target + given; ++t) {
    Problem problem;
    if (!headerValueProblem(role, t, entry.value, problem) || reporter_.counted(problem.kind)) continue;
    tracker_.locate(stop);
    warn(problem.kind, spanTo(entryStart_, stopAt - 1), std::move(problem.message), t + 1);
  }
}

// The entry that gives the group's a2(5); its line's text is kept when the line is complete.
void RecordWalk::noteRuptureTime(TextPosition stop, long long stopAt) {
  const int group = ModelLayout::group(request_);
  if (group >= layout_.groups()) return;
  tracker_.locate(stop);
  const Span at = spanTo(entryStart_, stopAt - 1);
  (*ruptureTimes_)[static_cast<std::size_t>(group)] = {at.line, at.column, at.lastColumn, {}};
  ruptureLine_ = at.line;
  ruptureGroup_ = group;
  tracker_.watchLine(at.line);
}

// "0,283301" read as 0 and 283301: kept for the record's end, where it
// explains a record that holds more values than its read takes.
void RecordWalk::considerDecimalComma(const Piece& second, TextPosition stop) {
  const Place end = tracker_.locate(stop);
  if (decimalComma_.line == end.line || !beforeComma_.isValue || !second.isValue) return;
  const std::string_view text = tracker_.text(beforeComma_.start, second.stop);
  if (text.empty() || !plainInteger(text.substr(0, static_cast<std::size_t>(commaAt_ - beforeComma_.start)))) return;
  decimalComma_.line = end.line;
  decimalComma_.at = spanTo(commaAt_, commaAt_);
  decimalComma_.endsRead = false;
  decimalComma_.message = "decimal comma: " + quotedText(text) + " is read as two values, " + describe(beforeComma_) +
                          " and " + describe(second);
}

// "0,283301" with 0 the read's last value: the read ends at the comma, and
// the digits after it are the first text the record holds beyond its read.
void RecordWalk::considerDecimalCommaAtTheEnd(TextPosition rest) {
  const Place at = tracker_.locate(rest);
  if (decimalComma_.line == at.line || !beforeComma_.isValue) return;
  const std::string_view text = tracker_.text(beforeComma_.start, commaAt_);
  if (!plainInteger(text)) return;
  decimalComma_.line = at.line;
  decimalComma_.at = spanTo(commaAt_, commaAt_);
  decimalComma_.message = std::string(text) + ",";
  decimalComma_.endsRead = true;
}

// One text read as several values: the caret where the second begins.
void RecordWalk::reportJoined(TextPosition lastStop) {
  if (chain_.size() >= 2) {
    joinLine_ = tracker_.locate(lastStop).line;
    if (!reporter_.counted(Kind::kJoined)) composeJoined();
  }
  chain_.clear();
}

void RecordWalk::composeJoined() {
  const std::vector<Piece>& chain = chain_;
  std::string values;
  for (std::size_t n = 0; n < chain.size(); ++n) {
    const Piece& p = chain[n];
    if (n > 0) values += n + 1 == chain.size() ? " and " : ", ";
    values += describe(p);
  }
  const std::string_view text = tracker_.text(chain.front().start, chain.back().stop);
  joins_.push_back({spanTo(chain[1].start, chain.back().stop - 1),
                    "entries run together: " + (text.empty() ? std::string("the text") : quotedText(text)) +
                        " is read as " + values,
                    layout_.request(request_)});
}

// The first join of a record takes `suffix`, what the record's surplus is.
void RecordWalk::flushJoins(const std::string& suffix) {
  for (Pending& join : joins_) {
    tracker_.watchLine(join.at.line);
    reporter_.add(Kind::kJoined, join.at, std::move(join.message) + (&join == &joins_.front() ? suffix : ""),
                  std::move(join.context));
  }
  joins_.clear();
}

void RecordWalk::recordCrossed(TextPosition lineFeed, int target) {
  if (onRecord_ == 0 && blankLineShown_) {  // counted alone: a file may hold any number of them
    ++blankLinesUnshown_;
    return;
  }
  crossed(lineFeed, target);
}

void RecordWalk::crossed(TextPosition lineFeed, int target) {
  if (!joins_.empty()) flushJoins();
  const Place at = tracker_.locate(lineFeed);
  crossLine_ = at.line;
  if (onRecord_ == 0) {
    blankLineShown_ = !all_ || reporter_.quiet();
    if (!reporter_.counted(Kind::kBlankLine)) {
      warn(Kind::kBlankLine, {at.line, at.column}, kBlankLineInRead, target + 1);
    }
  } else if (!shifted_) {
    shifted_ = true;
    tracker_.watchLine(at.line);
    reporter_.add(Kind::kShortRecord, {at.line, at.column},
                  format("record holds %d of the %d values its read takes: the read takes the rest from the next "
                         "record and discards what is left of it, so every later read starts a record late",
                         onRecord_, count_),
                  layout_.request(request_),
                  format("the layout shifted here, where a record holds %d of the %d values its read takes; "
                         "every read since has started a record late",
                         onRecord_, count_));
  }
  onRecord_ = 0;
}

// Empty records after the first line feed of a run: blank lines, counted
// alone once the first has been shown.
void RecordWalk::moreRecordsCrossed(int count, int target) {
  for (int n = 1; n <= count; ++n) {
    if (blankLineShown_) {
      blankLinesUnshown_ += count - n + 1;
      return;
    }
    // The walk may be past these lines already: an empty line needs no excerpt.
    blankLineShown_ = !all_ || reporter_.quiet();
    if (reporter_.counted(Kind::kBlankLine)) continue;
    warn(Kind::kBlankLine, {crossLine_ + n, 1, 1, false}, kBlankLineInRead, target + 1);
  }
}

void RecordWalk::commaNull(TextPosition at, int target) {
  ++values_;
  ++onRecord_;
  if (reporter_.counted(Kind::kNull)) return;
  const Place place = tracker_.locate(at);
  warn(Kind::kNull, {place.line, place.column},
       format("null value: a comma with no value before it leaves value %d at 0.0", target + 1), target + 1);
}

void RecordWalk::slash(TextPosition at, int target) {
  slashed_ = true;
  if (reporter_.counted(Kind::kSlash)) return;
  const Place place = tracker_.locate(at);
  warn(Kind::kSlash, {place.line, place.column},
       count_ - target == 1 ? format("slash ends the read early: value %d keeps 0.0", target + 1)
                            : format("slash ends the read early: values %d to %d keep 0.0", target + 1, count_),
       target + 1);
}

void RecordWalk::readEnd(TextPosition rest, int droppedCopies) {
  // Text the last entry ran into is the rest of the record, not another value.
  if (chain_.size() >= 2) reportJoined(rest);
  chain_.clear();
  joinAt_ = -1;
  if (tracker_.offset(rest) == commaAt_ + 1 && rest != source_.blockEnd() && isDigit(static_cast<char>(*rest))) {
    considerDecimalCommaAtTheEnd(rest);
  }
  if (droppedCopies > 0 && !shifted_ && !reporter_.counted(Kind::kDroppedCopies)) {
    tracker_.locate(rest);
    const Place at = tracker_.placeOf(entryStart_);
    warn(Kind::kDroppedCopies, {at.line, at.column},
         format("repeat count gives %d more cop%s than the read takes: %s dropped", droppedCopies,
                droppedCopies == 1 ? "y" : "ies", droppedCopies == 1 ? "it is" : "they are"),
         count_);
  }
  tracker_.openRegion(rest);
}

void RecordWalk::regionClosed(long long line, const std::string& head, long long firstText, long long lastText,
                              long long highByte, int highValue) {
  // A decimal comma or a join on this record explains text beyond its read:
  // the warning at the cause says what is ignored, and stands for the surplus.
  const bool surplus = firstText > 0 && !slashed_ && !shifted_;
  const bool comma = surplus && decimalComma_.line == line;
  const bool joined = surplus && !comma && joinLine_ == line;
  std::string ignored;
  if (surplus) {
    ignored = lastText <= static_cast<long long>(head.size())
                  ? quotedText(std::string_view(head).substr(static_cast<std::size_t>(firstText - 1),
                                                         static_cast<std::size_t>(lastText - firstText + 1)))
                  : "\"\"";
  }
  const auto consequence = [&] {
    return format(", so the record holds more than the %d values its read takes and %s is ignored", count_,
                  ignored.c_str());
  };
  if (!joins_.empty()) flushJoins(joined ? consequence() : std::string());
  if (comma) {
    if (reporter_.counted(Kind::kDecimalComma)) {
    } else if (decimalComma_.endsRead) {
      // The number after the comma is the first text beyond the read.
      const std::size_t first = static_cast<std::size_t>(firstText - 1);
      const std::size_t end = head.find_first_of(" \t,/", first);
      const std::string number = decimalComma_.message + head.substr(first, end == std::string::npos ? end : end - first);
      warn(Kind::kDecimalComma, decimalComma_.at,
           "decimal comma: " + quotedText(number) + " is read as " + describe(beforeComma_) + consequence());
    } else {
      warn(Kind::kDecimalComma, decimalComma_.at, decimalComma_.message + consequence());
    }
  } else if (surplus && !joined && !reporter_.counted(Kind::kSurplus)) {
    warn(Kind::kSurplus, {line, firstText, lastText},
         format("record holds more than the %d values its read takes: %s is ignored", count_, ignored.c_str()));
  }
  if (highByte > 0 && !reporter_.counted(Kind::kHighByte)) {
    warn(Kind::kHighByte, {line, highByte},
         format("byte 0x%02X (128 to 255) in a record that is read; a run ignores it here", highValue));
  }
}

void RecordWalk::loneCarriageReturn(Place at) {
  if (reporter_.counted(Kind::kLoneCr)) return;
  warn(Kind::kLoneCr, {at.line, at.column},
       "carriage return without a line feed: a run reads it as an ordinary character, not as a line end");
}

void RecordWalk::readingDone() {
  completed_ = request_;
  const Place end = tracker_.locate(source_.position());
  records_ = end.line - (end.column == 1 ? 1 : 0);
  request_ = 0;  // what follows belongs to no request
}

void RecordWalk::readingFailed(const ReadStatus& status) {
  if (!joins_.empty()) flushJoins();
  completed_ = request_ - 1;
  Span at;
  if (failedInEntry_) {
    const Place from = tracker_.placeOf(entryStart_);
    const Place stop = tracker_.placeOf(entryStop_);
    at = {from.line, from.column, stop.column - 1};
  } else {
    const Place place = tracker_.locate(source_.position());
    at = {place.line, place.column};
  }
  stopLine_ = records_ = at.line;
  // An entry that ran on from the value before it is that value's text.
  const int value = !failedInEntry_ || !valueRead_ ? 0 : joined_ && !chain_.empty() ? chain_.back().target + 1
                                                                                     : target_ + 1;
  std::string context = layout_.request(request_, value);
  if (status.error == ReadError::kReadStart) context += ", at its start: the data ended with the record before";
  tracker_.watchLine(at.line);
  reporter_.add(Kind::kError, at, runDiagnostic(status) + nextStep(status), std::move(context));
}

// What to do about the two failures that mean the file is not a model of
// this grid: a file that ends with a whole group, and a report given as a
// model (its first title read as a number). Empty for the others; the run's
// own message stays the first part of the line.
std::string RecordWalk::nextStep(const ReadStatus& status) const {
  const int role = ModelLayout::role(request_);
  if (status.code() == kEndOfFile && role == 0 && request_ > 1) {
    return format(": the grid must be %s and the file holds %d", layout_.gridSize().c_str(),
                  ModelLayout::group(request_));
  }
  if (status.error == ReadError::kInvalidNumber && request_ == 1 && failedInEntry_) {
    // The reading stops at the title's first letter, still in the source's first block.
    const std::string_view title = report::kSections[0].title;
    const TextPosition end = source_.blockEnd();
    const auto rest = static_cast<std::size_t>(end - failedEntryAt_);
    const std::string_view text(reinterpret_cast<const char*>(failedEntryAt_),
                                rest < title.size() ? rest : title.size());
    if (text == title) {
      return ": this is slipreport's report, not a model; give the model it was made from (rateA.dat)";
    }
  }
  return {};
}

void RecordWalk::textAfterTheData(TextPosition at) {
  if (reporter_.counted(Kind::kTrailingText)) return;
  const Place place = tracker_.locate(at);
  warn(Kind::kTrailingText, {place.line, place.column},
       format("the file goes on after the last record a run reads: from line %lld on, nothing is read",
              records_ + 1));
}

void RecordWalk::ctrlZBeforeTheEnd() {
  if (reporter_.counted(Kind::kCtrlZ)) return;
  const Place at = tracker_.locate(source_.blockEnd());
  tracker_.watchLine(at.line);
  reporter_.add(Kind::kCtrlZ, {at.line, at.column}, "Ctrl-Z (byte 26) ends the data here: a run reads nothing after it");
}

void RecordWalk::finish() {
  tracker_.finishLine();
  reporter_.addUnshown(Kind::kBlankLine, blankLinesUnshown_);
}

}  // namespace slip::check
