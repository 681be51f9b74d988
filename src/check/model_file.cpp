#include "check/model_file.h"

#include <string_view>

#include "base/platform.h"
#include "check/model_reading.h"
#include "cli/diagnostics.h"
#include "cli/exit_status.h"

namespace slip::source {
namespace {

class StandardError final : public check::Output {
 public:
  void write(std::string_view text) override { cli::writeDiagnostic(text); }
};

}  // namespace

ModelFile readModelFile(const char* program, const std::string& name, SubfaultGrid& grid, check::KindSet kinds,
                        std::vector<check::ValuePlace>* ruptureTimes) {
  StandardError out;
  check::CheckOptions options;
  options.kinds = kinds;
  options.summary = false;
  options.moreHint = "slipcheck --all-warnings shows every one";
  const check::ModelReading reading = check::readModel(name, options, out, {&grid, ruptureTimes});
  ModelFile file;
  if (reading.result.systemError != 0) {
    cli::reportError(program, name + ": cannot read: " + platform::errorText(reading.result.systemError));
    file.exitStatus = cli::kExitFailed;
  } else if (reading.result.errors > 0) {
    file.exitStatus = cli::kExitFailed;
  }
  file.warned = reading.result.warnings > 0;
  return file;
}

}  // namespace slip::source
