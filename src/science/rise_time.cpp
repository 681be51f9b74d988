#include "science/rise_time.h"

#include <array>
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
  std::array<double, kSamples> v{};
  double peak = 0.0;
  for (std::size_t k = 0; k < kSamples; ++k) {
    v[k] = std::sqrt(f.rate35[k] * f.rate35[k] + f.rate125[k] * f.rate125[k]);
    if (v[k] > peak) peak = v[k];
  }
  const double level = kRiseLevel * peak;
  std::size_t first = 0;
  while (first < kSamples && !(v[first] > level)) ++first;
  if (!(peak > 0.0) || first == kSamples) return 0.0;  // no slip (or an infinite peak)
  std::size_t last = kSamples - 1;
  while (!(v[last] > level)) --last;
  // Sample k stands at its centre (k + 1/2) dt; the rate is linear between centres.
  const double start =
      first == 0 ? 0.0
                 : (static_cast<double>(first) - 0.5 + (level - v[first - 1]) / (v[first] - v[first - 1])) * dt;
  const double end = last == kSamples - 1
                         ? static_cast<double>(kSamples) * dt
                         : (static_cast<double>(last) + 0.5 + (v[last] - level) / (v[last] - v[last + 1])) * dt;
  return end - start;
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
