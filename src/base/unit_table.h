// The driver's own view of the unit table, shared by its files only.
#pragma once

#include <atomic>
#include <csignal>
#include <cstddef>

namespace slip {

struct Unit {
  volatile std::sig_atomic_t connected = 0;
  volatile std::sig_atomic_t written = 0;  // written since it was opened
  int handle = -1;
  char* name = nullptr;       // the file name; null for an unconnected unit
  bool canRead = false;
  bool canWrite = false;
  bool plain = false;         // a disk file: written at offsets, cut at close
  long long position = 0;     // bytes read, where a switch to writing starts

  // Output: whole records not yet in the file, which start at offset `base`.
  char* buffer = nullptr;
  std::size_t capacity = 0;
  std::atomic<std::size_t> pending{0};
  std::atomic<long long> base{0};
  bool failed = false;        // a write failed; the file keeps `keep` bytes
  long long keep = 0;
};

// The name of `unit`'s file, kept until the unit closes normally; or null.
const char* unitName(int unit);

// closeAllUnits for a signal handler: writes pending records of disk files,
// cuts them, and closes, using only calls that are safe in a handler.
void closeAllUnitsFromSignal();

}  // namespace slip
