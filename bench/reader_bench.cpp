// The model reader over the example model held in memory, beside a plain
// strtod pass over the same bytes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "driver/grid.h"
#include "input/byte_source.h"
#include "input/list_reader.h"
#include "input/subfault_groups.h"

namespace {

const std::string& exampleModel() {
  static const std::string bytes = [] {
    std::ifstream in(SLIP_EXAMPLE_MODEL, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }();
  return bytes;
}

void readModel(benchmark::State& state) {
  const std::string& model = exampleModel();
  auto grid = std::make_unique<slip::SubfaultGrid>();
  auto block = std::make_unique<unsigned char[]>(64 * 1024);
  for (auto _ : state) {
    slip::MemoryFeed feed{{reinterpret_cast<const unsigned char*>(model.data()), model.size()}};
    slip::ByteSource source({block.get(), 64 * 1024}, &slip::MemoryFeed::refill, &feed);
    slip::ListReader reader(source);
    slip::ReadStatus status = slip::readSubfaultGroups(reader, *grid, nullptr);
    if (!status.ok()) state.SkipWithError("the example model did not read");
    benchmark::DoNotOptimize(grid.get());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(model.size()));
}
BENCHMARK(readModel);

// The C library's conversion of every blank-separated token, and nothing else.
void strtodEveryToken(benchmark::State& state) {
  const std::string& model = exampleModel();
  for (auto _ : state) {
    const char* p = model.c_str();
    double sum = 0.0;
    while (*p != '\0') {
      char* end;
      sum += std::strtod(p, &end);
      p = end == p ? p + 1 : end;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(model.size()));
}
BENCHMARK(strtodEveryToken);

}  // namespace
