// Drives the list reader over bytes held in memory, one script of requests at a time.
#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "input/byte_source.h"
#include "input/list_reader.h"

namespace slip::testing {

// What a null leaves in a target: no value the reader can make by accident.
inline constexpr double kUntouched = -777.0;

// Block sizes that put every byte, and every CR LF pair, on a block edge somewhere.
inline const std::vector<std::size_t> kChunkSizes = {1, 2, 3, 7, 1 << 16};

inline bool sameDouble(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The requests of a script: n > 0 is a value read of n targets, 0 a record skip.
struct ScriptResult {
  std::vector<double> values;   // the targets of every value read made, in order
  ReadStatus status;            // the first failure, or ok
  int requestsMade = 0;
};

class MemoryReader {
 public:
  explicit MemoryReader(const std::string& text, std::size_t chunk = 1 << 16,
                        std::size_t storageSize = 1 << 16)
      : text_(text), storage_(storageSize),
        feed_{{reinterpret_cast<const unsigned char*>(text_.data()), text_.size()}, chunk, 0},
        source_(storage_, &MemoryFeed::refill, &feed_), reader_(source_) {}
  MemoryReader(const MemoryReader&) = delete;
  MemoryReader& operator=(const MemoryReader&) = delete;

  ListReader& reader() { return reader_; }
  ByteSource& source() { return source_; }

  ScriptResult run(const std::vector<int>& requests) {
    ScriptResult result;
    for (int n : requests) {
      ++result.requestsMade;
      if (n == 0) {
        result.status = reader_.recordSkip();
      } else {
        std::size_t at = result.values.size();
        result.values.resize(at + static_cast<std::size_t>(n), kUntouched);
        result.status = reader_.valueRead(result.values.data() + at, n);
      }
      if (!result.status.ok()) break;
    }
    return result;
  }

 private:
  std::string text_;
  std::vector<unsigned char> storage_;
  MemoryFeed feed_;
  ByteSource source_;
  ListReader reader_;
};

}  // namespace slip::testing

#include <cstdio>
#include <cstdlib>

#include "base/grid.h"

namespace slip::testing {

// A complete model file in the usual layout: 946 groups of 14 records, the
// header records in fixed point, the samples in E format, two comment records
// between the components. `expected` receives every value it holds.
inline std::string canonicalModel(SubfaultGrid& expected, const std::string& lineEnd = "\n") {
  std::string text;
  std::uint64_t state = 0x9e3779b97f4a7c15u;
  auto next = [&state]() {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return static_cast<double>(state >> 11) / 9007199254740992.0;  // [0, 1)
  };
  auto put = [&text](const char* format, double v) {
    char field[40];
    std::snprintf(field, sizeof field, format, v);
    text += field;
    return std::strtod(field, nullptr);
  };
  for (int iw = 1; iw <= expected.nw; ++iw) {
    for (int il = 1; il <= expected.nl; ++il) {
      for (int slot = 1; slot <= 5; ++slot) expected.a1(slot, il, iw) = put(" %10.4f", 400.0 * next() - 200.0);
      text += lineEnd;
      for (int slot = 1; slot <= 5; ++slot) expected.a2(slot, il, iw) = put(" %10.4f", 90.0 * next());
      text += lineEnd;
      for (int k = 1; k <= 49; ++k) {
        expected.slp35(k, il, iw) = put(" %11.4E", next() * 3e-2);
        if (k % 10 == 0 || k == 49) text += lineEnd;
      }
      text += "  rake 125 follows" + lineEnd + "  subfault " + std::to_string(il) + lineEnd;
      for (int k = 1; k <= 49; ++k) {
        expected.slp125(k, il, iw) = put(" %11.4E", next() * 1e-2);
        if (k % 10 == 0 || k == 49) text += lineEnd;
      }
    }
  }
  return text;
}

}  // namespace slip::testing
