// The one way out on an input or output failure.
#pragma once

#include <cstddef>

namespace slip {

// Codes: -1 end of file, 0..99 a system error number, 100..132 the I/O table.
inline constexpr int kEndOfFile = -1;
inline constexpr int kErrTruncation = 111;   // "truncation failed in endfile"
inline constexpr int kErrListInput = 112;    // "incomprehensible list input"
inline constexpr int kErrFreeSpace = 113;    // "out of free space"
inline constexpr int kErrCantWrite = 127;    // "can't write file"

struct IoContext;

// Formats the diagnostic's lines after the first failure: the first line for
// `code` and `context`, then the unit, the last format and the lately line.
// `unitName` may be null. Returns the length written (truncated to `capacity`).
std::size_t formatDiagnostic(char* out, std::size_t capacity, int code, const char* context,
                             const IoContext& io, const char* unitName);

// Prints the diagnostic on standard error, closes every unit and aborts.
[[noreturn]] void ioFatal(int code, const char* context);

}  // namespace slip
