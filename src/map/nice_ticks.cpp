#include "map/nice_ticks.h"

#include <cmath>

namespace slip::map {
namespace {

// The multiples of `step` strictly between low and high.
long long levelsInside(double low, double high, double step) {
  const double first = std::floor(low / step) + 1.0;
  const double last = std::ceil(high / step) - 1.0;
  return last >= first ? static_cast<long long>(last - first) + 1 : 0;
}

// 10^k, the same bits on every platform where ticks need it: exact for
// 0 <= k <= 22 and one correctly rounded division for -22 <= k < 0, where the
// C libraries' pow may differ in the last bit (the Windows one does).
double powerOfTen(int k) {
  if (k < -22 || k > 22) return std::pow(10.0, k);
  double p = 1.0;
  for (int i = 0; i < (k < 0 ? -k : k); ++i) p *= 10.0;
  return k < 0 ? 1.0 / p : p;
}

// floor(log10(x)) for x > 0, settled against those powers so that a last-bit
// difference in log10 cannot move it.
int decimalExponent(double x) {
  int e = static_cast<int>(std::floor(std::log10(x)));
  if (e >= -21 && e <= 21) {
    if (x < powerOfTen(e)) {
      --e;
    } else if (x >= powerOfTen(e + 1)) {
      ++e;
    }
  }
  return e;
}

}  // namespace

double niceNumber(double x, bool roundUp) {
  const double power = powerOfTen(decimalExponent(x));
  const double fraction = x / power;
  double nice = 10.0;
  if (roundUp) {
    nice = fraction <= 1.0 ? 1.0 : fraction <= 2.0 ? 2.0 : fraction <= 5.0 ? 5.0 : 10.0;
  } else {
    nice = fraction < 1.5 ? 1.0 : fraction < 3.0 ? 2.0 : fraction < 7.0 ? 5.0 : 10.0;
  }
  return nice * power;
}

std::vector<double> niceTicks(double low, double high, int count) {
  if (!std::isfinite(low) || !std::isfinite(high) || !(high > low) || count < 2) return {low};
  // Ranges whose powers of ten a double cannot hold are ticked in units of
  // 1e-300 (or 1e300) and scaled back; ticks that meet on the way back are
  // kept once.
  const double span = high / 2 - low / 2;
  const double unit = span < 1e-290 ? 1e-300 : span > 1e290 ? 1e300 : 1.0;
  const double range = niceNumber(high / unit - low / unit, true);
  const double step = niceNumber(range / (count - 1), false);
  const double first = std::floor(low / unit / step);
  const double last = std::ceil(high / unit / step);
  std::vector<double> ticks;
  for (double k = first; k <= last && ticks.size() < 100; k += 1.0) {
    const double tick = k * step * unit;
    if (std::isfinite(tick) && (ticks.empty() || tick != ticks.back())) ticks.push_back(tick);
  }
  return ticks.empty() ? std::vector<double>{low} : ticks;
}

std::vector<double> axisTicks(double low, double high, int most) {
  std::vector<double> ticks;
  if (!std::isfinite(low) || !std::isfinite(high) || !(high > low) || most < 1) return ticks;
  const double span = high / 2 - low / 2;
  const double unit = span < 1e-290 ? 1e-300 : span > 1e290 ? 1e300 : 1.0;  // as in niceTicks
  const double a = low / unit, b = high / unit;
  double power = powerOfTen(decimalExponent(b - a) - 2);
  for (int decade = 0; decade < 6; ++decade, power *= 10.0) {
    for (double f : {1.0, 2.0, 5.0}) {
      const double step = f * power;
      const double first = std::ceil(a / step), last = std::floor(b / step);
      if (last - first + 1.0 > most) continue;
      for (double k = first; k <= last; k += 1.0) {
        const double tick = k * step * unit;
        if (std::isfinite(tick) && (ticks.empty() || tick != ticks.back())) ticks.push_back(tick);
      }
      return ticks;
    }
  }
  return ticks;
}

double contourStep(double low, double high) {
  if (!std::isfinite(low) || !std::isfinite(high) || !(high > low)) return 0.0;
  double step = powerOfTen(decimalExponent(high - low) - 2);
  if (!(step > 0.0) || !std::isfinite(step) || !std::isfinite(high / step)) return 0.0;  // beyond a double's powers of ten
  const double factors[] = {1.0, 2.0, 5.0};
  for (int decade = 0; decade < 4; ++decade) {
    for (double f : factors) {
      const double candidate = step * f;
      if (levelsInside(low, high, candidate) <= 10) return candidate;
    }
    step *= 10.0;
  }
  return step;
}

}  // namespace slip::map
