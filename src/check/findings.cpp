#include "check/findings.h"

#include <utility>

#include "cli/diagnostics.h"

namespace slip::check {
namespace {

cli::Severity severity(Kind kind) { return kind == Kind::kError ? cli::Severity::Error : cli::Severity::Warning; }

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
    case Kind::kJoined: return "entries run together";
    case Kind::kDecimalComma: return "decimal comma";
    case Kind::kNegativeSlip35: return "negative 35-degree slip";
    case Kind::kCount: break;
  }
  return "";
}

Reporter::Reporter(std::string_view name, Output& out, const ReporterOptions& options)
    : name_(name), out_(out), all_(options.all), quiet_(options.quiet), kinds_(options.kinds),
      moreHint_(options.moreHint) {}

void Reporter::add(Kind kind, Span at, std::string message, std::string context, std::string note) {
  if (at.lastColumn < at.column) at.lastColumn = at.column;
  Finding finding{kind, at, std::move(message), std::move(context), std::move(note)};
  // The shift cause is kept even when it is not shown, for the error's note.
  if (!finding.note.empty()) {
    shift_ = finding;
    hasShift_ = true;
  }
  if (!said(kind)) return;
  const bool error = finding.kind == Kind::kError;
  if (error) {
    ++errors_;
  } else {
    ++warnings_;
  }
  long long& count = counts_[static_cast<std::size_t>(finding.kind)];
  ++count;
  const bool shown = !quiet_ && (error || all_ || count == 1);
  if (shown) pending_.push_back(std::move(finding));
}

void Reporter::lineDone(long long line, std::string_view head) {
  if (hasShift_ && shift_.at.line == line && shiftHead_.empty()) shiftHead_ = head;
  while (!pending_.empty() && pending_.front().at.line <= line) {
    Finding finding = std::move(pending_.front());
    pending_.pop_front();
    print(finding, head, finding.at.excerpt && finding.at.line == line);
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
    out_.write(cli::renderDiagnostic({name_}, cli::Severity::Note,
                                     number(counts_[k] - 1) + " more \"" + kindName(static_cast<Kind>(k)) +
                                         "\" warning" + (counts_[k] == 2 ? "" : "s") +
                                         " not shown; " + moreHint_));
  }
}

void Reporter::print(const Finding& f, std::string_view head, bool withHead) {
  if (quiet_) return;
  const cli::Place place{name_, f.at.line, f.at.column, f.at.lastColumn};
  std::string text = withHead
                         ? cli::renderDiagnostic(place, severity(f.kind), f.message, f.context, head)
                         : cli::renderDiagnostic(place, severity(f.kind), f.message, f.context);
  if (f.kind == Kind::kError && hasShift_ && shift_.at.line < f.at.line) {
    const cli::Place cause{name_, shift_.at.line, shift_.at.column, shift_.at.lastColumn};
    text += shiftHead_.empty() ? cli::renderDiagnostic(cause, cli::Severity::Note, shift_.note)
                               : cli::renderDiagnostic(cause, cli::Severity::Note, shift_.note, {}, shiftHead_);
  }
  out_.write(text);
}

}  // namespace slip::check
