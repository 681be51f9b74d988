// editFixed against the C library's "%#.*f" on the report's two field shapes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <vector>

#include "report/field_editor.h"

namespace {

// Values like a report's: slips, rakes and times of a few digits, some tiny,
// negative and overflowing ones.
std::vector<double> reportLikeValues() {
  std::mt19937_64 random(42);
  std::uniform_real_distribution<double> spread(-200.0, 400.0);
  std::vector<double> values(4096);
  for (double& v : values) v = spread(random);
  values[7] = 12345.6;
  values[9] = -0.000004;
  values[11] = 0.0;
  return values;
}

void editFixedField(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0));
  const int d = static_cast<int>(state.range(1));
  std::vector<double> values = reportLikeValues();
  char field[64];
  size_t i = 0;
  for (auto _ : state) {
    slip::editFixed(values[i++ & 4095], w, d, field);
    benchmark::DoNotOptimize(field);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(editFixedField)->Args({10, 5})->Args({12, 7});

void snprintfField(benchmark::State& state) {
  const int d = static_cast<int>(state.range(1));
  std::vector<double> values = reportLikeValues();
  char field[400];
  size_t i = 0;
  for (auto _ : state) {
    std::snprintf(field, sizeof field, "%#.*f", d, values[i++ & 4095]);
    benchmark::DoNotOptimize(field);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(snprintfField)->Args({10, 5})->Args({12, 7});

}  // namespace
