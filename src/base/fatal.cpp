// The fatal diagnostic: one layout for every input or output failure.
#include "base/fatal.h"

#include <cstdio>

#include "base/platform.h"
#include "base/unit_table.h"
#include "base/units.h"

namespace slip {
namespace {

const char* tableText(int code) {
  switch (code) {
    case kErrTruncation: return "truncation failed in endfile";
    case kErrListInput: return "incomprehensible list input";
    case kErrFreeSpace: return "out of free space";
    case kErrCantWrite: return "can't write file";
    default: return nullptr;
  }
}

// Appends to a bounded buffer; text past the end is dropped.
struct Text {
  char* out;
  std::size_t capacity;
  std::size_t size = 0;

  template <typename... Args>
  void add(const char* format, Args... args) {
    if (size >= capacity) return;
    int n = std::snprintf(out + size, capacity - size, format, args...);
    if (n > 0) size += static_cast<std::size_t>(n) < capacity - size ? static_cast<std::size_t>(n) : capacity - size - 1;
  }
};

std::size_t formatFirstLine(char* out, std::size_t capacity, int code, const char* context) {
  Text text{out, capacity};
  if (code < 0) {
    text.add("%s: end of file\n", context);
  } else if (const char* table = tableText(code)) {
    text.add("%s: %s\n", context, table);
  } else {
    text.add("%s: %s\n", context, platform::errorText(code));
  }
  return text.size;
}

std::size_t formatState(char* out, std::size_t capacity, const IoContext& io, const char* unitName) {
  Text text{out, capacity};
  if (unitName != nullptr) {
    text.add("apparent state: unit %d named %s\n", io.currentUnit, unitName);
  } else {
    text.add("apparent state: unit %d (unnamed)\n", io.currentUnit);
  }
  if (io.formatText != nullptr) text.add("last format: %s\n", io.formatText);
  text.add("lately %s %s %s %s IO\n", io.reading ? "reading" : "writing",
           io.sequential ? "sequential" : "direct", io.formatted ? "formatted" : "unformatted",
           io.external ? "external" : "internal");
  return text.size;
}

}  // namespace

std::size_t formatDiagnostic(char* out, std::size_t capacity, int code, const char* context,
                             const IoContext& io, const char* unitName) {
  std::size_t first = formatFirstLine(out, capacity, code, context);
  return first + formatState(out + first, capacity - first, io, unitName);
}

void ioFatal(int code, const char* context) {
  // The diagnostic and the closing of units must not be interleaved with a
  // signal handler's own closing.
  platform::blockSignals();
  char line[512];
  platform::writeError(line, formatFirstLine(line, sizeof line, code, context));
  IoContext& io = ioContext();
  if (io.fatalReported) {
    // A second failure while the units are being closed after the first.
    platform::writeError("(libf2c f__fatal already called, aborting.)");
    platform::abortProcess();
  }
  io.fatalReported = true;
  char state[1024];
  platform::writeError(state, formatState(state, sizeof state, io, unitName(io.currentUnit)));
  closeAllUnits();
  platform::restoreDefaultAbort();
  platform::abortProcess();
}

}  // namespace slip
