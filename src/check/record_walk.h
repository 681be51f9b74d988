// The reading as the run does it, watched request by request: what each
// record holds against what its read takes, and where the text says one
// thing and the reader takes another.
//
// RecordWalk is the list reader's observer and the text tracker's listener.
// It keeps where the reading stands (request, record, entry, target) and
// warns, at the column of the cause, of records short or long, nulls,
// slashes, dropped copies, blank lines inside a read, lone carriage returns,
// bytes 128 to 255, entries that run together (1.5-2.5, 0.283.301), decimal
// commas (0,283301: one number read as two) and header values the report
// cannot show. When the reading fails, it puts the run's error where the
// reader stopped.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "check/findings.h"
#include "check/model_check.h"
#include "check/model_layout.h"
#include "check/text_tracker.h"
#include "input/byte_source.h"
#include "input/read_observer.h"

namespace slip::check {

class RecordWalk final : public ReadObserver, public TrackerListener {
 public:
  // `ruptureTimes`, when given, gets the place of each group's rupture time a2(5).
  RecordWalk(ByteSource& source, const ModelLayout& layout, Reporter& reporter, bool all,
             std::vector<ValuePlace>* ruptureTimes = nullptr);

  // ReadObserver
  void requestStart(bool valueRead, int count, TextPosition at) override;
  void entryStart(TextPosition at, int target) override {
    entryStart_ = tracker_.offset(at);
    target_ = target;
    joined_ = entryStart_ == joinAt_;
    afterComma_ = entryStart_ == commaAt_ + 1 && at != source_.blockEnd() && *at >= '0' && *at <= '9';
  }
  void entryEnd(TextPosition stop, const ListEntry& entry, int target) override {
    const int given = entry.repeat < count_ - target ? entry.repeat : count_ - target;
    values_ += given;
    onRecord_ += given;
    const int after = stop != source_.blockEnd() ? *stop : kEof;
    // Most entries are a plain value followed by a blank or a line end.
    if ((after == ' ' || after == '\n') && chain_.empty() && !afterComma_ && !headerRecord_ && entry.isValue &&
        std::isfinite(entry.value)) {
      return;
    }
    noteEntry(stop, entry, target, given, after);
  }
  void entryFailed(TextPosition stop, ReadError) override {
    failedEntryAt_ = stop;
    tracker_.locate(stop);
    entryStop_ = tracker_.offset(stop);
    failedInEntry_ = true;
  }
  void recordCrossed(TextPosition lineFeed, int target) override;
  void moreRecordsCrossed(int count, int target) override;
  void commaNull(TextPosition at, int target) override;
  void slash(TextPosition at, int target) override;
  void readEnd(TextPosition rest, int droppedCopies) override;

  // TrackerListener
  void loneCarriageReturn(Place at) override;
  void regionClosed(long long line, const std::string& head, long long firstText, long long lastText,
                    long long highByte, int highValue) override;
  void lineDone(long long line, const std::string& head) override {
    if (line == ruptureLine_) {
      (*ruptureTimes_)[static_cast<std::size_t>(ruptureGroup_)].text = head;
      ruptureLine_ = 0;
    }
    reporter_.lineDone(line, head);
  }

  // After the reading.
  void readingDone();                     // every request completed
  void readingFailed(const ReadStatus& status);
  void textAfterTheData(TextPosition at);  // the first byte of text a run never reads
  void ctrlZBeforeTheEnd();               // the data ended at a Ctrl-Z with more of the file after it
  void finish();                          // the last line is complete; counts what waited

  long long values() const { return values_; }      // targets given a value or a null
  long long records() const { return records_; }    // records the reading used
  long long stopLine() const { return stopLine_; }  // where a failed reading stopped
  int completedRequests() const { return completed_; }
  // The first line of group `group` (0 if the reading never got there).
  long long groupLine(int group) const { return groupLines_[static_cast<std::size_t>(group)]; }

 private:
  // One entry the reader took: view offsets of its first byte and of the
  // byte that ended it, its value and its targets.
  struct Piece {
    long long start = 0, stop = 0;
    double value = 0.0;
    bool isValue = false;
    int target = 0, given = 1;
  };

  static std::string describe(const Piece& piece);
  std::string nextStep(const ReadStatus& status) const;
  void noteRuptureTime(TextPosition stop, long long stopAt);
  [[gnu::noinline]] void noteEntry(TextPosition stop, const ListEntry& entry, int target, int given, int after);
  void crossed(TextPosition lineFeed, int target);
  void considerDecimalComma(const Piece& second, TextPosition stop);
  void considerDecimalCommaAtTheEnd(TextPosition rest);
  void reportJoined(TextPosition lastStop);
  void composeJoined();
  void flushJoins(const std::string& suffix = {});
  void warn(Kind kind, Span at, std::string message, int value = 0);
  Span spanTo(long long fromOffset, long long lastOffset) const;

  ByteSource& source_;
  const ModelLayout& layout_;
  Reporter& reporter_;
  bool all_;
  TextTracker tracker_;

  int request_ = 0;             // requests started, the current one included
  bool valueRead_ = false;
  bool headerRecord_ = false;   // the request reads a header record, whose values the report shows
  int count_ = 0;               // targets of the current value read
  long long entryStart_ = 0;    // view offset of the latest entry's first byte
  int target_ = 0;              // the target that entry began
  long long entryStop_ = 0;
  TextPosition failedEntryAt_ = nullptr;  // where the failed entry's reading stopped
  bool failedInEntry_ = false;
  int onRecord_ = 0;            // targets the current read took from its current record
  bool slashed_ = false;        // the current read ended at a slash
  bool shifted_ = false;        // a short record has shifted every later read
  bool blankLineShown_ = false; // later blank lines are only counted
  long long blankLinesUnshown_ = 0;
  long long crossLine_ = 0;     // the line of the latest run's first line feed

  // Entries run together: the latest ended at joinAt_ against a byte that
  // begins the next; chain_ holds the pieces so far of one such text.
  std::vector<Piece> chain_;
  long long joinAt_ = -1;
  bool joined_ = false;         // the current entry began at joinAt_
  // Joins of the current record wait for its end: one that makes the record
  // hold more values than its read takes explains the surplus.
  struct Pending {
    Span at;
    std::string message, context;
  };
  std::vector<Pending> joins_;
  long long joinLine_ = 0;      // the line of the latest join, shown or not
  // A decimal comma: the latest entry ended at the comma at commaAt_; the
  // current one began with a digit right after it.
  long long commaAt_ = -2;
  Piece beforeComma_;
  bool afterComma_ = false;
  struct {
    long long line = 0;         // the line of the first candidate of the current record, or 0
    Span at;
    std::string message;        // the warning's, or for endsRead the text up to the comma
    bool endsRead = false;      // the number before the comma is the read's last value
  } decimalComma_;

  long long values_ = 0;
  long long records_ = 0;
  long long stopLine_ = 0;
  int completed_ = 0;
  std::vector<long long> groupLines_;
  std::vector<ValuePlace>* ruptureTimes_;
  long long ruptureLine_ = 0;   // the line of the latest rupture time, until its text is kept
  int ruptureGroup_ = 0;
};

}  // namespace slip::check
