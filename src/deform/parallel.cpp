#include "deform/parallel.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace slip::deform {

void displacePoints(std::span<const PatchTerms> patches, double poisson, const double* east, const double* north,
                    std::size_t count, double* ue, double* un, double* uu,
                    const std::function<void(double)>& progress) {
  constexpr std::size_t kBlock = 512;  // points: a few milliseconds of work for a model's 946 patches
  const std::size_t blocks = (count + kBlock - 1) / kBlock;
  std::atomic<std::size_t> next{0}, done{0};
  auto work = [&](bool reports) {
    for (std::size_t b; (b = next.fetch_add(1)) < blocks;) {
      const std::size_t first = b * kBlock, n = std::min(kBlock, count - first);
      addDisplacement(patches, poisson, east + first, north + first, n, ue + first, un + first, uu + first);
      const std::size_t finished = done.fetch_add(1) + 1;
      if (reports && progress) progress(static_cast<double>(finished) / static_cast<double>(blocks));
    }
  };
  const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  const std::size_t helpers = std::min(cores, blocks) > 1 ? std::min(cores, blocks) - 1 : 0;
  std::vector<std::thread> threads;
  for (std::size_t k = 0; k < helpers; ++k) threads.emplace_back(work, false);
  work(true);
  for (std::thread& t : threads) t.join();
  if (progress && blocks > 0) progress(1.0);
}

}  // namespace slip::deform
