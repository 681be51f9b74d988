// Text that every layer may use, and that uses nothing of the project:
// printf-style text of any length, numbers as a run reads them, quoted
// model text, file names, and whole-text numbers from a command line or a
// structure file.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

namespace slip {

// printf into a string of whatever length the text needs. mingw-w64's g++
// checks "printf" against Microsoft's runtime, which lacks %zu; the C++
// runtime there prints through mingw's own, which has it.
#if defined(__MINGW32__) && !defined(__clang__)
[[gnu::format(gnu_printf, 1, 2)]] std::string format(const char* pattern, ...);
#else
[[gnu::format(printf, 1, 2)]] std::string format(const char* pattern, ...);
#endif
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
