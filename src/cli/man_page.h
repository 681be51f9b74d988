// A program's manual page, in the roff of man(1), made from the same table
// as its --help so that the two say the same:
//
//   .TH SLIPCHECK 1 "" "slipreport 1.1.0" "User Commands"
//   .SH NAME         slipcheck \- the program's summary
//   .SH SYNOPSIS     the usage line
//   .SH DESCRIPTION  the paragraph under the usage line, as --help lays it out
//   .SH OPTIONS      one entry an option, -h/--help and --version last
//   .SH EXIT STATUS  the closing paragraph of --help
//   .SH SEE ALSO     the suite's other pages and its README
#pragma once

#include <string>
#include <string_view>

#include "cli/options.h"

namespace slip::cli {

// `seeAlso`: the other pages, as "slipcheck(1), slipmap(1)".
std::string manPage(const Program& program, std::string_view version, std::string_view seeAlso);

}  // namespace slip::cli
