// The model reader over a model held in memory, beside a plain strtod pass
// and the fast_float loop over the same bytes: the example model, and the same
// subfaults written by make_model's other styles and densities (generated
// into the build folder).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>

#include "base/grid.h"
#include "baseline/every_token.h"
#include "input/byte_source.h"
#include "input/list_reader.h"
#include "input/subfault_groups.h"

namespace {

constexpr std::int64_t kValuesPerModel = 946 * 108;

const std::string& model(const char* path) {
  static std::map<std::string, std::string> models;
  auto found = models.find(path);
  if (found != models.end()) return found->second;
  std::ifstream in(path, std::ios::binary);
  return models[path] = std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void readModel(benchmark::State& state, const char* path) {
  const std::string& bytes = model(path);
  auto grid = std::make_unique<slip::SubfaultGrid>();
  auto block = std::make_unique<unsigned char[]>(64 * 1024);
  for (auto _ : state) {
    slip::MemoryFeed feed{{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()}};
    slip::ByteSource source({block.get(), 64 * 1024}, &slip::MemoryFeed::refill, &feed);
    slip::ListReader reader(source);
    slip::ReadStatus status = slip::readSubfaultGroups(reader, *grid, nullptr);
    if (!status.ok()) state.SkipWithError("the model did not read");
    benchmark::DoNotOptimize(grid.get());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
  state.SetItemsProcessed(state.iterations() * kValuesPerModel);
}
#define SLIP_EVERY_MODEL(bench)                                                  \
  BENCHMARK_CAPTURE(bench, example, SLIP_EXAMPLE_MODEL);                         \
  BENCHMARK_CAPTURE(bench, e5, SLIP_BENCH_MODELS "/rateA-e5.dat");               \
  BENCHMARK_CAPTURE(bench, list17, SLIP_BENCH_MODELS "/rateA-list17.dat");       \
  BENCHMARK_CAPTURE(bench, mixed_dense, SLIP_BENCH_MODELS "/rateA-mixed-dense.dat"); \
  BENCHMARK_CAPTURE(bench, e5_dense, SLIP_BENCH_MODELS "/rateA-e5-dense.dat");   \
  BENCHMARK_CAPTURE(bench, list17_dense, SLIP_BENCH_MODELS "/rateA-list17-dense.dat");   \
  BENCHMARK_CAPTURE(bench, listwrite_spread, SLIP_BENCH_MODELS "/rateA-listwrite-spread.dat")
SLIP_EVERY_MODEL(readModel);

// The C library's conversion of every blank-separated token, and nothing else.
void strtodEveryToken(benchmark::State& state, const char* path) {
  const std::string& bytes = model(path);
  for (auto _ : state) {
    const char* p = bytes.c_str();
    double sum = 0.0;
    while (*p != '\0') {
      char* end;
      sum += std::strtod(p, &end);
      p = end == p ? p + 1 : end;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
SLIP_EVERY_MODEL(strtodEveryToken);

// The baseline of bench/instructions.sh in-process: fast_float's from_chars
// on every token, the model already in memory.
void fastFloatEveryToken(benchmark::State& state, const char* path) {
  const std::string& bytes = model(path);
  for (auto _ : state) {
    bench::TokenSum total = bench::convertEveryToken(bytes.data(), bytes.data() + bytes.size());
    benchmark::DoNotOptimize(total);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
SLIP_EVERY_MODEL(fastFloatEveryToken);

}  // namespace
