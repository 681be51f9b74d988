#include "check/check_command.h"

#include <string>
#include <string_view>

#include "base/platform.h"
#include "check/check_options.h"
#include "check/model_reading.h"
#include "cli/diagnostics.h"
#include "cli/exit_status.h"
#include "cli/files.h"
#include "cli/options.h"
#include "base/platform.h"

namespace slip::check {
namespace {

class StandardOutput final : public Output {
 public:
  void write(std::string_view text) override { cli::standardOutput().write(text); }
};

// A model that cannot be opened or read: the system's word for it, and the summary.
int cannotRead(const std::string& name, int error, const char* doing) {
  cli::reportError(kProgram.name, name + ": " + platform::errorText(error));
  cli::standardOutput().write(name + ": cannot be read: 1 error; a run would stop " + doing + " it\n");
  return cli::kExitFailed;
}

int examine(const CheckSettings& s) {
  StandardOutput out;
  const ModelReading reading = readModel(s.model, s.check, out);
  const CheckResult& result = reading.result;
  if (!reading.opened) return cannotRead(s.model, result.systemError, "opening");
  if (result.systemError != 0) return cannotRead(s.model, result.systemError, "reading");
  if (result.errors > 0) return cli::kExitFailed;
  return result.warnings > 0 ? cli::kExitWarnings : cli::kExitDone;
}

}  // namespace

int runCheck(int argc, char** argv) {
  return cli::runCompanion(kProgram, argc, argv, readSettings, examine);
}

}  // namespace slip::check
