// The free-format (list-directed) reading of the model file's records.
//
// Two kinds of request consume the file. A value read fills n contiguous
// double targets from as many records as it needs, starting at the beginning
// of a record, and then discards the rest of the last record it used. A record
// skip discards exactly one record. Entries are values (sign, digits with one
// optional point, an exponent after D, E, d or e or after a bare sign), null
// values (a comma with no value of its own, or r*), repeated values (r*v) and
// a slash that ends the value read. A null leaves its target unchanged.
//
// A request never ends the process: it returns a ReadStatus, and the caller
// decides what a failure means (the real run hands it to ioFatal).
//
// The reader is a template on what observes it (read_observer.h): the run
// reads with ListReader, whose observer does nothing; a checker reads with
// ObservedListReader. Both are built in list_reader.cpp.
#pragma once

#include "input/byte_source.h"
#include "input/read_observer.h"
#include "input/read_status.h"

namespace slip {

template <class Observer>
class BasicListReader {
 public:
  BasicListReader(ByteSource& source, Observer& observer) : source_(source), observer_(observer) {}

  // Fills targets[0..count) in order. After a failure the targets hold what
  // the read had stored so far, and the reader must not be used again.
  ReadStatus valueRead(double* targets, int count);

  // Discards one record, whatever it holds (an empty line counts as a record).
  ReadStatus recordSkip();

 private:
  using Entry = ListEntry;

  [[gnu::always_inline]] inline ReadError scanEntry(ByteSource::Cursor& in, int& c, Entry& entry);
  ReadStatus fail(ReadError error) const;

  ByteSource& source_;
  Observer& observer_;
};

// Whether byte `c` (or kEof) ends the entry before it, as the reader's byte
// table has it: a blank, a tab, a line feed, a comma, a slash or the end of
// the data. Any other byte after an entry runs into it (a lone CR too).
bool endsEntry(int c);

// The run's reader: nothing observes it.
class ListReader : public BasicListReader<NoReadObserver> {
 public:
  explicit ListReader(ByteSource& source) : BasicListReader(source, silent_) {}

 private:
  static inline NoReadObserver silent_;
};
using ObservedListReader = BasicListReader<ReadObserver>;

}  // namespace slip
