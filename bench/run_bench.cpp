// One whole run in-process: read the example model, compose, write the report.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "driver/grid.h"
#include "driver/run_driver.h"

namespace {

void wholeRun(benchmark::State& state) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("slip-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::copy_file(SLIP_EXAMPLE_MODEL, dir / "rateA.dat", fs::copy_options::overwrite_existing);
  fs::path previous = fs::current_path();
  fs::current_path(dir);
  auto grid = std::make_unique<slip::SubfaultGrid>();
  for (auto _ : state) {
    slip::RunDriver::runOnce(*grid);
    benchmark::DoNotOptimize(grid.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(fs::file_size(dir / "rateA.dat")));
  fs::current_path(previous);
  fs::remove_all(dir);
}
BENCHMARK(wholeRun)->Unit(benchmark::kMillisecond);

}  // namespace
