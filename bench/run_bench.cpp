// One whole run in-process: read a model, compose, write the report; on the
// example and on the same subfaults written by make_model's other styles.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "base/grid.h"
#include "driver/run_driver.h"

namespace {

void wholeRun(benchmark::State& state, const char* model) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("slip-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::copy_file(model, dir / "rateA.dat", fs::copy_options::overwrite_existing);
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
BENCHMARK_CAPTURE(wholeRun, example, SLIP_EXAMPLE_MODEL)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wholeRun, e5, SLIP_BENCH_MODELS "/rateA-e5.dat")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wholeRun, list17, SLIP_BENCH_MODELS "/rateA-list17.dat")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wholeRun, mixed_dense, SLIP_BENCH_MODELS "/rateA-mixed-dense.dat")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wholeRun, e5_dense, SLIP_BENCH_MODELS "/rateA-e5-dense.dat")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wholeRun, list17_dense, SLIP_BENCH_MODELS "/rateA-list17-dense.dat")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wholeRun, listwrite_spread, SLIP_BENCH_MODELS "/rateA-listwrite-spread.dat")->Unit(benchmark::kMillisecond);

}  // namespace
