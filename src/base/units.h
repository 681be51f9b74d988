// Numbered file units and the run-wide record of the latest I/O activity.
//
// Every file the run touches is reached through a unit (0..99; the run uses
// 11 for the model file and 12 for the report). Nothing else in the program
// opens, reads, writes or closes a file. Every failure here ends the run
// through ioFatal and never returns to the caller.
#pragma once

#include <cstddef>

namespace slip {

// What the fatal diagnostic prints after "apparent state:" and "lately".
struct IoContext {
  int currentUnit = -1;               // none before the first open
  const char* formatText = nullptr;   // "list io", a fixed-format text, or none
  bool reading = false;               // direction: writing at start
  bool sequential = false;            // access: direct at start
  bool formatted = false;             // form: unformatted at start
  bool external = false;              // kind: internal at start
  bool fatalReported = false;
};

IoContext& ioContext();

// The format text of free-format (list-directed) statements.
inline constexpr const char kListIo[] = "list io";

constexpr int kMaxUnit = 99;

// Connects `unit` to `name`. status "OLD" (first letter, either case) requires
// the file to exist; anything else ("unknown") creates it if missing. The file
// is opened for update without truncation, else for reading only, else created
// for writing; the position is the first byte.
void openUnit(int unit, const char* name, const char* status);

// Disconnects `unit`, keeping the file. A unit that has been written is cut at
// its current position, so the file ends with the last byte written.
void closeUnit(int unit);

// Closes units 0..99 in order; runs at most once per process.
void closeAllUnits();

// Marks the start of a free-format read statement on `unit`.
void startReadStatement(int unit);

// Reads up to `capacity` bytes of the unit's file at its current position.
// Returns the count, 0 at the end of the file, or -1 with the system error
// number in `*error`.
long readUnit(int unit, unsigned char* buffer, std::size_t capacity, int* error);

// One whole write statement: one record and its line ending on `unit`.
// `format` is nullptr for a free-format statement (IoContext shows "list io"
// from its start on) or the format text of a fixed-format statement (shown
// while the statement runs, cleared when it completes).
void writeRecord(int unit, const char* format, const char* data, std::size_t size);

}  // namespace slip
