// The fault-plane panel: slip cells, rake arrows, isochrones, axes, epicentre.
#include <algorithm>
#include <cmath>

#include "map/contours.h"
#include "map/layout_parts.h"
#include "map/nice_ticks.h"
#include "map/number_text.h"
#include "map/text_metrics.h"

namespace slip::map {
namespace {

using report::kDataColumns;
using report::kDataRows;

constexpr Colour kContourInk{255, 255, 255};

// The colour scale's top value, as the report prints slips.
std::string largestLabel(const Summary& summary) {
  const report::SectionShape& slip = report::kSections[report::kSlip];
  const double high = summary.scaleHigh() > summary.scaleLow() ? summary.scaleHigh() : summary.scaleLow() + 1.0;
  return high == 0.0 ? "0" : printedValue(high, slip.width, slip.decimals);
}

// Each cell reaches under its right and lower neighbours, drawn after it, so
// that no background shows between cells where a renderer rounds edges.
void cells(const ReportData& data, const Summary& summary, const FigureParts& parts, std::vector<Mark>& marks) {
  const double w = parts.cellWidth, h = parts.cellHeight;
  const double under = std::min(1.0, std::min(w, h) / 4);
  for (int iw = 1; iw <= kDataRows; ++iw) {
    for (int il = 1; il <= kDataColumns; ++il) {
      const Point c = parts.cellCentre(il, iw);
      const bool known = data.has(report::kSlip, il, iw);
      Mark cell = rectMark(c.x - w / 2, c.y - h / 2, w + (il < kDataColumns ? under : 0.0),
                           h + (iw < kDataRows ? under : 0.0),
                           known ? slipColour(data.value(report::kSlip, il, iw), summary.scaleLow(), summary.scaleHigh())
                                 : kNoValueColour);
      cell.tooltip = cellTooltip(data, il, iw);
      marks.push_back(cell);
    }
  }
}

// An arrow centred on its cell, black on a white halo so that it reads on
// every colour of the scale.
void arrow(Point centre, double length, Point direction, double cell, std::vector<Mark>& marks) {
  const Point tip{centre.x + direction.x * length / 2, centre.y + direction.y * length / 2};
  const Point tail{centre.x - direction.x * length / 2, centre.y - direction.y * length / 2};
  const double head = std::min(length * 0.4, cell * 0.3);
  const Point base{tip.x - direction.x * head, tip.y - direction.y * head};
  const Point side{-direction.y * head * 0.5, direction.x * head * 0.5};
  Mark point;
  point.kind = MarkKind::Polygon;
  point.points = {tip, {base.x + side.x, base.y + side.y}, {base.x - side.x, base.y - side.y}};
  const double ink = std::clamp(cell * 0.07, 0.6, 1.2);
  const double rim = std::clamp(cell * 0.05, 0.5, 0.9);  // the halo beyond the ink on each side
  Mark halo = point;
  halo.fill = kPaper;
  halo.stroke = kPaper;
  halo.strokeWidth = 2.0 * rim;
  marks.push_back(lineMark({tail, base}, kPaper, ink + 2.0 * rim));
  marks.push_back(halo);
  marks.push_back(lineMark({tail, base}, kInk, ink));
  point.fill = kInk;
  marks.push_back(point);
}

// Arrows as long as the slip's size allows, 0.9 cell at the largest, from
// 2 units on; a negative slip points against its rake.
void arrows(const ReportData& data, const Summary& summary, const FigureParts& parts, std::vector<Mark>& marks) {
  const double largest = std::max(std::fabs(summary.maxSlip), std::fabs(summary.minSlip));
  if (!(largest > 0.0)) return;
  for (int iw = 1; iw <= kDataRows; ++iw) {
    for (int il = 1; il <= kDataColumns; ++il) {
      if (!data.has(report::kSlip, il, iw) || !data.has(report::kRake, il, iw)) continue;
      const double share = data.value(report::kSlip, il, iw) / largest;
      const double cell = std::min(parts.cellWidth, parts.cellHeight);
      const double length = 0.9 * cell * std::fabs(share);
      if (length < 2.0) continue;  // shorter than its own head: a speck, not an arrow
      Point direction = rakeDirection(data.value(report::kRake, il, iw));
      if (share < 0.0) direction = {-direction.x, -direction.y};
      arrow(parts.cellCentre(il, iw), length, direction, cell, marks);
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

double lengthOf(const std::vector<Point>& points) {
  double length = 0.0;
  for (std::size_t i = 1; i < points.size(); ++i) {
    length += std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
  }
  return length;
}

// The point `share` of the way along the line.
Point along(const std::vector<Point>& line, double share) {
  double left = lengthOf(line) * share;
  for (std::size_t i = 1; i < line.size(); ++i) {
    const double step = std::hypot(line[i].x - line[i - 1].x, line[i].y - line[i - 1].y);
    if (step >= left && step > 0.0) {
      const double f = left / step;
      return {line[i - 1].x + f * (line[i].x - line[i - 1].x), line[i - 1].y + f * (line[i].y - line[i - 1].y)};
    }
    left -= step;
  }
  return line.back();
}

// A label on a white ground on one of the level's lines: the first place,
// longest line first and from its middle outwards, where it stays inside the
// plane and clear of every text placed before; none when there is no such place.
void isochroneLabel(std::vector<std::vector<Point>> lines, const std::string& text, const FigureParts& parts,
                    TextRoom& room, std::vector<Mark>& marks) {
  std::stable_sort(lines.begin(), lines.end(),
                   [](const auto& a, const auto& b) { return lengthOf(a) > lengthOf(b); });
  const double w = textWidth(text, kTickText) + 4.0;
  const Box inside{parts.plane.x0 + 2.0, parts.plane.y0 + 2.0, parts.plane.x1 - 2.0, parts.plane.y1 - 2.0};
  for (const auto& line : lines) {
    if (lengthOf(line) < w) continue;
    for (double share : {0.5, 0.35, 0.65, 0.2, 0.8, 0.1, 0.9}) {
      const Point at = along(line, share);
      const Box box{at.x - w / 2, at.y - 6.5, at.x + w / 2, at.y + 6.5};
      if (!inside.contains(box) || !room.free(box, 1.0)) continue;
      room.taken.push_back(box);
      marks.push_back(rectMark(box.x0, box.y0, w, box.height(), kPaper));
      marks.push_back(textMark({at.x, at.y + 3.5}, text, kTickText, Anchor::Middle));
      return;
    }
  }
}

void isochrones(const ReportData& data, const Summary& summary, double step, const FigureParts& parts, TextRoom& room,
                std::vector<Mark>& marks) {
  if (!(step > 0.0)) return;
  const Field field = timeField(data);
  const std::vector<double> levels = contourLevels(summary.minTime, summary.maxTime, step, kMaxContourLines);
  const std::vector<std::string> labels = tickLabels(levels);
  std::vector<std::vector<std::vector<Point>>> lines(levels.size());
  for (std::size_t k = 0; k < levels.size(); ++k) {
    for (const Isoline& line : traceIsolines(field, levels[k])) {
      std::vector<Point> points;
      for (Point p : line.points) points.push_back({parts.plane.x0 + (p.x + 0.5) * parts.cellWidth,
                                                    parts.plane.y0 + (p.y + 0.5) * parts.cellHeight});
      if (line.closed) points.push_back(points.front());
      // White dashes over a thin dark line: white reads on the dark half of
      // the scale, the dark line between the dashes on the light half.
      marks.push_back(lineMark(points, kInk, 2.2));
      Mark mark = lineMark(points, kContourInk, 1.2);
      mark.dash = 4.0;
      marks.push_back(mark);
      lines[k].push_back(std::move(points));
    }
  }
  // Labels after all the lines, so that no line is drawn over one.
  for (std::size_t k = 0; k < levels.size(); ++k) isochroneLabel(lines[k], labels[k] + " s", parts, room, marks);
}

// Ticks along one side of the plane: a label and a short line at each.
struct SideTicks {
  std::vector<double> at;  // figure units along the side
  std::vector<std::string> labels;
};

// Kilometres from the epicentre at round values when the spacing is known,
// else cell numbers, the ends first so that a label crowded out is one
// between them.
SideTicks sideTicks(double from, double to, double origin, double cell, double km, char index, int cells) {
  SideTicks ticks;
  if (km > 0.0) {
    const double perKm = cell / km;
    const std::vector<double> values =
        axisTicks((from - origin) / perKm, (to - origin) / perKm, std::max(2, static_cast<int>((to - from) / 45.0)));
    ticks.labels = tickLabels(values);
    for (double v : values) ticks.at.push_back(origin + v * perKm);
    return ticks;
  }
  std::vector<int> numbers{1, cells};
  for (int k = 5; k < cells; k += 5) numbers.push_back(k);
  for (int k : numbers) {
    ticks.at.push_back(from + (k - 0.5) * cell);
    ticks.labels.push_back(index + std::to_string(k));
  }
  return ticks;
}

void axes(const FigureParts& parts, TextRoom& room, std::vector<Mark>& marks) {
  const Box& plane = parts.plane;
  Mark frame = rectMark(plane.x0, plane.y0, plane.width(), plane.height(), std::nullopt);
  frame.stroke = kInk;
  frame.strokeWidth = 1.0;
  marks.push_back(frame);
  const SideTicks along = sideTicks(plane.x0, plane.x1, parts.origin.x, parts.cellWidth, parts.dx, 'L', kDataColumns);
  for (std::size_t i = 0; i < along.at.size(); ++i) {
    const double x = along.at[i];
    if (placeText(textMark({x, plane.y1 + 15.0}, along.labels[i], kTickText, Anchor::Middle), room, marks, 3.0)) {
      marks.push_back(lineMark({{x, plane.y1}, {x, plane.y1 + 4.0}}, kInk, 1.0));
    }
  }
  const SideTicks down = sideTicks(plane.y0, plane.y1, parts.origin.y, parts.cellHeight, parts.dz, 'W', kDataRows);
  for (std::size_t i = 0; i < down.at.size(); ++i) {
    const double y = down.at[i];
    if (placeText(textMark({plane.x0 - 6.0, y + 3.5}, down.labels[i], kTickText, Anchor::End), room, marks, 1.0)) {
      marks.push_back(lineMark({{plane.x0 - 4.0, y}, {plane.x0, y}}, kInk, 1.0));
    }
  }
  const bool km = parts.dx > 0.0;
  placeText(textMark({(plane.x0 + plane.x1) / 2, plane.y1 + 32.0},
                     km ? "Along strike from the epicentre (km)" : "L: along strike", kAxisText, Anchor::Middle),
            room, marks);
  Mark dip = textMark({8.0 + kAxisText * 0.8, (plane.y0 + plane.y1) / 2}, km ? "Down dip (km)" : "W: down dip",
                      kAxisText, Anchor::Middle);
  dip.rotation = -90.0;
  placeText(dip, room, marks);
}

}  // namespace

std::string faultPlaneHeading(const Summary& summary, const FigureOptions& options) {
  const double step = isochroneStep(summary, options.contourStep);
  std::string heading = "Fault plane: slip";
  if (options.arrows) heading += ", rake arrows";
  if (step > 0.0) heading += ", rupture time every " + tickLabels({step})[0] + " s";
  return heading;
}

void layoutFaultPlane(const ReportData& data, const Summary& summary, const FigureOptions& options,
                      const FigureParts& parts, TextRoom& room, std::vector<Mark>& marks) {
  cells(data, summary, parts, marks);
  if (options.arrows) arrows(data, summary, parts, marks);
  axes(parts, room, marks);
  // The star before the isochrones' labels, which keep clear of it.
  Mark star;
  if (summary.hasEpicentre) {
    const CellIndex e = summary.epicentre;
    star = starMark(parts.cellCentre(e.il, e.iw), std::clamp(std::min(parts.cellWidth, parts.cellHeight) * 0.6, 6.0, 9.0));
    room.taken.push_back(markBox(star));
  }
  isochrones(data, summary, isochroneStep(summary, options.contourStep), parts, room, marks);
  if (summary.hasEpicentre) marks.push_back(star);
}

double colourBarLabelWidth(const Summary& summary) {
  double widest = textWidth("epicentre", kTickText);
  for (const std::string& label : {std::string("no value"), std::string("top edge"), largestLabel(summary)}) {
    widest = std::max(widest, textWidth(label, kTickText));
  }
  return widest;
}

// One gradient from the bottom of the scale to its top, round ticks along
// it (zero among them), and the largest value marked at the top when it is
// not a round one.
void layoutColourBar(const Summary& summary, const FigureParts& parts, TextRoom& room, std::vector<Mark>& marks) {
  const Box& bar = parts.colourBar;
  Mark gradient;
  gradient.kind = MarkKind::Gradient;
  gradient.points = {{bar.x0, bar.y0}, {bar.width(), bar.height()}};
  gradient.gradient = scaleControls();
  std::reverse(gradient.gradient.begin(), gradient.gradient.end());  // the top of the scale at the top
  marks.push_back(gradient);
  Mark frame = rectMark(bar.x0, bar.y0, bar.width(), bar.height(), std::nullopt);
  frame.stroke = kInk;
  frame.strokeWidth = 1.0;
  marks.push_back(frame);

  const double low = summary.scaleLow();
  const double high = summary.scaleHigh() > low ? summary.scaleHigh() : low + 1.0;
  auto tick = [&](double value, const std::string& label, bool across) {
    const double y = bar.y1 - bar.height() * scalePosition(value, low, high);
    if (!placeText(textMark({bar.x1 + 7.0, y + 3.5}, label, kTickText, Anchor::Start), room, marks, 1.0)) return;
    marks.push_back(lineMark({{across ? bar.x0 : bar.x1, y}, {bar.x1 + 4.0, y}}, kInk, 1.0));
  };
  const std::vector<double> ticks = axisTicks(low, high, std::max(2, static_cast<int>(bar.height() / 30.0)));
  const bool roundTop = !ticks.empty() && ticks.back() == high;
  if (!roundTop) {
    // The largest value, a small wedge pointing at the bar's top.
    const std::string label = largestLabel(summary);
    if (placeText(textMark({bar.x1 + 7.0, bar.y0 + 3.5}, label, kTickText, Anchor::Start), room, marks, 1.0)) {
      Mark wedge;
      wedge.kind = MarkKind::Polygon;
      wedge.points = {{bar.x1, bar.y0}, {bar.x1 + 5.0, bar.y0 - 3.0}, {bar.x1 + 5.0, bar.y0 + 3.0}};
      wedge.fill = kInk;
      wedge.tooltip = "the largest value";
      marks.push_back(wedge);
    }
  }
  const std::vector<std::string> labels = tickLabels(ticks);
  for (std::size_t i = 0; i < ticks.size(); ++i) tick(ticks[i], labels[i], ticks[i] == 0.0 && low < 0.0);
}

void layoutLegend(const Summary& summary, bool topEdge, FigureParts& parts, TextRoom& room, std::vector<Mark>& marks) {
  const Box& bar = parts.colourBar;
  double y = bar.y1 + 14.0;
  parts.legend = {bar.x0, y, bar.x0, y};
  auto entry = [&](Mark symbol, const std::string& text) {
    marks.push_back(std::move(symbol));
    placeText(textMark({bar.x1 + 7.0, y + 11.0}, text, kTickText, Anchor::Start), room, marks);
    parts.legend.x1 = std::max(parts.legend.x1, bar.x1 + 7.0 + textWidth(text, kTickText));
    y += 20.0;
    parts.legend.y1 = y - 4.0;
  };
  if (summary.hasEpicentre) entry(starMark({(bar.x0 + bar.x1) / 2, y + 7.0}, 6.0), "epicentre");
  if (topEdge) entry(lineMark({{bar.x0 - 2.0, y + 7.0}, {bar.x1 + 2.0, y + 7.0}}, kInk, 3.0), "top edge");
  if (summary.missingSlip) {
    Mark none = rectMark(bar.x0, y, bar.width(), bar.width(), kNoValueColour);
    none.stroke = kInk;
    none.strokeWidth = 1.0;
    entry(none, "no value");
  }
  if (parts.referenceMetres > 0.0) {
    const std::string label = tickLabels({parts.referenceMetres, 2.0 * parts.referenceMetres})[0] + " m";
    displacementArrow({bar.x0 - 2.0, y + 7.0}, parts.referenceLength, 0.0, marks, "reference: " + label);
    placeText(textMark({bar.x0 + parts.referenceLength + 2.0, y + 11.0}, label, kTickText, Anchor::Start), room, marks);
    parts.legend.x1 = std::max(parts.legend.x1, bar.x0 + parts.referenceLength + 2.0 + textWidth(label, kTickText));
    y += 20.0;
    parts.legend.y1 = y - 4.0;
  }
  if (parts.largestVertical > 0.0) {
    entry(disc({(bar.x0 + bar.x1) / 2, y + 7.0}, 6.0, kUplift), "up " + formatNumber(parts.largestVertical, 2) + " m");
    entry(disc({(bar.x0 + bar.x1) / 2, y + 7.0}, 6.0, kSubsidence), "down");
  }
  room.taken.push_back(parts.legend);
}

}  // namespace slip::map
