#include "cli/diagnostics.h"

#include "base/platform.h"

namespace slip::cli {
namespace {

constexpr long long kExcerptWidth = 100;  // characters of a long line shown around the column
constexpr long long kBeforeColumn = 60;

std::string number(long long value) { return std::to_string(value); }

}  // namespace

const char* severityWord(Severity severity) {
  switch (severity) {
    case Severity::Error: return "error";
    case Severity::Warning: return "warning";
    case Severity::Note: return "note";
  }
  return "error";
}

std::string renderExcerpt(long long line, std::string_view head, long long column, long long lastColumn) {
  const long long size = static_cast<long long>(head.size());
  if (column < 1 || column > size + 1) return {};
  if (lastColumn < column) lastColumn = column;
  long long first = 1;  // first column shown
  long long last = size;
  if (size > kExcerptWidth) {
    first = column > kBeforeColumn ? column - kBeforeColumn : 1;
    last = first + kExcerptWidth - 1;
    if (last > size) last = size;
  }
  // The tildes stop one past the last column shown (a range may run to the line's end).
  if (lastColumn > last + 1) lastColumn = last + 1;
  const std::string gutter = " " + number(line) + " | ";
  std::string text = gutter;
  if (first > 1) text += "...";
  for (long long c = first; c <= last; ++c) {
    const unsigned char byte = static_cast<unsigned char>(head[static_cast<std::size_t>(c - 1)]);
    text += byte == '\t' ? ' ' : (byte >= 32 && byte < 127 ? static_cast<char>(byte) : '?');
  }
  if (last < size) text += "...";
  text += '\n';
  text += std::string(gutter.size() - 2, ' ') + "| ";
  if (first > 1) text += "   ";
  text += std::string(static_cast<std::size_t>(column - first), ' ');
  text += '^';
  text += std::string(static_cast<std::size_t>(lastColumn - column), '~');
  text += '\n';
  return text;
}

std::string renderDiagnostic(const Place& place, Severity severity, std::string_view message,
                             std::string_view context) {
  std::string text(place.file);
  if (place.line > 0) text += ":" + number(place.line) + ":" + number(place.column);
  text += ": ";
  text += severityWord(severity);
  text += ": ";
  text += message;
  text += '\n';
  if (!context.empty()) {
    text += "  ";
    text += context;
    text += '\n';
  }
  return text;
}

std::string renderDiagnostic(const Place& place, Severity severity, std::string_view message,
                             std::string_view context, std::string_view lineText) {
  std::string text = renderDiagnostic(place, severity, message, context);
  if (place.line > 0) text += renderExcerpt(place.line, lineText, place.column, place.lastColumn);
  return text;
}

std::string_view lineOf(std::string_view text, long long line) {
  std::size_t start = 0;
  for (long long n = 1; n < line; ++n) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) return {};
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  const std::size_t end = text.find_first_of("\r\n", start);
  return text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

void writeDiagnostic(std::string_view text) { platform::writeError(text.data(), text.size()); }

void reportError(std::string_view program, std::string_view message) {
  std::string text(program);
  text += ": error: ";
  text += message;
  text += '\n';
  writeDiagnostic(text);
}

}  // namespace slip::cli
