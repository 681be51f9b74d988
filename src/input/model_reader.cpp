#include "input/model_reader.h"

#include <memory>

#include "base/fatal.h"
#include "base/units.h"
#include "input/subfault_groups.h"

namespace slip {
namespace {

constexpr int kModelUnit = 11;
constexpr std::size_t kBlockSize = 64 * 1024;

long readModelBlock(void*, unsigned char* buffer, std::size_t capacity, int* error) {
  return readUnit(kModelUnit, buffer, capacity, error);
}

void startModelStatement() { startReadStatement(kModelUnit); }

}  // namespace

void readModelFile(SubfaultGrid& grid) {
  openUnit(kModelUnit, "rateA.dat", "OLD");
  auto block = std::make_unique_for_overwrite<unsigned char[]>(kBlockSize);
  ByteSource source({block.get(), kBlockSize}, &readModelBlock, nullptr);
  ListReader reader(source);
  ReadStatus status = readSubfaultGroups(reader, grid, &startModelStatement);
  if (!status.ok()) ioFatal(status.code(), status.context());
  closeUnit(kModelUnit);
}

}  // namespace slip
