// Writes every program's manual page from its option table, at build time:
//
//   man_pages FOLDER      FOLDER/slipreport.1, FOLDER/slipcheck.1, ...
//
// The build lists the programs once (SLIP_PROGRAMS in cmake/packaging.cmake)
// and writes man_page_programs.h from that list: the headers that declare the
// tables, and SLIP_MAN_PROGRAMS, the tables' addresses.
#include <span>
#include <string>

#include "cli/diagnostics.h"
#include "cli/exit_status.h"
#include "cli/files.h"
#include "cli/man_page.h"
#include "man_page_programs.h"

int main(int argc, char** argv) {
  using slip::cli::Program;
  const Program* const programs[] = {SLIP_MAN_PROGRAMS};
  if (argc != 2) {
    slip::cli::reportError("man_pages", "give the pages' folder");
    return slip::cli::kExitUsage;
  }
  for (const Program* program : programs) {
    std::string seeAlso;
    for (const Program* other : programs) {
      if (other == program) continue;
      seeAlso += (seeAlso.empty() ? "" : ", ") + std::string(other->name) + "(1)";
    }
    const std::string page = slip::cli::manPage(*program, SLIP_VERSION, seeAlso);
    const std::string wrong = slip::cli::writeOutput(std::string(argv[1]) + "/" + program->name + ".1", page);
    if (!wrong.empty()) {
      slip::cli::reportError("man_pages", wrong);
      return slip::cli::kExitFailed;
    }
  }
  return slip::cli::kExitDone;
}
