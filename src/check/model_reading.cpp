#include "check/model_reading.h"

#include <cstring>
#include <memory>

#include "base/platform.h"

namespace slip::check {
namespace {

constexpr std::size_t kBlockSize = 64 * 1024;
constexpr unsigned char kCtrlZ = 26;

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

}  // namespace

ModelReading readModel(const std::string& name, const CheckOptions& options, Output& out, ReadInto into) {
  ModelReading reading;
  FileFeed feed;
  int error = 0;
  feed.handle = platform::openFile(name.c_str(), platform::OpenMode::Read, &error);
  if (feed.handle < 0) {
    reading.result.systemError = error;
    return reading;
  }
  reading.opened = true;
  auto block = std::make_unique_for_overwrite<unsigned char[]>(kBlockSize);
  ByteSource source({block.get(), kBlockSize}, &FileFeed::refill, &feed);
  reading.result = checkModel(source, name, feed.facts, options, out, into);
  platform::closeFile(feed.handle, &error);
  return reading;
}

}  // namespace slip::check
