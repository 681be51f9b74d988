#include "text/text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace slip {

std::string format(const char* pattern, ...) {
  std::va_list args;
  va_start(args, pattern);
  std::string text = formatList(pattern, args);
  va_end(args);
  return text;
}

std::string formatList(const char* pattern, std::va_list args) {
  std::va_list again;
  va_copy(again, args);
  const int size = std::vsnprintf(nullptr, 0, pattern, args);
  std::string text(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
  if (size > 0) std::vsnprintf(text.data(), text.size() + 1, pattern, again);
  va_end(again);
  return text;
}

std::string showValue(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  std::string shown(text, end);
  for (char& c : shown) c = c == 'e' ? 'E' : c;
  return shown;
}

std::string quotedText(std::string_view text, std::size_t limit) {
  const bool cut = text.size() > limit;
  if (cut) text = text.substr(0, limit - 3);
  std::string shown = "\"";
  for (char c : text) shown += c >= 32 && c < 127 ? c : '?';
  return shown + (cut ? "...\"" : "\"");
}

std::string_view baseName(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool parseNumber(std::string_view text, double& value) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  double parsed = 0.0;
  auto [stop, ec] = std::from_chars(begin, end, parsed);
  if (ec != std::errc() || stop != end || begin == end || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

bool parseInteger(std::string_view text, long long& value) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  long long parsed = 0;
  auto [stop, ec] = std::from_chars(begin, end, parsed);
  if (ec != std::errc() || stop != end || begin == end) return false;
  value = parsed;
  return true;
}

}  // namespace slip
