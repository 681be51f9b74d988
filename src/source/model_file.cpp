#include "source/model_file.h"

#include <memory>
#include <string_view>

#include "check/model_check.h"
#include "cli/diagnostics.h"
#include "cli/exit_status.h"
#include "driver/platform.h"
#include "input/list_reader.h"
#include "input/subfault_groups.h"

namespace slip::source {
namespace {

constexpr std::size_t kBlockSize = 64 * 1024;

struct FileFeed {
  int handle = -1;
  static long refill(void* feed, unsigned char* buffer, std::size_t capacity, int* error) {
    return platform::readFile(static_cast<FileFeed*>(feed)->handle, buffer, capacity, error);
  }
};

// What slipcheck would say of the model, its errors alone: the run's reader
// failed, and the check places the failure in the file.
class ErrorsOnly final : public check::Output {
 public:
  void write(std::string_view text) override {
    if (text.substr(0, text.find('\n')).find(": error: ") != std::string_view::npos) text_ += text;
  }
  std::string text_;
};

int cannotRead(const char* program, const std::string& name, int error) {
  cli::reportError(program, name + ": cannot read: " + platform::errorText(error));
  return cli::kExitFailed;
}

}  // namespace

int readModelFile(const char* program, const std::string& name, SubfaultGrid& grid) {
  auto block = std::make_unique_for_overwrite<unsigned char[]>(kBlockSize);
  for (int pass = 0; pass < 2; ++pass) {
    FileFeed feed;
    int error = 0;
    feed.handle = platform::openFile(name.c_str(), platform::OpenMode::Read, &error);
    if (feed.handle < 0) return cannotRead(program, name, error);
    ByteSource source({block.get(), kBlockSize}, &FileFeed::refill, &feed);
    if (pass == 0) {
      ListReader reader(source);
      const ReadStatus status = readSubfaultGroups(reader, grid, nullptr);
      platform::closeFile(feed.handle, &error);
      if (status.ok()) return -1;
      if (status.error == ReadError::kListInSystem) return cannotRead(program, name, status.systemError);
    } else {
      ErrorsOnly errors;
      const check::CheckResult result = check::checkModel(source, name, {}, {}, errors);
      platform::closeFile(feed.handle, &error);
      if (result.systemError != 0) return cannotRead(program, name, result.systemError);
      cli::writeDiagnostic(errors.text_);
    }
  }
  return cli::kExitFailed;
}

}  // namespace slip::source
