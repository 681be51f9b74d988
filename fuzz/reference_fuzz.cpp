// Reads arbitrary bytes with the list reader and with its reference copy
// (fuzz/reference: the byte-by-byte reader that converted through from_chars)
// and requires the same outcome, request by request: the same status and the
// same bits in every target.
//
// Input: one byte choosing the block size of the reader under test (1 to 63
// bytes, or one large block), four bytes giving the requests in turn (n % 13:
// 0 a record skip, else a value read of n targets), then the file's bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "input/byte_source.h"
#include "input/list_reader.h"
#include "reference/reference_reader.h"

namespace {

constexpr std::size_t kHeader = 5;
constexpr int kMaxTargets = 12;

struct Source {
  slip::MemoryFeed feed;
  std::vector<unsigned char> storage = std::vector<unsigned char>(1 << 16);
  slip::ByteSource source;

  Source(const std::uint8_t* data, std::size_t size, std::size_t chunk)
      : feed{{data, size}, chunk, 0}, source(storage, &slip::MemoryFeed::refill, &feed) {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kHeader) return 0;
  const std::size_t chunk = data[0] % 64 == 0 ? static_cast<std::size_t>(-1) : data[0] % 64u;
  const std::uint8_t* text = data + kHeader;
  const std::size_t length = size - kHeader;
  Source tested(text, length, chunk);
  Source reference(text, length, static_cast<std::size_t>(-1));
  slip::ListReader reader(tested.source);
  reference_copy::ByteByByteReader twin(reference.source);

  // Every request but a failing one consumes a record or ends the data.
  for (std::size_t request = 0; request < length + 3; ++request) {
    const int n = data[1 + request % 4] % 13;
    double got[kMaxTargets];
    double want[kMaxTargets];
    for (int i = 0; i < kMaxTargets; ++i) got[i] = want[i] = -777.0;
    slip::ReadStatus a = n == 0 ? reader.recordSkip() : reader.valueRead(got, n);
    slip::ReadStatus b = n == 0 ? twin.skipOneRecord() : twin.readValues(want, n);
    if (a.error != b.error || a.systemError != b.systemError) std::abort();
    if (std::memcmp(got, want, sizeof got) != 0) std::abort();
    if (!a.ok()) break;
  }
  return 0;
}
