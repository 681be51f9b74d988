#include "source/srf_writer.h"

#include <cmath>
#include <numbers>

#include "science/outline.h"

namespace slip::source {
namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr int kPerLine = 6;  // samples a line

void field(std::string& out, double value, int significant = 9) {
  out += ' ';
  appendGeneral(out, value, significant);
}

// A point's samples in its slip's own frame: the rate vector (v35, v125)
// projected on the slip's direction (SR1) and on the direction 90 degrees
// from it (SR2), from its first to its last sample that slips.
struct PointSeries {
  std::size_t first = 0;  // the first sample that slips
  std::size_t count = 0;  // NT1: 0 for a point without slip
  bool turns = false;     // the rake turns during slip (kTurn): NT2 = NT1, else NT2 = 0
  std::array<double, kSamples> sr1{}, sr2{};  // cm/s, from `first`
};

// The rake turns during slip where the slip's path, sum |v| dt, exceeds the
// slip by more than 1e-6 of it: the test of the summary's rake_varies, which
// the model's rates rounded to a few decimals pass. Below it, SR2 is left out.
constexpr double kTurn = 1.0e-6;

PointSeries pointSeries(const SubfaultSource& f, double dt) {
  PointSeries p;
  std::size_t end = kSamples;
  while (p.first < end && f.rate35[p.first] == 0.0 && f.rate125[p.first] == 0.0) ++p.first;
  while (end > p.first && f.rate35[end - 1] == 0.0 && f.rate125[end - 1] == 0.0) --end;
  const double slip = std::sqrt(f.slip35 * f.slip35 + f.slip125 * f.slip125);  // sqrt is exact on every platform, hypot not
  if (end == p.first || slip == 0.0) {  // no slip (or a slip that cancels): no samples
    p.first = 0;
    return p;
  }
  const double along35 = f.slip35 / slip, along125 = f.slip125 / slip;
  p.count = end - p.first;
  double path = 0.0;
  for (std::size_t k = 0; k < p.count; ++k) {
    const double v35 = f.rate35[p.first + k], v125 = f.rate125[p.first + k];
    p.sr1[k] = 100.0 * (along35 * v35 + along125 * v125);
    p.sr2[k] = 100.0 * (along35 * v125 - along125 * v35);
    path += std::sqrt(v35 * v35 + v125 * v125) * dt;
  }
  p.turns = path > slip * (1.0 + kTurn);
  return p;
}

// `count` samples, six a line; zeros written without a conversion.
void samples(std::string& out, const std::array<double, kSamples>& rate, std::size_t count) {
  for (std::size_t k = 0; k < count; ++k) {
    if (rate[k] == 0.0) {
      out.append(" 0", 2);
    } else {
      field(out, rate[k]);
    }
    if (k % kPerLine == kPerLine - 1 || k + 1 == count) out += '\n';
  }
}

}  // namespace

std::string srfText(const SourceModel& model, const FileLabels& labels) {
  SharedFigures shared(model);
  return srfText(model, labels, shared);
}

// The file has no place for names: the labels are the other writers' (and the README's) to carry.
std::string srfText(const SourceModel& model, const FileLabels& /*labels*/, SharedFigures& shared) {
  const Geometry& g = model.geometry;
  const PositionMap& map = shared.map();
  const PlaneExtent extent = planeExtent(model);
  const double xCentre = (extent.xStart + extent.xEnd) / 2.0;
  const LonLat topCentre = map.at(xCentre, extent.yTop);
  const double areaCm2 = model.summary.area * 1.0e4;
  const bool fromOrigin = model.timing.onset == Onset::kOrigin;

  std::string out;
  out.reserve(1500000);
  out += "2.0\n";
  out += "PLANE 1\n";
  appendFixed(out, normalLongitude(topCentre.lon), 6);
  out += ' ';
  appendFixed(out, topCentre.lat, 6);
  out += ' ';
  appendInteger(out, kColumns);
  out += ' ';
  appendInteger(out, kRows);
  field(out, extent.xEnd - extent.xStart);
  field(out, extent.yBottom - extent.yTop);
  out += '\n';
  appendGeneral(out, g.strike, 9);
  field(out, g.dip);
  field(out, g.depth + extent.yTop * std::sin(g.dip * kDegree));
  field(out, -xCentre);
  field(out, -extent.yTop);
  out += "\nPOINTS ";
  appendInteger(out, kSubfaults);
  out += '\n';
  // The fields every point shares, and the medium's, which changes at layer boundaries only.
  std::string plane;
  field(plane, g.strike);
  field(plane, g.dip);
  field(plane, areaCm2);
  std::string dt;
  field(dt, model.timing.dt);
  std::string medium;
  double mediumRigidity = 0.0, mediumDensity = 0.0;
  for (std::size_t i = 0; i < model.subfaults.size(); ++i) {
    const SubfaultSource& f = model.subfaults[i];
    const double density = mediumAt(model, f).density;
    if (medium.empty() || f.rigidity != mediumRigidity || density != mediumDensity) {
      mediumRigidity = f.rigidity;
      mediumDensity = density;
      medium.clear();
      field(medium, 100.0 * std::sqrt(f.rigidity / (1000.0 * density)), 12);
      field(medium, density);
    }
    const SharedFigures::Point position = shared.position(i);
    out += position.lon;
    out += ' ';
    out += position.lat;
    out += ' ';
    out += shared.general(i, SharedFigures::kDepth);
    out += plane;
    const PointSeries series = pointSeries(f, model.timing.dt);
    field(out, (fromOrigin ? 0.0 : f.ruptureTime) + static_cast<double>(series.first) * model.timing.dt);
    out += dt;
    out += medium;
    out += '\n';
    out += shared.general(i, SharedFigures::kSlipVectorRake);
    field(out, 100.0 * f.slip);
    out += ' ';
    appendInteger(out, static_cast<long long>(series.count));
    out += " 0 ";
    appendInteger(out, static_cast<long long>(series.turns ? series.count : 0));
    out += " 0 0\n";
    samples(out, series.sr1, series.count);
    if (series.turns) samples(out, series.sr2, series.count);
  }
  return out;
}

}  // namespace slip::source
