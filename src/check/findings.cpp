#include "check/findings.h"

#include <iterator>
#include <utility>

#include "cli/diagnostics.h"

namespace slip::check {
namespace {

std::string number(long long value) { return std::to_string(value); }

// Every kind once, in the enum's order: its name in the count of those not
// shown, and how it is said.
struct KindInfo {
  Kind kind;
  const char* name;
  cli::Severity severity;
};

constexpr KindInfo kKinds[] = {
    {Kind::kError, "error", cli::Severity::Error},
    {Kind::kShortRecord, "short record", cli::Severity::Warning},
    {Kind::kSurplus, "values beyond a read", cli::Severity::Warning},
    {Kind::kNull, "null value", cli::Severity::Warning},
    {Kind::kSlash, "slash", cli::Severity::Warning},
    {Kind::kDroppedCopies, "dropped copies", cli::Severity::Warning},
    {Kind::kBlankLine, "blank line", cli::Severity::Warning},
    {Kind::kLoneCr, "lone carriage return", cli::Severity::Warning},
    {Kind::kCtrlZ, "Ctrl-Z", cli::Severity::Warning},
    {Kind::kHighByte, "byte 128 to 255", cli::Severity::Warning},
    {Kind::kUnshowable, "asterisks in the report", cli::Severity::Warning},
    {Kind::kNotFinite, "infinite or NaN value", cli::Severity::Warning},
    {Kind::kOutOfRange, "position out of range", cli::Severity::Warning},
    {Kind::kTrailingText, "text after the last record", cli::Severity::Warning},
    {Kind::kJoined, "entries run together", cli::Severity::Warning},
    {Kind::kDecimalComma, "decimal comma", cli::Severity::Warning},
    {Kind::kNegativeSlip35, "negative 35-degree slip", cli::Severity::Warning},
};

constexpr bool coversTheKinds() {
  if (std::size(kKinds) != static_cast<std::size_t>(Kind::kCount)) return false;
  for (std::size_t k = 0; k < std::size(kKinds); ++k) {
    if (kKinds[k].kind != static_cast<Kind>(k)) return false;
  }
  return true;
}
static_assert(coversTheKinds(), "kKinds holds every Kind once, in the enum's order");

constexpr const KindInfo& kindInfo(Kind kind) { return kKinds[static_cast<std::size_t>(kind)]; }

cli::Severity severity(Kind kind) { return kindInfo(kind).severity; }

}  // namespace

const char* kindName(Kind kind) { return kindInfo(kind).name; }

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
