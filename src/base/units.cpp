// The unit table: numbered connections to files, with buffered record output.
//
// Output of a unit collects whole records in one buffer and reaches the file
// in large writes. The signal handlers may end the process at any moment, so
// the state they read is kept consistent at every instant: a record becomes
// part of `pending` only once it is complete, and `base`/`pending` change
// together only with the asynchronous signals held off. A plain disk file is
// written at explicit offsets, so the handler can safely write the pending
// records again, whatever the main sequence was doing.
#include "base/units.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "base/fatal.h"
#include "base/platform.h"
#include "base/unit_table.h"

namespace slip {
namespace {

constexpr std::size_t kOutputBufferSize = 64 * 1024;

Unit units[kMaxUnit + 1];
// The file last opened with status "OLD": the run reads it, so no unit opened
// later may write it, whatever name or link leads to it.
platform::FileId inputFile;
volatile std::sig_atomic_t closingStarted = 0;
IoContext context;

void markStatement(int unit, const char* format, bool reading) {
  context.currentUnit = unit;
  context.formatText = format;
  context.reading = reading;
  context.sequential = true;
  context.formatted = true;
  context.external = true;
}

// The length of the whole records within the first `written` bytes.
std::size_t wholeRecords(const char* buffer, std::size_t written) {
  while (written > 0 && buffer[written - 1] != '\n') --written;
  return written;
}

// Writes the pending records; on failure the unit keeps the records that
// reached the file whole and drops the rest.
bool flush(Unit& u, int* error) {
  std::size_t n = u.pending.load(std::memory_order_relaxed);
  if (n == 0) return true;
  long long base = u.base.load(std::memory_order_relaxed);
  std::size_t done = u.plain ? platform::writeFileAt(u.handle, u.buffer, n, base, error)
                             : platform::writeFile(u.handle, u.buffer, n, error);
  platform::blockSignals();
  if (done < n) {
    u.keep = base + static_cast<long long>(wholeRecords(u.buffer, done));
    u.failed = true;
  }
  u.base.store(base + static_cast<long long>(done), std::memory_order_relaxed);
  u.pending.store(0, std::memory_order_relaxed);
  platform::unblockSignals();
  return done == n;
}

// The first write on a unit: a unit opened for reading only is reopened for
// update at the same position, and the output buffer comes into being.
void startWriting(Unit& u) {
  if (!u.canWrite) {
    int error = 0;
    int handle = platform::openFile(u.name, platform::OpenMode::Update, &error);
    if (handle < 0 || (u.position > 0 && !platform::seekFile(handle, u.position, &error))) {
      ioFatal(kErrCantWrite, "list output start");
    }
    platform::blockSignals();
    platform::closeFile(u.handle, &error);
    u.handle = handle;
    u.canWrite = true;
    u.plain = platform::isPlainFile(handle);
    platform::unblockSignals();
  }
  if (u.buffer == nullptr) {
    u.buffer = static_cast<char*>(std::malloc(kOutputBufferSize));
    if (u.buffer == nullptr) ioFatal(kErrFreeSpace, "malloc failure");
    u.capacity = kOutputBufferSize;
  }
  u.base.store(u.position, std::memory_order_relaxed);
  u.written = 1;
}

// Writes what is pending and cuts the file where its output ends. Used from
// a signal handler: system calls only, no allocation, errors ignored.
void releaseFromSignal(Unit& u) {
  int error = 0;
  if (u.written && u.plain) {
    std::size_t pending = u.pending.load(std::memory_order_acquire);
    long long base = u.base.load(std::memory_order_relaxed);
    long long end = u.keep;
    if (!u.failed) {
      // A write that stops part-way keeps only the records it completed.
      std::size_t done = platform::writeFileAt(u.handle, u.buffer, pending, base, &error);
      end = base + static_cast<long long>(wholeRecords(u.buffer, done));
    }
    if (platform::fileSize(u.handle) > end) platform::cutFile(u.handle, end, &error);
  }
  if (u.name != nullptr) platform::closeFile(u.handle, &error);
  u.connected = 0;
}

}  // namespace

IoContext& ioContext() { return context; }

const char* unitName(int unit) {
  return unit >= 0 && unit <= kMaxUnit ? units[unit].name : nullptr;
}

void openUnit(int unit, const char* name, const char* status) {
  context.currentUnit = unit;
  context.external = true;
  Unit& u = units[unit];
  if (u.connected) closeUnit(unit);

  std::size_t length = std::strlen(name);
  while (length > 0 && name[length - 1] == ' ') --length;
  char* copy = static_cast<char*>(std::malloc(length + 1));
  if (copy == nullptr) ioFatal(kErrFreeSpace, "no space");
  std::memcpy(copy, name, length);
  copy[length] = '\0';
  std::free(u.name);
  u.name = copy;

  int error = 0;
  const bool mustExist = status[0] == 'o' || status[0] == 'O';
  if (mustExist && !platform::fileExists(copy, &error)) ioFatal(error, "open");
  using platform::OpenMode;
  int handle = -1;
  for (OpenMode mode : {OpenMode::Update, OpenMode::Read, OpenMode::Write}) {
    // A file that must exist is never opened by creating it anew: that would
    // empty a model file the run may write but not read.
    if (mode == OpenMode::Write && mustExist) break;
    // A model streamed through a named pipe is read, never updated: the
    // update attempt would hold the pipe's write end, and a writer that stops
    // early would leave the run waiting for an end of data that never comes.
    if (mode == OpenMode::Update && mustExist && platform::isPipe(copy)) continue;
    handle = platform::openFile(copy, mode, &error);
    if (handle >= 0) {
      u.canRead = mode != OpenMode::Write;
      u.canWrite = mode != OpenMode::Read;
      u.written = mode == OpenMode::Write;
      break;
    }
  }
  if (handle < 0) ioFatal(error, "open");
  platform::FileId id;
  u.plain = platform::isPlainFile(handle, &id);
  if (mustExist) {
    inputFile = id;
  } else if (id.known && id == inputFile) {
    // A report that is the model itself: opened, nothing written, closed.
    platform::closeFile(handle, &error);
    ioFatal(platform::inUseError(), "open");
  }
  u.handle = handle;
  u.position = 0;
  u.base.store(0, std::memory_order_relaxed);
  u.pending.store(0, std::memory_order_relaxed);
  u.failed = false;
  u.keep = 0;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  u.connected = 1;
}

void closeUnit(int unit) {
  if (unit < 0 || unit > kMaxUnit) return;
  Unit& u = units[unit];
  if (!u.connected) return;
  int error = 0;
  int code = 0;
  const char* failure = nullptr;
  if (u.written && !u.failed && !flush(u, &error)) {
    failure = "close";
    code = error;
  }
  platform::blockSignals();
  if (u.written && u.plain && u.name != nullptr) {
    long long end = u.failed ? u.keep : u.base.load(std::memory_order_relaxed);
    if (platform::fileSize(u.handle) > end && !platform::cutFile(u.handle, end, &error) && failure == nullptr) {
      failure = "endfile";
      code = kErrTruncation;
    }
  }
  if (u.name != nullptr && !platform::closeFile(u.handle, &error) && u.written && failure == nullptr) {
    failure = "close";
    code = error;
  }
  u.connected = 0;
  u.handle = -1;
  // The unit is released before any failure is reported, so the closing of
  // units that follows the diagnostic does not meet it again; it keeps its
  // name for the diagnostic.
  if (failure != nullptr) ioFatal(code, failure);
  std::free(u.name);
  u.name = nullptr;
  std::free(u.buffer);
  u.buffer = nullptr;
  u.capacity = 0;
  u.written = 0;
  platform::unblockSignals();
}

void closeAllUnits() {
  if (closingStarted) return;
  closingStarted = 1;
  for (int unit = 0; unit <= kMaxUnit; ++unit) closeUnit(unit);
}

void closeAllUnitsFromSignal() {
  if (closingStarted) return;
  closingStarted = 1;
  for (Unit& u : units) {
    if (u.connected) releaseFromSignal(u);
  }
}

void startReadStatement(int unit) { markStatement(unit, kListIo, true); }

long readUnit(int unit, unsigned char* buffer, std::size_t capacity, int* error) {
  Unit& u = units[unit];
  if (!u.connected || !u.canRead) {
    *error = EBADF;
    return -1;
  }
  long n = platform::readFile(u.handle, buffer, capacity, error);
  if (n > 0) u.position += n;
  return n;
}

void writeRecord(int unit, const char* format, const char* data, std::size_t size) {
  markStatement(unit, format != nullptr ? format : kListIo, false);
  if (unit < 0 || unit > kMaxUnit || !units[unit].connected) ioFatal(kErrCantWrite, "list output start");
  Unit& u = units[unit];
  if (!u.written || u.buffer == nullptr) startWriting(u);

  std::size_t need = size + platform::kLineEndSize;
  std::size_t pending = u.pending.load(std::memory_order_relaxed);
  if (pending + need > u.capacity) {
    int error = 0;
    if (!flush(u, &error)) ioFatal(error, "write");
    pending = 0;
    if (need > u.capacity) {
      char* grown = static_cast<char*>(std::malloc(need));
      if (grown == nullptr) ioFatal(kErrFreeSpace, "malloc failure");
      platform::blockSignals();
      std::free(u.buffer);
      u.buffer = grown;
      u.capacity = need;
      platform::unblockSignals();
    }
  }
  std::memcpy(u.buffer + pending, data, size);
  std::memcpy(u.buffer + pending + size, platform::kLineEnd, platform::kLineEndSize);
  // Release: a handler that sees the new count, on this thread or another,
  // sees the whole record.
  u.pending.store(pending + need, std::memory_order_release);
  if (format != nullptr) context.formatText = nullptr;
}

}  // namespace slip
