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

// 49 samples in cm/s, six a line; most are zeros, written without a
// conversion, and a line of zeros (or a subfault's samples all zero, the
// most common case) as one piece of text.
constexpr std::string_view kZeroLine = " 0 0 0 0 0 0\n";
constexpr std::string_view kZeroSamples =
    " 0 0 0 0 0 0\n 0 0 0 0 0 0\n 0 0 0 0 0 0\n 0 0 0 0 0 0\n"
    " 0 0 0 0 0 0\n 0 0 0 0 0 0\n 0 0 0 0 0 0\n 0 0 0 0 0 0\n 0\n";
static_assert(kSamples == 8 * kPerLine + 1 && kZeroSamples.size() == 8 * kZeroLine.size() + 3);

void samples(std::string& out, const std::array<double, kSamples>& rate) {
  std::size_t first = 0;  // the first sample that is not zero
  while (first < kSamples && rate[first] == 0.0) ++first;
  if (first == kSamples) {
    out += kZeroSamples;
    return;
  }
  for (std::size_t line = 0; line < kSamples; line += kPerLine) {
    const std::size_t end = line + kPerLine < kSamples ? line + kPerLine : kSamples;
    bool zeros = end - line == kPerLine;
    for (std::size_t j = line < first ? first : line; zeros && j < end; ++j) zeros = rate[j] == 0.0;
    if (zeros) {
      out += kZeroLine;
      continue;
    }
    for (std::size_t j = line; j < end; ++j) {
      if (rate[j] == 0.0) {
        out.append(" 0", 2);
      } else {
        field(out, 100.0 * rate[j]);
      }
    }
    out += '\n';
  }
}

}  // namespace

std::string srfText(const SourceModel& model, const FileLabels& labels) {
  SharedFigures shared(model);
  return srfText(model, labels, shared);
}

std::string srfText(const SourceModel& model, const FileLabels& labels, SharedFigures& shared) {
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
  out += "# " + fileOrigin(labels) + "; event " + oneLine(labels.event) + "\n";
  if (model.rigidity.layered) {
    out += "# DEN*VS^2/10 = rigidity used (Pa): DEN and VS of the layer of structure " +
           oneLine(model.rigidity.structureName) + " holding each point\n";
  } else {
    out += "# DEN*VS^2/10 = rigidity used (Pa): a constant ";
    appendGeneral(out, model.rigidity.constant, 9);
    out += " Pa, written as DEN = 2.7 g/cm^3 and VS = 100 sqrt(mu / (1000 DEN)) cm/s\n";
  }
  out += "# u1 along RAKE = 35 deg and u2 along 125 deg: the model's two components; no opening (u3)\n";
  out += fromOrigin ? "# TINIT = 0: every point's samples start at the origin time (--onset origin)\n"
                    : "# TINIT = the rupture time a2(5)\n";
  out += "# SR1, SR2 sample k: the model's mean rate over [TINIT + (k-1) DT, TINIT + k DT), written as it is\n";
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
    field(out, fromOrigin ? 0.0 : f.ruptureTime);
    out += dt;
    out += medium;
    out += "\n35";
    field(out, 100.0 * f.slip35);
    out += ' ';
    appendInteger(out, kSamples);
    field(out, 100.0 * f.slip125);
    out += ' ';
    appendInteger(out, kSamples);
    out += " 0 0\n";
    samples(out, f.rate35);
    samples(out, f.rate125);
  }
  return out;
}

}  // namespace slip::source
