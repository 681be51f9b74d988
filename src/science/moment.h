// Seismic moment, magnitude and the moment-rate function of a composed grid.
//
// Area of a subfault: A = Dx Dz 10^6 m^2 (Dx, Dz in km).
// Moment of subfault i: M0_i = mu_i A slip_i (N m), slip_i its total slip (m):
// each component's slip is sum v dt over its samples, which is the grid's
// (half the sum) at dt = 0.5 s and the grid's times 2 dt otherwise;
// M0 = sum of M0_i, rows iw = 1..22 outside, columns il = 1..43 inside.
// Magnitude, IASPEI standard form for M0 in N m: Mw = (2/3) (log10 M0 - 9.1);
// the Hanks-Kanamori form, with M0 in dyne cm: Mw = (2/3) log10(M0 10^7) - 10.7.
//
// Moment rate. Sample k (1..49) of subfault i lasts from t_i + (k - 1) dt to
// t_i + k dt, t_i its rupture time a2(5) (0 with the onset at the origin);
// over it the subfault's moment rate is mu_i A sqrt(v35^2 + v125^2) with
// v35 = slp35(k), v125 = slp125(k) in m/s. The function is given on bins of
// dt from t = 0: bin j covers [j dt, (j + 1) dt) and holds the mean rate over
// it, each sample's moment shared among the (at most two) bins it overlaps in
// proportion to the overlap, so that no moment is lost. Its integral
// sum rate_j dt, the released moment, equals M0 when every subfault's slip
// keeps one direction, whatever dt, and exceeds M0 when a subfault's rake
// changes during its slip. The summary's
// rakeVaries says so when the slip paths' moment, sum of mu A |v| dt, exceeds
// M0 by more than 1e-6 of it (samples rounded to five decimals turn the slip
// by far less).
//
// Figures of the function (t_j the centre of bin j): the peak rate and t_j
// of its first bin; the centroid time sum t_j rate_j / sum rate_j; T5 and T95,
// the times at which the running integral, linear within each bin, reaches
// 5 % and 95 % of the released moment; the duration T95 - T5.
#pragma once

#include "base/grid.h"
#include "science/source_model.h"

namespace slip::source {

// At most this many bins (about 5.8 days at 0.5 s): a later sample is refused.
inline constexpr std::size_t kMaxBins = 1000000;

// Fills `model` (subfaults, moment rate, summary) from `grid`, which
// composeGrid has composed, and the geometry derived for it. A layered
// rigidity needs the geometry's depth. Returns a problem for a rupture time
// that is negative or not finite (with the onset at the rupture time), a
// sample beyond kMaxBins, or a model whose moment is not positive.
SourceProblem computeSource(const SubfaultGrid& grid, const Geometry& geometry, const Rigidity& rigidity,
                            const Timing& timing, SourceModel& model);

double magnitudeIaspei(double moment);          // (2/3) (log10 M0 - 9.1)
double magnitudeHanksKanamori(double moment);   // (2/3) log10(M0 10^7) - 10.7

// The peak, centroid time, T5, T95, duration and released moment of `rate`.
void summarizeMomentRate(const MomentRate& rate, SourceSummary& summary);

}  // namespace slip::source
