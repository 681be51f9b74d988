#include "input/byte_source.h"

#include <cerrno>
#include <cstring>

namespace slip {
namespace {

constexpr unsigned char kCr = '\r';
constexpr unsigned char kLf = '\n';
constexpr unsigned char kCtrlZ = 26;

}  // namespace

ByteSource::ByteSource(std::span<unsigned char> storage, Refill refill, void* feed)
    : storage_(storage), refill_(refill), feed_(feed) {}

int ByteSource::refillAndGet() {
  for (;;) {
    if (atEnd_ || readError_ != 0) return kEof;
    if (streamDone_) {
      atEnd_ = true;
      return kEof;
    }
    unsigned char* base = storage_.data();
    if (blockDone_ != nullptr && end_ != nullptr) blockDone_(blockObserver_, base, end_);
    std::size_t held = 0;
    if (pendingCr_) {  // carried over from the end of the last block
      base[0] = kCr;
      held = 1;
    }
    int error = 0;
    long n = refill_(feed_, base + held, storage_.size() - held, &error);
    if (n < 0) {
      readError_ = error != 0 ? error : EIO;
      return kEof;
    }
    std::size_t size = held;
    if (n == 0) {
      // Nothing follows a carried CR, so it is an ordinary byte.
      streamDone_ = true;
      pendingCr_ = false;
    } else {
      size = translate(held + static_cast<std::size_t>(n));
    }
    next_ = base;
    end_ = base + size;
    if (next_ != end_) return *next_++;
  }
}

// Applies the text-mode view to the `size` raw bytes at the start of the
// storage and returns how many bytes the view holds. A CR that ends the block
// is held back (pendingCr_) until the next block shows whether an LF follows.
std::size_t ByteSource::translate(std::size_t size) {
  unsigned char* base = storage_.data();
  pendingCr_ = false;
  if (const void* z = std::memchr(base, kCtrlZ, size)) {
    size = static_cast<std::size_t>(static_cast<const unsigned char*>(z) - base);
    streamDone_ = true;
  }
  const unsigned char* in = base;
  const unsigned char* end = base + size;
  unsigned char* out = base;
  while (const void* found = std::memchr(in, kCr, static_cast<std::size_t>(end - in))) {
    const unsigned char* cr = static_cast<const unsigned char*>(found);
    // Keep everything before the CR, and the CR itself unless an LF follows it.
    bool dropCr = cr + 1 < end && cr[1] == kLf;
    std::size_t keep = static_cast<std::size_t>(cr - in) + (dropCr ? 0 : 1);
    std::memmove(out, in, keep);
    out += keep;
    in = cr + 1;
  }
  std::size_t rest = static_cast<std::size_t>(end - in);
  std::memmove(out, in, rest);
  out += rest;
  size = static_cast<std::size_t>(out - base);
  if (!streamDone_ && size > 0 && base[size - 1] == kCr) {
    pendingCr_ = true;
    --size;
  }
  return size;
}

bool ByteSource::skipRecord() {
  // Most value reads end with their record: the line feed comes next.
  if (next_ != end_ && *next_ == kLf) {
    ++next_;
    return true;
  }
  for (;;) {
    if (next_ != end_) {
      const void* lf = std::memchr(next_, kLf, static_cast<std::size_t>(end_ - next_));
      if (lf != nullptr) {
        next_ = static_cast<const unsigned char*>(lf) + 1;
        return true;
      }
      next_ = end_;
    }
    int c = refillAndGet();
    if (c == kEof) return false;
    if (c == kLf) return true;
  }
}

long MemoryFeed::refill(void* feed, unsigned char* buffer, std::size_t capacity, int*) {
  MemoryFeed& self = *static_cast<MemoryFeed*>(feed);
  std::size_t n = self.bytes.size() - self.offset;
  if (n > capacity) n = capacity;
  if (n > self.chunk) n = self.chunk;
  if (n > 0) std::memcpy(buffer, self.bytes.data() + self.offset, n);
  self.offset += n;
  return static_cast<long>(n);
}

}  // namespace slip
