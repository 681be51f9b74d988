// The rupture as a seismic source: what slipsource computes from a model, and
// what the exchange-format writers (and slipmap's moment-rate panel) read.
//
// Conventions (Aki and Richards), the same in every file of src/source:
//   - strike: degrees clockwise from north, 0 <= strike < 360, the direction
//     in which a1(1) (x, km along strike) grows;
//   - dip: degrees down from the horizontal, 0..90, the fault dipping to the
//     right of the strike direction; a1(2) (y, km down dip) grows down dip;
//   - rake: degrees anticlockwise from the strike direction in the fault
//     plane, seen from the hanging wall; the model's components slip along
//     rakes 35 and 125, and the grid's `rake` is that of the total slip;
//   - the local frame: east and north in km around the mean subfault
//     position (lon0, lat0): east = (lon - lon0) cos(lat0) R pi/180,
//     north = (lat - lat0) R pi/180, with R = 6371.0 km;
//   - units: km for lengths and depths, s for times, m for slip, m/s for slip
//     rates, Pa for rigidity, m^2 for areas, N m for moments, N m/s for
//     moment rates.
//
// Subfaults are held in the grid's order, rows iw = 1..22 outside and columns
// il = 1..43 inside: subfault (il, iw) is element 43 (iw - 1) + (il - 1).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "base/grid.h"

namespace slip::source {

inline constexpr int kRows = kGridRows;           // nw, down dip ("W")
inline constexpr int kColumns = kGridColumns;     // nl, along strike ("L")
inline constexpr int kSubfaults = kRows * kColumns;
inline constexpr int kSamples = kGridSamples;     // slip-rate samples per component
inline constexpr double kEarthRadiusKm = 6371.0;  // R of the local frame
inline constexpr double kDefaultRigidity = 3.0e10;  // Pa
inline constexpr double kDefaultDt = 0.5;         // s between slip-rate samples

inline int subfaultIndex(int il, int iw) { return kColumns * (iw - 1) + (il - 1); }

// The fault's geometry: each value derived from the model or given by the user.
struct Geometry {
  double strike = 0.0;  // degrees, clockwise from north
  double dip = 0.0;     // degrees, to the right of strike
  double dx = 0.0;      // km, one subfault's length along strike (a1(1) spacing, column to column)
  double dz = 0.0;      // km, one subfault's width down dip (a1(2) spacing, row to row)
  bool strikeGiven = false;  // true: from --strike; false: from the position fit
  bool dipGiven = false;
  bool dxGiven = false;
  bool dzGiven = false;

  // The local frame's origin: the mean subfault position, degrees.
  double lon0 = 0.0;
  double lat0 = 0.0;
  // The least-squares fit east = ae x + be y + ce, north = an x + bn y + cn
  // (km), over every subfault; always computed, also when strike and dip are given.
  double ae = 0.0, an = 0.0;  // km on the map per km along strike
  double be = 0.0, bn = 0.0;  // km on the map per km down dip
  double ce = 0.0, cn = 0.0;  // the epicentre (x = y = 0) in the local frame, km
  double epicentreLon = 0.0;  // degrees, the fit at x = y = 0
  double epicentreLat = 0.0;
  // Strike and dip derived in two local frames, the spherical one above and
  // one on the WGS84 ellipsoid (east scaled by N(lat0), north by M(lat0),
  // its radii of curvature, for R): the frame whose km along strike match
  // a1(1)'s best is the one reported, the other's difference its uncertainty.
  bool ellipsoidal = false;        // the reported strike and dip are the WGS84 frame's
  double alongStrikeScale = 0.0;   // |(ae, an)| in the reported frame
  double otherScale = 0.0;         // and in the other
  double otherStrike = 0.0;        // degrees, the other frame's
  double otherDip = 0.0;
  double strikeUncertainty = 0.0;  // degrees, |the other's - the reported| (0 when given)
  double dipUncertainty = 0.0;
  double largestResidual = 0.0;  // km, the largest distance of a position from the fit
  int residualIl = 0, residualIw = 0;  // the subfault where it lies

  // The hypocentre's depth (km, at x = y = 0), when the user gave one.
  bool hasDepth = false;
  double depth = 0.0;
};

// Where the rigidity comes from.
struct Layer {
  double thickness = 0.0;  // km (the last layer extends to any depth)
  double vp = 0.0;         // km/s
  double vs = 0.0;         // km/s
  double density = 0.0;    // g/cm^3
  double rigidity = 0.0;   // Pa, density (kg/m^3) x vs (m/s)^2
  double top = 0.0;        // km, the depth of its upper boundary
};
struct Rigidity {
  bool layered = false;              // false: `constant` everywhere
  double constant = kDefaultRigidity;  // Pa
  std::string structureName = {};    // the structure file, as the user named it
  std::vector<Layer> layers = {};    // from the surface down
};

// When a subfault's samples start.
enum class Onset {
  kRuptureTime,  // at its rupture time a2(5): sample k covers [t + (k-1) dt, t + k dt)
  kOrigin,       // at 0 for every subfault: sample k covers [(k-1) dt, k dt)
};
struct Timing {
  double dt = kDefaultDt;  // s
  bool dtGiven = false;
  Onset onset = Onset::kRuptureTime;
};

// One subfault as a point source.
struct SubfaultSource {
  int il = 0, iw = 0;
  double x = 0.0, y = 0.0;        // km along strike, down dip from the epicentre: a1(1), a1(2)
  double lon = 0.0, lat = 0.0;    // degrees: a1(3), a1(4)
  double east = 0.0, north = 0.0; // km in the local frame
  double depth = 0.0;             // km, hypocentre depth + y sin(dip); valid when Geometry::hasDepth
  double rigidity = 0.0;          // Pa
  double slip35 = 0.0, slip125 = 0.0;  // m, the components along rakes 35 and 125: sum v dt
  double slip = 0.0;              // m, the total slip (all three the grid's at dt = 0.5 s, 2 dt times it otherwise)
  double rake = 0.0;              // degrees, the grid's rake
  double ruptureTime = 0.0;       // s, a2(5)
  double moment = 0.0;            // N m, rigidity x area x slip
  double riseTime = 0.0;          // s, the span of its rate above 10 % of its peak (rise_time.h)
  std::array<double, kSamples> rate35{};   // m/s, slp35(1..49)
  std::array<double, kSamples> rate125{};  // m/s, slp125(1..49)
};

// The moment-rate function: bin j covers [j dt, (j + 1) dt) and holds the
// mean moment rate over it (N m/s). The last bin is the last non-zero one.
struct MomentRate {
  double dt = kDefaultDt;
  std::vector<double> rate;
  double binCentre(std::size_t j) const { return (static_cast<double>(j) + 0.5) * dt; }
};

// The figures a seismologist compares with the catalogues.
struct SourceSummary {
  double area = 0.0;             // m^2, one subfault: dx dz 10^6
  double moment = 0.0;           // M0, N m: the subfault moments summed in grid order
  double mw = 0.0;               // IASPEI: (2/3) (log10 M0 - 9.1)
  double mwHanksKanamori = 0.0;  // (2/3) log10(M0 10^7) - 10.7
  double releasedMoment = 0.0;   // N m, the moment-rate function's integral, sum rate_j dt
  bool rakeVaries = false;       // some subfault's slip turns during its slip: released > M0
  double peakRate = 0.0;         // N m/s, the largest bin
  double peakTime = 0.0;         // s, that bin's centre
  double centroidTime = 0.0;     // s, sum t_j rate_j / sum rate_j over bin centres
  double t5 = 0.0;               // s, 5 % of the released moment reached
  double t95 = 0.0;              // s, 95 % reached
  double duration = 0.0;         // s, t95 - t5
  double minDepth = 0.0;         // km, the shallowest subfault (when Geometry::hasDepth)
  double maxDepth = 0.0;         // km, the deepest
};

// Why a model, with the assumptions given, has no source to show: the
// message says what does not fit and which option overrides it. A problem of
// one subfault names it (il, iw > 0); `ruptureTime` marks a problem with its
// rupture time a2(5), which the command locates in the model file.
struct SourceProblem {
  std::string message;  // empty: no problem
  int il = 0, iw = 0;
  bool ruptureTime = false;
  explicit operator bool() const { return !message.empty(); }
};

struct SourceModel {
  Geometry geometry;
  Rigidity rigidity;
  Timing timing;
  std::vector<SubfaultSource> subfaults;  // kSubfaults, in the grid's order
  MomentRate momentRate;
  SourceSummary summary;

  const SubfaultSource& at(int il, int iw) const {
    return subfaults[static_cast<std::size_t>(subfaultIndex(il, iw))];
  }
};

}  // namespace slip::source
