// What the list reader can tell an observer about the text it reads.
//
// The run itself reads with NoReadObserver, whose calls are empty and inline:
// they compile away, and the run's reader is the plain reader. A checker
// reads with a ReadObserver of its own and learns where every request starts,
// where each entry begins and ends, the line feeds a value read crosses, the
// nulls and slashes it meets, the copies it drops and where the rest of a
// record begins. The reader behaves the same with either observer.
//
// Positions are pointers into the ByteSource's current block (see
// ByteSource::setBlockObserver for how to turn them into offsets); a position
// at the end of the data is the end of the last block.
#pragma once

#include "input/read_status.h"

namespace slip {

// The outcome of scanning one entry: a value or a null, given `repeat` times.
struct ListEntry {
  double value = 0.0;
  bool isValue = false;
  int repeat = 1;
};

using TextPosition = const unsigned char*;

// Every call is a no-op; `target` counts a value read's targets from 0.
struct NoReadObserver {
  void requestStart(bool /*valueRead*/, int /*count*/, TextPosition) {}
  void entryStart(TextPosition, int /*target*/) {}
  void entryEnd(TextPosition /*stop*/, const ListEntry&, int /*target*/) {}
  void entryFailed(TextPosition /*stop*/, ReadError) {}
  void recordCrossed(TextPosition /*lineFeed*/, int /*target*/) {}
  void moreRecordsCrossed(int /*count*/, int /*target*/) {}
  void commaNull(TextPosition, int /*target*/) {}
  void slash(TextPosition, int /*target*/) {}
  void readEnd(TextPosition /*restOfRecord*/, int /*droppedCopies*/) {}
};

// The same calls, for an observer that wants them.
class ReadObserver {
 public:
  virtual void requestStart(bool valueRead, int count, TextPosition at) = 0;
  virtual void entryStart(TextPosition at, int target) = 0;
  virtual void entryEnd(TextPosition stop, const ListEntry& entry, int target) = 0;
  virtual void entryFailed(TextPosition stop, ReadError error) = 0;
  // The first line feed of a run of blanks and line feeds between entries,
  // then how many more the run held (each ends an empty record).
  virtual void recordCrossed(TextPosition lineFeed, int target) = 0;
  virtual void moreRecordsCrossed(int count, int target) = 0;
  virtual void commaNull(TextPosition at, int target) = 0;
  virtual void slash(TextPosition at, int target) = 0;
  virtual void readEnd(TextPosition restOfRecord, int droppedCopies) = 0;

 protected:
  ~ReadObserver() = default;
};

}  // namespace slip
