// The pieces slipcheck's messages are made of: printf-style text of any
// length, numbers as a run reads them, and quoted model text.
#pragma once

#include <string>
#include <string_view>

namespace slip::check {

// printf into a string of whatever length the text needs.
[[gnu::format(printf, 1, 2)]] std::string format(const char* pattern, ...);

// The shortest text that reads back as `value` ("1.944E-11", "0.09924", "inf").
std::string showValue(double value);

// `text` in double quotes, each byte that would not print as one character
// shown as '?'; text longer than `limit` keeps its first bytes and ends in "...".
std::string quotedText(std::string_view text, std::size_t limit = 40);

// "" or "s": the plural ending for `count`.
inline const char* plural(long long count) { return count == 1 ? "" : "s"; }

}  // namespace slip::check
