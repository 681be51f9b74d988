// Text that every layer may use, and that uses nothing of the project:
// printf-style text of any length, numbers as a run reads them, quoted
// model text, file names, and whole-text numbers from a command line or a
// structure file.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

namespace slip {

// The check of a printf-like function's arguments. MinGW's C++ library
// formats as C99 does (%zu, %lld), which its compiler checks as gnu_printf:
// its plain "printf" would check the older Microsoft rules and refuse %zu.
#ifdef __MINGW32__
#define SLIP_PRINTF(pattern, first) [[gnu::format(gnu_printf, pattern, first)]]
#else
#define SLIP_PRINTF(pattern, first) [[gnu::format(printf, pattern, first)]]
#endif

// printf into a string of whatever length the text needs.
SLIP_PRINTF(1, 2) std::string format(const char* pattern, ...);
// The same for the arguments of a function that is itself printf-like.
std::string formatList(const char* pattern, std::va_list args);

// The shortest text that reads back as `value` ("1.944E-11", "0.09924", "inf").
std::string showValue(double value);

// `text` in double quotes, each byte that would not print as one character
// shown as '?'; text longer than `limit` keeps its first bytes and ends in "...".
std::string quotedText(std::string_view text, std::size_t limit = 40);

// "" or "s": the plural ending for `count`.
inline const char* plural(long long count) { return count == 1 ? "" : "s"; }

// The path's last name, without its folders ('/' or '\\').
std::string_view baseName(std::string_view path);

// Whole-text numbers: "12x" is no number; a leading '+' is taken, as a user
// or another program may write it. A double must be finite.
bool parseNumber(std::string_view text, double& value);
bool parseInteger(std::string_view text, long long& value);

}  // namespace slip
