// The byte-by-byte scanner of one entry: slower than the in-place reading,
// it reads every entry alike, near the end of a block or across blocks.
#pragma once

#include "input/byte_source.h"
#include "input/read_status.h"

namespace slip {

// What the byte scanner found, `c` the byte that ended the entry: returned
// whole, so that the value read can keep its byte and entry in registers.
struct ByteScan {
  double value;
  int repeat;
  int c;
  bool isValue;
  ReadError error;
};

// Scans one entry whose first byte `c` has been fetched from `source`; the
// caller has handed its cursor over.
[[gnu::noinline]] ByteScan scanByBytes(ByteSource& source, int c);

}  // namespace slip
