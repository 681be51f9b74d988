#include "check/findings.h"

#include <cstdio>
#include <utility>

namespace slip::check {
namespace {

constexpr long long kExcerptWidth = 100;   // characters of a long line shown around the column
constexpr long long kBeforeColumn = 60;

const char* severity(Kind kind) { return kind == Kind::kError ? "error" : "warning"; }

std::string number(long long value) { return std::to_string(value); }

}  // namespace

const char* kindName(Kind kind) {
  switch (kind) {
    case Kind::kError: return "error";
    case Kind::kShortRecord: return "short record";
    case Kind::kSurplus: return "values beyond a read";
    case Kind::kNull: return "null value";
    case Kind::kSlash: return "slash";
    case Kind::kDroppedCopies: return "dropped copies";
    case Kind::kBlankLine: return "blank line";
    case Kind::kLoneCr: return "lone carriage return";
    case Kind::kCtrlZ: return "Ctrl-Z";
    case Kind::kHighByte: return "byte 128 to 255";
    case Kind::kUnshowable: return "asterisks in the report";
    case Kind::kNotFinite: return "infinite or NaN value";
    case Kind::kOutOfRange: return "position out of range";
    case Kind::kTrailingText: return "text after the last record";
    case Kind::kCount: break;
  }
  return "";
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
  if (lastColumn > last + 1) lastColumn = last + 1;
  const std::string gutter = " " + number(line) + " | ";
  std::string text = gutter;
  if (first > 1) text += "...";
  for (long long c = first; c <= last; ++c) {
    unsigned char byte = static_cast<unsigned char>(head[static_cast<std::size_t>(c - 1)]);
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

Reporter::Reporter(std::string_view name, Output& out, bool all, bool quiet)
    : name_(name), out_(out), all_(all), quiet_(quiet) {}

void Reporter::add(Finding finding) {
  const bool error = finding.kind == Kind::kError;
  if (error) {
    ++errors_;
  } else {
    ++warnings_;
  }
  long long& count = counts_[static_cast<std::size_t>(finding.kind)];
  ++count;
  // The shift cause is kept even when it is not shown, for the error's note.
  const bool shown = !quiet_ && (error || all_ || count == 1);
  if (finding.shiftCause) {
    shift_ = finding;
    hasShift_ = true;
  }
  if (shown) pending_.push_back(std::move(finding));
}

void Reporter::lineDone(long long line, std::string_view head) {
  if (hasShift_ && shift_.line == line && shiftHead_.empty()) shiftHead_ = head;
  while (!pending_.empty() && pending_.front().line <= line) {
    Finding finding = std::move(pending_.front());
    pending_.pop_front();
    print(finding, head, finding.excerpt && finding.line == line);
  }
}

void Reporter::flush() {
  while (!pending_.empty()) {
    Finding finding = std::move(pending_.front());
    pending_.pop_front();
    print(finding, {}, false);
  }
}

void Reporter::finish() {
  flush();
  if (all_ || quiet_) return;
  for (std::size_t k = 1; k < counts_.size(); ++k) {
    if (counts_[k] <= 1) continue;
    out_.write(name_ + ": note: " + number(counts_[k] - 1) + " more \"" + kindName(static_cast<Kind>(k)) +
               "\" warning" + (counts_[k] == 2 ? "" : "s") + " not shown; --all shows every one\n");
  }
}

void Reporter::print(const Finding& f, std::string_view head, bool withHead) {
  if (quiet_) return;
  std::string text = name_;
  if (f.line > 0) text += ":" + number(f.line) + ":" + number(f.column);
  text += ": ";
  text += severity(f.kind);
  text += ": " + f.message + "\n";
  if (!f.context.empty()) text += "  " + f.context + "\n";
  if (withHead && f.excerpt) text += renderExcerpt(f.line, head, f.column, f.lastColumn);
  if (f.kind == Kind::kError && hasShift_ && shift_.line < f.line) {
    text += name_ + ":" + number(shift_.line) + ":" + number(shift_.column) +
            ": note: " + shift_.note + "\n";
    if (!shiftHead_.empty()) text += renderExcerpt(shift_.line, shiftHead_, shift_.column, shift_.lastColumn);
  }
  out_.write(text);
}


}  // namespace slip::check
