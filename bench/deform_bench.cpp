// slipdeform's work, in displacement evaluations (one subfault at one point)
// per second: the scalar formula loop, every patch's terms computed at every
// point (the baseline), against the program's kernel, one thread and all.
// 946 patches of the example's size and orientation, at 1024 points around them.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "deform/halfspace.h"
#include "deform/parallel.h"

namespace {

using slip::deform::Patch;
using slip::deform::PatchTerms;

struct Setup {
  std::vector<Patch> patches;
  std::vector<PatchTerms> terms;
  std::vector<double> east, north, ue, un, uu;
  explicit Setup(std::size_t points) {
    for (int w = 0; w < 22; ++w) {
      for (int l = 0; l < 43; ++l) {
        Patch p{5.0 * (l - 21) * std::sin(3.49), 5.0 * (l - 21) * std::cos(3.49), 2.4 + 1.23 * w, 200.0, 17.97,
                5.0, 4.0, std::cos(0.3 * l), std::sin(0.2 * w)};
        patches.push_back(p);
        terms.push_back(slip::deform::patchTerms(p));
      }
    }
    for (std::size_t i = 0; i < points; ++i) {
      east.push_back(-150.0 + 300.0 * std::fmod(0.618034 * static_cast<double>(i), 1.0));
      north.push_back(-150.0 + 300.0 * static_cast<double>(i) / static_cast<double>(points));
    }
    ue.assign(points, 0.0), un.assign(points, 0.0), uu.assign(points, 0.0);
  }
  void count(benchmark::State& state) const {
    state.counters["evaluations/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * static_cast<double>(east.size() * patches.size()),
        benchmark::Counter::kIsRate);
  }
};

void scalarBaseline(benchmark::State& state) {
  Setup s(256);
  for (auto _ : state) {
    slip::deform::addDisplacementScalar(s.patches, 0.25, s.east.data(), s.north.data(), s.east.size(), s.ue.data(),
                                        s.un.data(), s.uu.data());
    benchmark::DoNotOptimize(s.ue.data());
  }
  s.count(state);
}

void kernelOneThread(benchmark::State& state) {
  Setup s(1024);
  for (auto _ : state) {
    slip::deform::addDisplacement(s.terms, 0.25, s.east.data(), s.north.data(), s.east.size(), s.ue.data(),
                                  s.un.data(), s.uu.data());
    benchmark::DoNotOptimize(s.ue.data());
  }
  s.count(state);
}

void kernelEveryCore(benchmark::State& state) {
  Setup s(8192);
  for (auto _ : state) {
    slip::deform::displacePoints(s.terms, 0.25, s.east.data(), s.north.data(), s.east.size(), s.ue.data(),
                                 s.un.data(), s.uu.data());
    benchmark::DoNotOptimize(s.ue.data());
  }
  s.count(state);
}

BENCHMARK(scalarBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(kernelOneThread)->Unit(benchmark::kMillisecond);
BENCHMARK(kernelEveryCore)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
