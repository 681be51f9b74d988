#include "check/check_command.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "check/model_check.h"
#include "driver/platform.h"

namespace slip::check {
namespace {

constexpr std::size_t kBlockSize = 64 * 1024;
constexpr unsigned char kCtrlZ = 26;

const char kUsage[] = "usage: slipcheck [options] [MODEL]\n";
const char kHelp[] =
    "usage: slipcheck [options] [MODEL]\n"
    "\n"
    "Reads the slip-rate model MODEL (default rateA.dat) exactly as slipreport\n"
    "reads it and says where it goes wrong, to the line and column.\n"
    "\n"
    "options:\n"
    "  --all        show every warning, not only the first of each kind\n"
    "  -q, --quiet  print the summary line alone\n"
    "  --help       print this help and exit\n"
    "  --version    print the version and exit\n"
    "\n"
    "exit status:\n"
    "  0  a run would succeed, and nothing was found\n"
    "  1  a run would succeed, but there are warnings\n"
    "  2  a run would fail (an error, or a model that cannot be read)\n"
    "  64 the command line is wrong\n";

class StandardOutput final : public Output {
 public:
  void write(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), stdout); }
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

int usageError(const std::string& message) {
  std::fprintf(stderr, "slipcheck: %s\n%s", message.c_str(), kUsage);
  return kExitUsage;
}

// A model that cannot be opened or read: the system's word for it, and the summary.
int cannotRead(const std::string& name, int error, const char* doing) {
  std::fflush(stdout);
  std::fprintf(stderr, "slipcheck: %s: %s\n", name.c_str(), platform::errorText(error));
  std::printf("%s: cannot be read: 1 error; a run would stop %s it\n", name.c_str(), doing);
  std::fflush(stdout);
  return kExitError;
}

}  // namespace

int runCheckCommand(int argc, char** argv) {
  CheckOptions options;
  const char* model = nullptr;
  bool optionsEnd = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (!optionsEnd && arg.size() > 1 && arg[0] == '-') {
      if (arg == "--") {
        optionsEnd = true;
      } else if (arg == "--help" || arg == "-h") {
        std::fputs(kHelp, stdout);
        return kExitClean;
      } else if (arg == "--version") {
        std::printf("slipcheck %s\n", SLIP_VERSION);
        return kExitClean;
      } else if (arg == "--all") {
        options.all = true;
      } else if (arg == "--quiet" || arg == "-q") {
        options.quiet = true;
      } else {
        return usageError("unknown option " + std::string(arg));
      }
    } else if (model == nullptr) {
      model = argv[i];
    } else {
      return usageError("more than one model: " + std::string(arg));
    }
  }
  const std::string name = model != nullptr ? model : "rateA.dat";

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
  std::fflush(stdout);
  if (result.errors > 0) return kExitError;
  return result.warnings > 0 ? kExitWarnings : kExitClean;
}

}  // namespace slip::check
