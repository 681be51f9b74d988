#include "map/figure_layout.h"

#include <cmath>

#include "map/layout_parts.h"
#include "map/nice_ticks.h"
#include "map/number_text.h"

namespace slip::map {
namespace {

using report::kDataColumns;
using report::kDataRows;

constexpr double kDegree = 3.14159265358979323846 / 180.0;

template <typename Visit>
void eachCell(Visit visit) {
  for (int iw = 1; iw <= kDataRows; ++iw) {
    for (int il = 1; il <= kDataColumns; ++il) visit(il, iw);
  }
}

void summarizeSlip(const ReportData& data, Summary& s) {
  double east = 0.0, north = 0.0;
  eachCell([&](int il, int iw) {
    if (!data.has(report::kSlip, il, iw)) return;
    const double slip = data.value(report::kSlip, il, iw);
    if (!s.hasSlip || slip > s.maxSlip) {
      s.maxSlip = slip;
      s.maxCell = {il, iw};
    }
    s.hasSlip = true;
    if (slip > 0.0 && data.has(report::kRake, il, iw)) {
      const double rake = data.value(report::kRake, il, iw) * kDegree;
      east += slip * std::cos(rake);
      north += slip * std::sin(rake);
      s.hasRake = true;
    }
  });
  if (s.maxSlip < 0.0) s.maxSlip = 0.0;
  if (s.hasRake) s.meanRake = std::atan2(north, east) / kDegree;
}

std::string titleText(const FigureOptions& options, const Summary& s) {
  std::string text = options.title.empty() ? options.name : options.title;
  text += s.hasSlip ? " \xe2\x80\x94 largest slip " + formatNumber(s.maxSlip, 3) + " m at W " +
                          std::to_string(s.maxCell.iw) + ", L " + std::to_string(s.maxCell.il)
                    : " \xe2\x80\x94 no slip values";
  if (s.hasRake) text += " \xe2\x80\x94 mean rake " + formatNumber(s.meanRake, 1) + "\xc2\xb0";
  return text;
}

}  // namespace

Summary summarize(const ReportData& data) {
  Summary s;
  summarizeSlip(data, s);
  double nearest = 0.0;
  eachCell([&](int il, int iw) {
    if (data.has(report::kDistance, il, iw)) {
      const double d = data.value(report::kDistance, il, iw);
      if (!s.hasEpicentre || d < nearest) {
        nearest = d;
        s.epicentre = {il, iw};
      }
      s.hasEpicentre = true;
    }
    if (data.has(report::kRuptureTime, il, iw)) {
      const double t = data.value(report::kRuptureTime, il, iw);
      if (!s.hasTimes || t < s.minTime) s.minTime = t;
      if (!s.hasTimes || t > s.maxTime) s.maxTime = t;
      s.hasTimes = true;
    }
  });
  return s;
}

Point cellCentre(int il, int iw) {
  return {kPlaneLeft + (il - 0.5) * kCellSize, kPlaneTop + (iw - 0.5) * kCellSize};
}

Point rakeDirection(double rakeDegrees) {
  // Exact on the axes, so that the four main directions carry no rounding.
  const double turns = rakeDegrees / 90.0;
  if (turns == std::round(turns)) {
    const long long quarter = (static_cast<long long>(std::fmod(turns, 4.0)) + 4) % 4;
    const Point axes[4] = {{1.0, 0.0}, {0.0, -1.0}, {-1.0, 0.0}, {0.0, 1.0}};
    return axes[quarter];
  }
  const double a = rakeDegrees * kDegree;
  return {std::cos(a), -std::sin(a)};
}

double isochroneStep(const Summary& summary, double requested) {
  if (requested > 0.0) return requested;
  return summary.hasTimes ? contourStep(summary.minTime, summary.maxTime) : 0.0;
}

Figure layoutFigure(const ReportData& data, const FigureOptions& options) {
  Figure figure;
  figure.width = kFigureWidth;
  figure.pixelWidth = options.pixelWidth;
  const Summary summary = summarize(data);
  figure.title = titleText(options, summary);
  Mark title = textMark({kPlaneLeft, 34.0}, figure.title, 17.0, Anchor::Start);
  title.bold = true;
  figure.marks.push_back(title);
  const double planeBottom = layoutFaultPlane(data, summary, options, figure.marks);
  layoutColourBar(summary, figure.marks);
  figure.height = std::ceil(layoutMapView(data, summary, planeBottom + 70.0, figure.marks) + 30.0);
  return figure;
}

Mark rectMark(double x, double y, double w, double h, std::optional<Colour> fill) {
  Mark m;
  m.kind = MarkKind::Rect;
  m.points = {{x, y}, {w, h}};
  m.fill = fill;
  return m;
}

Mark textMark(Point at, std::string text, double size, Anchor anchor) {
  Mark m;
  m.kind = MarkKind::Text;
  m.points = {at};
  m.text = std::move(text);
  m.fontSize = size;
  m.anchor = anchor;
  m.fill = kInk;
  return m;
}

Mark lineMark(std::vector<Point> points, Colour stroke, double width) {
  Mark m;
  m.kind = MarkKind::Polyline;
  m.points = std::move(points);
  m.stroke = stroke;
  m.strokeWidth = width;
  return m;
}

Mark starMark(Point at, double r) {
  Mark m;
  m.kind = MarkKind::Polygon;
  for (int k = 0; k < 10; ++k) {
    const double radius = k % 2 == 0 ? r : r * 0.45;
    const double a = (90.0 + 36.0 * k) * kDegree;
    m.points.push_back({at.x + radius * std::cos(a), at.y - radius * std::sin(a)});
  }
  m.fill = kPaper;
  m.stroke = kInk;
  m.strokeWidth = 1.5;
  m.tooltip = "epicentre";
  return m;
}

}  // namespace slip::map
