#include "cli/man_page.h"

namespace slip::cli {
namespace {

// Text as roff prints it: a backslash and a minus written as such, and a
// line that would start with a request ('.' or '\'') made plain text.
std::string roff(std::string_view text) {
  std::string out;
  bool lineStart = true;
  for (const char c : text) {
    if (lineStart && (c == '.' || c == '\'')) out += "\\&";
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else {
      out += c;
    }
    lineStart = c == '\n';
  }
  return out;
}

// A paragraph laid out as --help lays it out, line for line.
std::string unfilled(std::string_view text) {
  std::string out = ".nf\n" + roff(text);
  if (!out.ends_with('\n')) out += '\n';
  return out + ".fi\n";
}

std::string upper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string optionEntry(const std::string& names, std::string_view help) {
  std::string joined(help);
  for (char& c : joined)
    if (c == '\n') c = ' ';
  return ".TP\n.B " + roff(names) + "\n" + roff(joined) + "\n";
}

}  // namespace

std::string manPage(const Program& program, std::string_view version, std::string_view seeAlso) {
  std::string page = ".TH " + upper(program.name) + " 1 \"\" \"slipreport " + std::string(version) +
                     "\" \"User Commands\"\n.SH NAME\n" + program.name + " \\- " + roff(program.summary) +
                     "\n.SH SYNOPSIS\n.B " + program.name + "\n";
  if (program.commandLine) page += roff(std::string("[options] ") + program.operands) + "\n";
  page += ".SH DESCRIPTION\n" + unfilled(program.about);
  if (program.commandLine) {
    page += ".SH OPTIONS\n";
    for (const Option& option : program.options) page += optionEntry(optionNames(option), option.help);
    page += optionEntry("-h, --help", "show the help and exit");
    page += optionEntry("--version", "show the version and exit");
  }
  page += ".SH EXIT STATUS\n" + unfilled(program.exitStatuses);
  page += ".SH SEE ALSO\n" + roff(seeAlso) +
          "\n.PP\nThe README in /usr/share/doc/slipreport describes the model, the report and every diagnostic.\n";
  return page;
}

}  // namespace slip::cli
