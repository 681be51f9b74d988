// The fault-plane panel: slip cells, rake arrows, isochrones, axes, epicentre.
#include <cmath>

#include "map/contours.h"
#include "map/layout_parts.h"
#include "map/nice_ticks.h"
#include "map/number_text.h"

namespace slip::map {
namespace {

using report::kDataColumns;
using report::kDataRows;

constexpr double kPlaneWidth = kDataColumns * kCellSize;
constexpr double kPlaneHeight = kDataRows * kCellSize;
constexpr Colour kContourInk{255, 255, 255};  // reads on the dark half of the scale, where the times spread

void cells(const ReportData& data, const Summary& summary, std::vector<Mark>& marks) {
  for (int iw = 1; iw <= kDataRows; ++iw) {
    for (int il = 1; il <= kDataColumns; ++il) {
      const Point c = cellCentre(il, iw);
      const bool known = data.has(report::kSlip, il, iw);
      Mark cell = rectMark(c.x - kCellSize / 2, c.y - kCellSize / 2, kCellSize, kCellSize,
                           known ? slipColour(data.value(report::kSlip, il, iw), summary.maxSlip) : kNoValueColour);
      cell.tooltip = cellTooltip(data, il, iw);
      marks.push_back(cell);
    }
  }
}

// An arrow centred on its cell, 0.9 cell long at the largest slip.
void arrow(Point centre, double length, Point direction, std::vector<Mark>& marks) {
  const Point tip{centre.x + direction.x * length / 2, centre.y + direction.y * length / 2};
  const Point tail{centre.x - direction.x * length / 2, centre.y - direction.y * length / 2};
  const double head = length * 0.35 < 4.0 ? length * 0.35 : 4.0;
  const Point base{tip.x - direction.x * head, tip.y - direction.y * head};
  const Point side{-direction.y * head * 0.5, direction.x * head * 0.5};
  marks.push_back(lineMark({tail, base}, kInk, 1.0));
  Mark point;
  point.kind = MarkKind::Polygon;
  point.points = {tip, {base.x + side.x, base.y + side.y}, {base.x - side.x, base.y - side.y}};
  point.fill = kInk;
  marks.push_back(point);
}

void arrows(const ReportData& data, const Summary& summary, std::vector<Mark>& marks) {
  if (!(summary.maxSlip > 0.0)) return;
  for (int iw = 1; iw <= kDataRows; ++iw) {
    for (int il = 1; il <= kDataColumns; ++il) {
      if (!data.has(report::kSlip, il, iw) || !data.has(report::kRake, il, iw)) continue;
      const double slip = data.value(report::kSlip, il, iw);
      if (!(slip > 0.0)) continue;
      const double length = 0.9 * kCellSize * slip / summary.maxSlip;
      arrow(cellCentre(il, iw), length, rakeDirection(data.value(report::kRake, il, iw)), marks);
    }
  }
}

Field timeField(const ReportData& data) {
  Field field;
  field.rows = kDataRows;
  field.cols = kDataColumns;
  for (int iw = 1; iw <= kDataRows; ++iw) {
    for (int il = 1; il <= kDataColumns; ++il) {
      field.values.push_back(data.value(report::kRuptureTime, il, iw));
      field.known.push_back(data.has(report::kRuptureTime, il, iw));
    }
  }
  return field;
}

Point toFigure(Point sample) {
  return {kPlaneLeft + (sample.x + 0.5) * kCellSize, kPlaneTop + (sample.y + 0.5) * kCellSize};
}

double lengthOf(const std::vector<Point>& points) {
  double length = 0.0;
  for (std::size_t i = 1; i < points.size(); ++i) {
    length += std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
  }
  return length;
}

// A label on a white ground at the middle point of the line.
void isochroneLabel(const std::vector<Point>& line, const std::string& text, std::vector<Mark>& marks) {
  const Point at = line[line.size() / 2];
  const double w = 6.0 * static_cast<double>(text.size()) + 4.0;
  marks.push_back(rectMark(at.x - w / 2, at.y - 6.0, w, 12.0, kPaper));
  marks.push_back(textMark({at.x, at.y + 3.5}, text, 10.0, Anchor::Middle));
}

void isochrones(const ReportData& data, double step, std::vector<Mark>& marks, const Summary& summary) {
  if (!(step > 0.0)) return;
  const Field field = timeField(data);
  const int decimals = decimalsFor(step);
  for (double level : contourLevels(summary.minTime, summary.maxTime, step, kMaxContourLines)) {
    std::vector<Point> longest;
    for (const Isoline& line : traceIsolines(field, level)) {
      std::vector<Point> points;
      for (Point p : line.points) points.push_back(toFigure(p));
      if (line.closed) points.push_back(points.front());
      Mark mark = lineMark(points, kContourInk, 1.2);
      mark.dash = 4.0;
      marks.push_back(mark);
      if (lengthOf(points) > lengthOf(longest)) longest = points;
    }
    if (longest.size() >= 2) isochroneLabel(longest, formatNumber(level, decimals) + " s", marks);
  }
}

void axes(std::vector<Mark>& marks) {
  Mark frame = rectMark(kPlaneLeft, kPlaneTop, kPlaneWidth, kPlaneHeight, std::nullopt);
  frame.stroke = kInk;
  frame.strokeWidth = 1.0;
  marks.push_back(frame);
  const double bottom = kPlaneTop + kPlaneHeight;
  for (int il : {1, 5, 10, 15, 20, 25, 30, 35, 40, 43}) {
    const double x = cellCentre(il, 1).x;
    marks.push_back(lineMark({{x, bottom}, {x, bottom + 4.0}}, kInk, 1.0));
    marks.push_back(textMark({x, bottom + 15.0}, "L" + std::to_string(il), 10.0, Anchor::Middle));
  }
  for (int iw : {1, 5, 10, 15, 20, 22}) {
    const double y = cellCentre(1, iw).y;
    marks.push_back(lineMark({{kPlaneLeft - 4.0, y}, {kPlaneLeft, y}}, kInk, 1.0));
    marks.push_back(textMark({kPlaneLeft - 6.0, y + 3.5}, "W" + std::to_string(iw), 10.0, Anchor::End));
  }
  marks.push_back(textMark({kPlaneLeft + kPlaneWidth / 2, bottom + 32.0}, "L: along strike", 12.0, Anchor::Middle));
  Mark down = textMark({kPlaneLeft - 34.0, kPlaneTop + kPlaneHeight / 2}, "W: down dip", 12.0, Anchor::Middle);
  down.rotation = -90.0;
  marks.push_back(down);
}

}  // namespace

double layoutFaultPlane(const ReportData& data, const Summary& summary, const FigureOptions& options,
                        std::vector<Mark>& marks) {
  const double step = isochroneStep(summary, options.contourStep);
  std::string heading = "Fault plane: slip";
  if (options.arrows) heading += ", rake arrows";
  if (step > 0.0) heading += ", rupture time every " + formatNumber(step, decimalsFor(step)) + " s";
  marks.push_back(textMark({kPlaneLeft, kPlaneTop - 10.0}, heading, 12.0, Anchor::Start));
  cells(data, summary, marks);
  if (options.arrows) arrows(data, summary, marks);
  isochrones(data, step, marks, summary);
  axes(marks);
  if (summary.hasEpicentre) {
    const CellIndex e = summary.epicentre;
    marks.push_back(starMark(cellCentre(e.il, e.iw), 8.0));
  }
  return kPlaneTop + kPlaneHeight + 32.0;
}

void layoutColourBar(const Summary& summary, std::vector<Mark>& marks) {
  const double left = kPlaneLeft + kPlaneWidth + 28.0;
  const double width = 18.0;
  const int strips = 64;
  const double strip = kPlaneHeight / strips;
  marks.push_back(textMark({left, kPlaneTop - 10.0}, "Slip (m)", 12.0, Anchor::Start));
  for (int k = 0; k < strips; ++k) {
    // Strip 0 at the top shows the top of the scale.
    const double t = 1.0 - (k + 0.5) / strips;
    marks.push_back(rectMark(left, kPlaneTop + k * strip, width, strip, scaleColour(t)));
  }
  Mark frame = rectMark(left, kPlaneTop, width, kPlaneHeight, std::nullopt);
  frame.stroke = kInk;
  frame.strokeWidth = 1.0;
  marks.push_back(frame);
  const double top = summary.maxSlip > 0.0 ? summary.maxSlip : 1.0;
  const std::vector<double> ticks = niceTicks(0.0, top, 6);
  const double step = ticks.size() > 1 ? ticks[1] - ticks[0] : 1.0;
  for (double tick : ticks) {
    if (tick > top * (1.0 + 1e-9)) break;
    const double y = kPlaneTop + kPlaneHeight * (1.0 - tick / top);
    marks.push_back(lineMark({{left + width, y}, {left + width + 4.0, y}}, kInk, 1.0));
    marks.push_back(textMark({left + width + 7.0, y + 3.5}, formatNumber(tick, decimalsFor(step)), 10.0, Anchor::Start));
  }
  const double legend = kPlaneTop + kPlaneHeight + 14.0;
  Mark none = rectMark(left, legend, width, width, kNoValueColour);
  none.stroke = kInk;
  none.strokeWidth = 1.0;
  marks.push_back(none);
  marks.push_back(textMark({left + width + 7.0, legend + 13.0}, "no value", 10.0, Anchor::Start));
}

}  // namespace slip::map
