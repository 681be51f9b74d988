#include "science/moment.h"

#include <cmath>
#include <cstdarg>
#include <string>

#include "science/geometry.h"
#include "science/rise_time.h"
#include "science/structure.h"
#include "text/text.h"

namespace slip::source {
namespace {

// |v| of a sample: two products, one sum, the square root.
double speed(double v35, double v125) { return std::sqrt(v35 * v35 + v125 * v125); }

SLIP_PRINTF(4, 5) SourceProblem problem(int il, int iw, bool ruptureTime, const char* pattern, ...) {
  std::va_list args;
  va_start(args, pattern);
  SourceProblem p{formatList(pattern, args), il, iw, ruptureTime};
  va_end(args);
  return p;
}

// The time at which the running integral of `rate` reaches `target`.
double timeReaching(const MomentRate& mr, double target) {
  double reached = 0.0;
  for (std::size_t j = 0; j < mr.rate.size(); ++j) {
    const double bin = mr.rate[j] * mr.dt;
    if (bin > 0.0 && reached + bin >= target) {
      double part = (target - reached) / bin;
      if (part < 0.0) part = 0.0;
      return (static_cast<double>(j) + part) * mr.dt;
    }
    reached += bin;
  }
  return static_cast<double>(mr.rate.size()) * mr.dt;
}

}  // namespace

double magnitudeIaspei(double moment) { return (2.0 / 3.0) * (std::log10(moment) - 9.1); }
double magnitudeHanksKanamori(double moment) { return (2.0 / 3.0) * std::log10(moment * 1.0e7) - 10.7; }

void summarizeMomentRate(const MomentRate& mr, SourceSummary& s) {
  double released = 0.0, weighted = 0.0, sum = 0.0;
  s.peakRate = 0.0;
  s.peakTime = 0.0;
  for (std::size_t j = 0; j < mr.rate.size(); ++j) {
    const double r = mr.rate[j];
    released += r * mr.dt;
    weighted += mr.binCentre(j) * r;
    sum += r;
    if (r > s.peakRate) {
      s.peakRate = r;
      s.peakTime = mr.binCentre(j);
    }
  }
  s.releasedMoment = released;
  s.centroidTime = sum > 0.0 ? weighted / sum : 0.0;
  s.t5 = timeReaching(mr, 0.05 * released);
  s.t95 = timeReaching(mr, 0.95 * released);
  s.duration = s.t95 - s.t5;
}

SourceProblem computeSource(const SubfaultGrid& grid, const Geometry& geometry, const Rigidity& rigidity,
                            const Timing& timing, SourceModel& model) {
  model.geometry = geometry;
  model.rigidity = rigidity;
  model.timing = timing;
  model.summary = SourceSummary{};
  model.subfaults.assign(kSubfaults, SubfaultSource{});
  if (rigidity.layered && !geometry.hasDepth) {
    return {"a layered structure needs each subfault's depth: give the hypocentre's --depth KM"};
  }
  SourceSummary& s = model.summary;
  s.area = geometry.dx * geometry.dz * 1.0e6;
  const double dt = timing.dt;

  // Moment per bin first (N m), the rate (moment / dt) at the end.
  std::vector<double>& bins = model.momentRate.rate;
  bins.clear();
  model.momentRate.dt = dt;
  double pathMoment = 0.0;  // sum of mu A |v| dt, the moment of the slip paths
  // The grid's slips are half the samples' sums, the model's own 0.5 s; at
  // another dt every slip is sum v dt, the grid's times 2 dt (exactly the grid's at 0.5 s).
  const double slipScale = dt == kDefaultDt ? 1.0 : dt / kDefaultDt;
  s.minDepth = geometry.hasDepth ? subfaultDepth(geometry, grid.a1_[0][0][1]) : 0.0;
  s.maxDepth = s.minDepth;
  for (int iw = 1; iw <= kRows; ++iw) {
    for (int il = 1; il <= kColumns; ++il) {
      SubfaultSource& f = model.subfaults[static_cast<std::size_t>(subfaultIndex(il, iw))];
      const double* a1 = grid.a1_[iw - 1][il - 1];
      const double* v35 = grid.slp35_[iw - 1][il - 1];
      const double* v125 = grid.slp125_[iw - 1][il - 1];
      f.il = il;
      f.iw = iw;
      f.x = a1[0];
      f.y = a1[1];
      f.lon = a1[2];
      f.lat = a1[3];
      toLocalFrame(geometry, f.lon, f.lat, f.east, f.north);
      if (geometry.hasDepth) {
        f.depth = subfaultDepth(geometry, f.y);
        if (f.depth < s.minDepth) s.minDepth = f.depth;
        if (f.depth > s.maxDepth) s.maxDepth = f.depth;
      }
      f.rigidity = rigidity.layered ? rigidityAt(rigidity.layers, f.depth) : rigidity.constant;
      f.slip35 = grid.slip35_[iw - 1][il - 1] * slipScale;
      f.slip125 = grid.slip125_[iw - 1][il - 1] * slipScale;
      f.slip = grid.slip_[iw - 1][il - 1] * slipScale;
      f.rake = grid.rake_[iw - 1][il - 1];
      f.ruptureTime = grid.a2_[iw - 1][il - 1][4];
      f.moment = f.rigidity * s.area * f.slip;
      s.moment += f.moment;
      for (int k = 0; k < kSamples; ++k) {
        f.rate35[static_cast<std::size_t>(k)] = v35[k];
        f.rate125[static_cast<std::size_t>(k)] = v125[k];
      }

      double start = 0.0;
      if (timing.onset == Onset::kRuptureTime) {
        start = f.ruptureTime;
        if (!(start >= 0.0) || !std::isfinite(start)) {
          return problem(il, iw, true, "rupture time %g s is %s: the moment-rate function starts at 0", start,
                         std::isfinite(start) ? "negative" : "not finite");
        }
      }
      // Every sample of the subfault starts `phase` of a bin after a bin's start.
      const double u = start / dt;
      const double first = std::floor(u);
      const double phase = u - first;
      const std::size_t j0 = first < static_cast<double>(kMaxBins) ? static_cast<std::size_t>(first) : kMaxBins;
      const double scale = f.rigidity * s.area;
      bool moves = false;  // a subfault without slip has no rise time to look for
      for (int k = 0; k < kSamples; ++k) {
        const double v = speed(v35[k], v125[k]);
        if (v == 0.0) continue;
        moves = true;
        if (bins.size() < j0 + kSamples + 1) {  // a subfault that never slips needs no bins
          if (j0 + kSamples + 1 > kMaxBins) {
            return problem(il, iw, timing.onset == Onset::kRuptureTime,
                           "rupture time %g s puts the subfault's samples beyond %llu bins of %g s", start,
                           static_cast<unsigned long long>(kMaxBins), dt);
          }
          bins.resize(j0 + kSamples + 1, 0.0);
        }
        pathMoment += scale * v * dt;
        const double m = scale * v * dt;
        const double later = m * phase;
        const std::size_t j = j0 + static_cast<std::size_t>(k);
        bins[j] += m - later;
        bins[j + 1] += later;
      }
      f.riseTime = moves ? riseTime(f, dt) : 0.0;
    }
  }
  if (!(s.moment > 0.0) || !std::isfinite(s.moment)) {
    return problem(0, 0, false, "the model's moment is %g N m: no subfault slips, or a slip is not finite", s.moment);
  }
  while (!bins.empty() && bins.back() == 0.0) bins.pop_back();
  for (double& b : bins) b /= dt;
  s.mw = magnitudeIaspei(s.moment);
  s.mwHanksKanamori = magnitudeHanksKanamori(s.moment);
  s.rakeVaries = pathMoment > s.moment * (1.0 + 1.0e-6);
  summarizeMomentRate(model.momentRate, s);
  return {};
}

}  // namespace slip::source
