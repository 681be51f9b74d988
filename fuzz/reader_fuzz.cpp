// Feeds arbitrary bytes to the model reader running the real group sequence.
//
// Each input is read twice, from one large block and from blocks of 1 to 5
// bytes; both must end the same way and fill the grid with the same bits, so
// a fault in carrying a CR or an entry across a block edge shows as a crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/grid.h"
#include "input/byte_source.h"
#include "input/subfault_groups.h"

namespace {

using slip::SubfaultGrid;

struct Run {
  SubfaultGrid* grid = new SubfaultGrid();
  std::vector<unsigned char> storage = std::vector<unsigned char>(1 << 16);

  slip::ReadStatus read(const std::uint8_t* data, std::size_t size, std::size_t chunk) {
    slip::MemoryFeed feed{{data, size}, chunk, 0};
    slip::ByteSource source(storage, &slip::MemoryFeed::refill, &feed);
    slip::ListReader reader(source);
    slip::ReadStatus status = slip::readSubfaultGroups(reader, *grid, nullptr);
    (void)status.code();
    (void)status.context();
    return status;
  }
};

// Every request but the last ends at a line feed or at the end of the data,
// so an input of `size` bytes reaches at most size + 2 requests: only the
// grid cells of the groups those can touch need comparing and clearing.
std::size_t cellsTouched(std::size_t size) {
  std::size_t groups = (size + 2) / 14 + 1;
  std::size_t cells = groups + groups / 43 + 1;
  std::size_t all = SubfaultGrid::kRowCells * SubfaultGrid::kColumnCells;
  return cells < all ? cells : all;
}

bool sameAndClear(double* a, double* b, std::size_t count) {
  bool same = std::memcmp(a, b, count * sizeof(double)) == 0;
  std::memset(a, 0, count * sizeof(double));
  std::memset(b, 0, count * sizeof(double));
  return same;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Run whole;
  static Run pieces;
  slip::ReadStatus a = whole.read(data, size, static_cast<std::size_t>(-1));
  slip::ReadStatus b = pieces.read(data, size, 1 + size % 5);
  if (a.error != b.error || a.code() != b.code()) std::abort();

  std::size_t cells = cellsTouched(size);
  SubfaultGrid& x = *whole.grid;
  SubfaultGrid& y = *pieces.grid;
  bool same = sameAndClear(&x.a1_[0][0][0], &y.a1_[0][0][0], cells * SubfaultGrid::kSlots);
  same = sameAndClear(&x.a2_[0][0][0], &y.a2_[0][0][0], cells * SubfaultGrid::kSlots) && same;
  same = sameAndClear(&x.slp35_[0][0][0], &y.slp35_[0][0][0], cells * SubfaultGrid::kSampleCells) && same;
  same = sameAndClear(&x.slp125_[0][0][0], &y.slp125_[0][0][0], cells * SubfaultGrid::kSampleCells) && same;
  if (!same) std::abort();
  return 0;
}
