// The list reader as it was before numbers were read in place from the
// block: a byte-by-byte scanner keeping up to 40 digits as text, and the
// C++ library's from_chars (strtod at the ends of the range) for anything
// past one exact multiply or divide. Kept unchanged for the differential
// fuzz target, which reads every input with both readers.
#pragma once

#include "input/byte_source.h"
#include "input/read_status.h"

namespace slip::reference {

class ListReader {
 public:
  explicit ListReader(ByteSource& source) : source_(source) {}

  ReadStatus valueRead(double* targets, int count);
  ReadStatus recordSkip();

 private:
  struct Entry {
    double value = 0.0;
    bool isValue = false;
    int repeat = 1;
  };

  static ReadError scanEntry(ByteSource::Cursor& in, int& c, Entry& entry);
  ReadStatus fail(ReadError error) const;

  ByteSource& source_;
};

}  // namespace slip::reference
