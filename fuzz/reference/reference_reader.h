// The list reader as it was before numbers were read in place from the
// block: a byte-by-byte scanner keeping up to 40 digits as text, and the
// C++ library's from_chars (strtod at the ends of the range) for anything
// past one exact multiply or divide. Its reading is kept unchanged for the
// differential fuzz target, which reads every input with both readers.
#pragma once

#include "input/byte_source.h"
#include "input/read_status.h"

// A namespace and names of its own, apart from the run's reader: the two are
// linked into one program.
namespace reference_copy {

using slip::ByteSource;
using slip::ReadError;
using slip::ReadStatus;

class ByteByByteReader {
 public:
  explicit ByteByByteReader(ByteSource& source) : source_(source) {}

  // A value read and a record skip, as the run's reader has them.
  ReadStatus readValues(double* targets, int count);
  ReadStatus skipOneRecord();

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

}  // namespace reference_copy
