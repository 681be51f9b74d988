// How every companion speaks: one form for a mistake of the system or the
// command line, one for a fault at a place in a file, as compilers print them.
//
//   slipmap: error: unknown option '--colour'
//   rateA-out4.csv:4:8: error: expected a number in column L1 of row W2 of section "Slip (m)", found "0.0x000"
//      4 | W 2,0.0x000,...
//        |     ^~~~~~~
//
// Nothing else in the companions formats a diagnostic.
#pragma once

#include <string>
#include <string_view>

namespace slip::cli {

enum class Severity { Error, Warning, Note };
const char* severityWord(Severity severity);  // "error", "warning", "note"

struct Place {
  std::string_view file;
  long long line = 0;        // 0: the file as a whole (no line, column or excerpt)
  long long column = 0;      // 1-based
  long long lastColumn = 0;  // the range marked with tildes ends here (<= column: the caret alone)
};

// "FILE:LINE:COL: SEVERITY: MESSAGE\n" ("FILE: SEVERITY: MESSAGE\n" without a line),
// then "  CONTEXT\n" when there is one.
std::string renderDiagnostic(const Place& place, Severity severity, std::string_view message,
                             std::string_view context = {});
// The same, then the excerpt of `lineText` (the line's text, or its first
// bytes) with the caret under the place's column.
std::string renderDiagnostic(const Place& place, Severity severity, std::string_view message,
                             std::string_view context, std::string_view lineText);

// The line-and-caret excerpt of `head` (the line's first bytes) for a place
// at `column` (marked to `lastColumn`), cut to about 100 characters around
// it. Bytes that would not print as one character print as '?', a tab as a
// blank. Empty when the column lies beyond the text.
std::string renderExcerpt(long long line, std::string_view head, long long column, long long lastColumn);

// The text of line `line` (1-based) of a file held whole, without its line
// end (LF, CR LF or a lone CR ends a line).
std::string_view lineOf(std::string_view text, long long line);

// "PROG: error: MESSAGE\n" on standard error: the command line and the system.
void reportError(std::string_view program, std::string_view message);
// Any rendered diagnostic text, on standard error.
void writeDiagnostic(std::string_view text);

}  // namespace slip::cli
