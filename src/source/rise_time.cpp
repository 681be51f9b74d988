#include "source/rise_time.h"

#include <cmath>
#include <numbers>

namespace slip::source {
namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// 35 + atan2(b, a) in degrees, brought into (-180, 180].
double direction(double a, double b) {
  double rake = 35.0 + std::atan2(b, a) / kDegree;
  if (rake > 180.0) rake -= 360.0;
  return rake;
}

}  // namespace

double slipVectorRake(const SubfaultSource& f) {
  if (f.slip35 > 0.0) return f.rake;
  if (f.slip35 < 0.0) return f.rake > 0.0 ? f.rake - 180.0 : f.rake + 180.0;
  if (f.slip125 > 0.0) return 125.0;
  if (f.slip125 < 0.0) return -55.0;
  return f.rake;  // no slip: the report's 90 (NaN components: the report's NaN)
}

double riseTime(const SubfaultSource& f, double dt) {
  auto moving = [&f](std::size_t k) {
    const double v35 = f.rate35[k], v125 = f.rate125[k];
    return (v35 != 0.0 || v125 != 0.0) && std::sqrt(v35 * v35 + v125 * v125) > 0.0;
  };
  std::size_t first = 0;
  while (first < kSamples && !moving(first)) ++first;
  if (first == kSamples) return 0.0;
  std::size_t last = kSamples - 1;
  while (!moving(last)) --last;
  return static_cast<double>(last - first + 1) * dt;
}

double hypocentralDistance(const SubfaultSource& f) { return std::sqrt(f.x * f.x + f.y * f.y); }

RuptureAverages ruptureAverages(const SourceModel& model) {
  RuptureAverages a;
  double slipSum = 0.0, riseSum = 0.0, fastSlipSum = 0.0, velocitySum = 0.0, sum35 = 0.0, sum125 = 0.0;
  for (const SubfaultSource& f : model.subfaults) {
    if (!(f.slip > 0.0)) continue;
    slipSum += f.slip;
    riseSum += f.slip * f.riseTime;
    sum35 += f.rigidity * f.slip35;
    sum125 += f.rigidity * f.slip125;
    if (f.ruptureTime > 0.0) {
      fastSlipSum += f.slip;
      velocitySum += f.slip * (hypocentralDistance(f) / f.ruptureTime);
    }
  }
  a.hasRiseTime = slipSum > 0.0;
  a.riseTime = a.hasRiseTime ? riseSum / slipSum : 0.0;
  a.hasRuptureVelocity = fastSlipSum > 0.0;
  a.ruptureVelocity = a.hasRuptureVelocity ? velocitySum / fastSlipSum : 0.0;
  a.hasRake = sum35 != 0.0 || sum125 != 0.0;
  a.rake = a.hasRake ? direction(sum35, sum125) : 0.0;
  return a;
}

}  // namespace slip::source
