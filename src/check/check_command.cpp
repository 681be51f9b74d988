#include "check/check_command.h"

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "check/model_check.h"
#include "cli/diagnostics.h"
#include "cli/exit_status.h"
#include "cli/files.h"
#include "cli/options.h"
#include "driver/platform.h"

namespace slip::check {
namespace {

constexpr std::size_t kBlockSize = 64 * 1024;
constexpr unsigned char kCtrlZ = 26;

enum OptionId { kAll, kQuiet };

constexpr cli::Option kOptions[] = {
    {0, "all", nullptr, "show every warning, not only the first of each kind", kAll},
    {'q', "quiet", nullptr, "print the summary line alone", kQuiet},
};

const cli::Program kProgram = {
    "slipcheck",
    "[MODEL]",
    1,
    "Reads the slip-rate model MODEL (default rateA.dat) exactly as slipreport\n"
    "reads it and says where it goes wrong, to the line and column.\n",
    kOptions,
    "exit status:\n"
    "  0  a run would succeed, and nothing was found\n"
    "  1  a run would succeed, but there are warnings\n"
    "  2  a run would fail (an error, or a model that cannot be read)\n"
    "  64 the command line is wrong\n",
};

class StandardOutput final : public Output {
 public:
  void write(std::string_view text) override { cli::standardOutput().write(text); }
};

// Reads the model file in blocks and notes what the reader's view hides.
struct FileFeed {
  int handle = -1;
  RawFacts facts;

  static long refill(void* feed, unsigned char* buffer, std::size_t capacity, int* error) {
    FileFeed& self = *static_cast<FileFeed*>(feed);
    long n = platform::readFile(self.handle, buffer, capacity, error);
    if (n <= 0 || self.facts.ctrlZ) return n;
    const void* z = std::memchr(buffer, kCtrlZ, static_cast<std::size_t>(n));
    if (z == nullptr) return n;
    self.facts.ctrlZ = true;
    // The data ends at the Ctrl-Z; the source reads no further, so look
    // here whether the file goes on after it.
    if (static_cast<const unsigned char*>(z) + 1 < buffer + n) {
      self.facts.bytesAfterCtrlZ = true;
    } else {
      unsigned char next;
      int ignored = 0;
      self.facts.bytesAfterCtrlZ = platform::readFile(self.handle, &next, 1, &ignored) > 0;
    }
    return n;
  }
};

// A model that cannot be opened or read: the system's word for it, and the summary.
int cannotRead(const std::string& name, int error, const char* doing) {
  cli::reportError(kProgram.name, name + ": " + platform::errorText(error));
  cli::standardOutput().write(name + ": cannot be read: 1 error; a run would stop " + doing + " it\n");
  return cli::finishRun(kProgram.name, cli::kExitFailed);
}

}  // namespace

int runCheckCommand(int argc, char** argv) {
  const cli::CommandLine line = cli::parseCommandLine(kProgram, argc, argv);
  const int settled = cli::settleCommandLine(kProgram, line);
  if (settled >= 0) return settled;
  CheckOptions options;
  for (const cli::GivenOption& option : line.options) {
    if (option.id == kAll) options.all = true;
    if (option.id == kQuiet) options.quiet = true;
  }
  const std::string name = line.operands.empty() ? "rateA.dat" : line.operands.front();

  StandardOutput out;
  FileFeed feed;
  int error = 0;
  feed.handle = platform::openFile(name.c_str(), platform::OpenMode::Read, &error);
  if (feed.handle < 0) return cannotRead(name, error, "opening");
  auto block = std::make_unique_for_overwrite<unsigned char[]>(kBlockSize);
  ByteSource source({block.get(), kBlockSize}, &FileFeed::refill, &feed);
  CheckResult result = checkModel(source, name, feed.facts, options, out);
  platform::closeFile(feed.handle, &error);
  if (result.systemError != 0) return cannotRead(name, result.systemError, "reading");
  if (result.errors > 0) return cli::finishRun(kProgram.name, cli::kExitFailed);
  return cli::finishRun(kProgram.name, result.warnings > 0 ? cli::kExitWarnings : cli::kExitDone);
}

}  // namespace slip::check
