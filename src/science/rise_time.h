// The per-subfault figures that the exchange formats carry beyond the
// computed model: the direction of slip, the rise time, and their averages.
//
// Rake of the slip vector (degrees, in (-180, 180]): 35 + atan2(s125, s35),
// the direction in which the hanging wall moves. The report's rake is
// 35 + atan(s125 / s35), which names the same line but, where s35 < 0, the
// opposite direction. So:
//   s35 > 0:          the report's rake, bit for bit;
//   s35 < 0:          the report's rake + 180 (or - 180, to stay in range);
//   s35 == 0:         125 for s125 > 0, -55 for s125 < 0;
//   s35 == s125 == 0: 90, the report's (a subfault without slip).
//
// Rise time (s): how long the subfault's slip rate |v| = sqrt(v35^2 + v125^2)
// stays above kRiseLevel (10 %) of its own peak. Sample k stands at the centre
// of its interval, (k + 1/2) dt, the rate linear between centres; the span runs
// from the rise through 10 % before the first sample above it to the fall after
// the last (the series' start or end where that sample is the first or last).
// A lone sample between zeros gives 1.8 dt, a triangle of base T gives 0.9 T.
// A low background rate in every sample (1 % of the peak) moves it by a few
// per cent, where counting every nonzero sample would give the whole series.
// 0 when no sample slips. computeSource keeps each subfault's in
// SubfaultSource::riseTime, which the writers and the averages read.
//
// Averages, each weighted by the subfault's slip over the subfaults with slip
// (slip > 0):
//   rise time:         sum slip_i rise_i / sum slip_i;
//   rupture velocity:  sum slip_i r_i / t_i / sum slip_i (km/s), over those
//                      with a rupture time t_i = a2(5) above 0 as well, r_i =
//                      sqrt(x_i^2 + y_i^2) the distance from the hypocentre
//                      in the fault plane;
//   rake:              the direction of the summed moment-weighted slip
//                      vectors, 35 + atan2(sum mu_i s125_i, sum mu_i s35_i).
// An average over no subfault is 0, and `has...` says so.
#pragma once

#include "science/source_model.h"

namespace slip::source {

double slipVectorRake(const SubfaultSource& f);
inline constexpr double kRiseLevel = 0.10;  // of the subfault's peak rate
double riseTime(const SubfaultSource& f, double dt);
double hypocentralDistance(const SubfaultSource& f);  // km, sqrt(x^2 + y^2)

struct RuptureAverages {
  double riseTime = 0.0;         // s
  double ruptureVelocity = 0.0;  // km/s
  double rake = 0.0;             // degrees, (-180, 180]
  bool hasRiseTime = false;
  bool hasRuptureVelocity = false;
  bool hasRake = false;
};
RuptureAverages ruptureAverages(const SourceModel& model);

}  // namespace slip::source
