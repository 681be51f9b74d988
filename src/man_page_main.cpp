// Writes one program's manual page from its option table, at build time:
//
//   man_page_<program> FILE
//
// The build compiles it once for each program, naming the header that
// declares the program's table (SLIP_MAN_HEADER), the table
// (SLIP_MAN_PROGRAM) and the suite's other pages (SLIP_MAN_SEE_ALSO).
#include <string>

#include "cli/diagnostics.h"
#include "cli/exit_status.h"
#include "cli/files.h"
#include "cli/man_page.h"
#include SLIP_MAN_HEADER

int main(int argc, char** argv) {
  const slip::cli::Program& program = SLIP_MAN_PROGRAM;
  if (argc != 2) {
    slip::cli::reportError("man_page", "give the page's file");
    return slip::cli::kExitUsage;
  }
  const std::string wrong =
      slip::cli::writeOutput(argv[1], slip::cli::manPage(program, SLIP_VERSION, SLIP_MAN_SEE_ALSO));
  if (!wrong.empty()) {
    slip::cli::reportError("man_page", wrong);
    return slip::cli::kExitFailed;
  }
  return slip::cli::kExitDone;
}
