// The map view: each subfault as a patch at its longitude and latitude.
#include <algorithm>
#include <cmath>
#include <optional>

#include "map/layout_parts.h"
#include "map/nice_ticks.h"
#include "map/number_text.h"
#include "map/text_metrics.h"

namespace slip::map {
namespace {

using report::kDataColumns;
using report::kDataRows;

constexpr double kDegree = 3.14159265358979323846 / 180.0;
constexpr double kKmPerDegree = 6371.0 * kDegree;  // a degree of latitude on the sphere of mean radius 6371 km

using Place = std::optional<Point>;  // longitude, latitude

// The subfault's position, its longitude within 180 degrees of `reference`;
// none when the report gives no longitude or latitude or the latitude is
// beyond a pole.
Place position(const ReportData& data, int il, int iw, double reference) {
  if (!data.has(report::kLongitude, il, iw) || !data.has(report::kLatitude, il, iw)) return std::nullopt;
  const double latitude = data.value(report::kLatitude, il, iw);
  if (!(std::fabs(latitude) <= 90.0)) return std::nullopt;
  return Point{reference + std::remainder(data.value(report::kLongitude, il, iw) - reference, 360.0), latitude};
}

// Every cell's centre: the report's where it gives one, else one step of the
// grid's mean spacing per cell from the nearest cell it gives, so that a
// missing position takes only its own patch away.
class Centres {
 public:
  Centres(const ReportData& data, double reference) {
    for (int iw = 1; iw <= kDataRows; ++iw) {
      for (int il = 1; il <= kDataColumns; ++il) given_[iw - 1][il - 1] = position(data, il, iw, reference);
    }
    Point alongL, alongW;
    int countL = 0, countW = 0;
    for (int iw = 1; iw <= kDataRows; ++iw) {
      for (int il = 1; il <= kDataColumns; ++il) {
        const Place& p = given(il, iw);
        if (!p) continue;
        if (il < kDataColumns && given(il + 1, iw)) {
          alongL = {alongL.x + given(il + 1, iw)->x - p->x, alongL.y + given(il + 1, iw)->y - p->y};
          ++countL;
        }
        if (iw < kDataRows && given(il, iw + 1)) {
          alongW = {alongW.x + given(il, iw + 1)->x - p->x, alongW.y + given(il, iw + 1)->y - p->y};
          ++countW;
        }
      }
    }
    if (countL > 0) stepL_ = {alongL.x / countL, alongL.y / countL};
    if (countW > 0) stepW_ = {alongW.x / countW, alongW.y / countW};
  }
  const Place& given(int il, int iw) const { return given_[iw - 1][il - 1]; }

  // The centre of (il, iw) for il in 0..44 and iw in 0..23; one step beyond
  // the grid's edge continues the grid.
  Place at(int il, int iw) const {
    if (il >= 1 && il <= kDataColumns && iw >= 1 && iw <= kDataRows && given(il, iw)) return given(il, iw);
    int bestDistance = 1 << 30;
    Place best;
    for (int w = 1; w <= kDataRows; ++w) {
      for (int l = 1; l <= kDataColumns; ++l) {
        const int distance = std::abs(l - il) + std::abs(w - iw);
        if (!given(l, w) || distance >= bestDistance) continue;
        bestDistance = distance;
        best = Point{given(l, w)->x + (il - l) * stepL_.x + (iw - w) * stepW_.x,
                     given(l, w)->y + (il - l) * stepL_.y + (iw - w) * stepW_.y};
      }
    }
    return best;
  }

 private:
  Place given_[kDataRows][kDataColumns];
  Point stepL_, stepW_;
};

// The corner shared by cells (a, b) .. (a + 1, b + 1) of the extended grid.
Place corner(const Centres& centres, int a, int b) {
  const Place p[4] = {centres.at(a, b), centres.at(a + 1, b), centres.at(a, b + 1), centres.at(a + 1, b + 1)};
  Point sum;
  for (const Place& q : p) {
    if (!q) return std::nullopt;
    sum.x += q->x;
    sum.y += q->y;
  }
  return Point{sum.x / 4.0, sum.y / 4.0};
}

// Longitude and latitude to figure units, east to the right, north up, with
// a degree of longitude `shrink` times as long as a degree of latitude.
struct Projection {
  double shrink = 1.0;
  double west = 0.0, north = 0.0;
  double scale = 1.0;  // figure units per degree of latitude
  double left = 0.0, top = 0.0;
  Point at(Point p) const { return {left + (p.x - west) * shrink * scale, top + (north - p.y) * scale}; }
};

// The plan's extent widened to the frame's proportions, about its middle.
Projection projectionFor(const MapPlan& plan, const Box& frame) {
  Projection pr;
  pr.shrink = plan.shrink;
  pr.scale = std::min(frame.width() / ((plan.east - plan.west) * plan.shrink), frame.height() / (plan.north - plan.south));
  const double middleX = plan.west / 2 + plan.east / 2, middleY = plan.south / 2 + plan.north / 2;
  pr.west = middleX - frame.width() / (2.0 * pr.scale * pr.shrink);
  pr.north = middleY + frame.height() / (2.0 * pr.scale);
  pr.left = frame.x0;
  pr.top = frame.y0;
  return pr;
}

// A longitude as a label reads it: within (-180, 180].
double shownLongitude(double longitude) {
  // A tick a rounding away from the dateline on its west side (the step's
  // power of ten is not exact in every C library) reads 180, not -180.
  const double l = std::remainder(longitude, 360.0);
  return l <= -180.0 + 1e-9 ? l + 360.0 : l;
}

// The label of `value` on an axis of round ticks `step` apart.
std::string tickLabel(double value, double step) { return tickLabels({value, value + step})[0]; }

void mapAxes(const Projection& pr, const Box& frame, TextRoom& room, std::vector<Mark>& marks) {
  const double east = pr.west + frame.width() / (pr.scale * pr.shrink);
  const double south = pr.north - frame.height() / pr.scale;
  const std::vector<double> lons = axisTicks(pr.west, east, std::max(2, static_cast<int>(frame.width() / 55.0)));
  const double lonStep = lons.size() > 1 ? lons[1] - lons[0] : 1.0;
  for (double lon : lons) {
    const double x = pr.at({lon, south}).x;
    if (placeText(textMark({x, frame.y1 + 15.0}, tickLabel(shownLongitude(lon), lonStep), kTickText, Anchor::Middle),
                  room, marks, 3.0)) {
      marks.push_back(lineMark({{x, frame.y1}, {x, frame.y1 + 4.0}}, kInk, 1.0));
    }
  }
  const std::vector<double> lats = axisTicks(south, pr.north, std::max(2, static_cast<int>(frame.height() / 35.0)));
  const double latStep = lats.size() > 1 ? lats[1] - lats[0] : 1.0;
  double widest = 0.0;
  for (double lat : lats) {
    const double y = pr.at({pr.west, lat}).y;
    const Mark label = textMark({frame.x0 - 6.0, y + 3.5}, tickLabel(lat, latStep), kTickText, Anchor::End);
    if (placeText(label, room, marks, 1.0)) {
      marks.push_back(lineMark({{frame.x0 - 4.0, y}, {frame.x0, y}}, kInk, 1.0));
      widest = std::max(widest, textWidth(label.text, kTickText));
    }
  }
  placeText(textMark({(frame.x0 + frame.x1) / 2, frame.y1 + 32.0}, report::kSections[report::kLongitude].title,
                     kAxisText, Anchor::Middle),
            room, marks);
  Mark lat = textMark({frame.x0 - 10.0 - widest - kAxisText * 0.3, (frame.y0 + frame.y1) / 2},
                      report::kSections[report::kLatitude].title, kAxisText, Anchor::Middle);
  lat.rotation = -90.0;
  placeText(lat, room, marks);
}

// The largest round length (1, 2 or 5 times a power of ten) up to x > 0.
double roundDown(double x) {
  const double power = std::pow(10.0, std::floor(std::log10(x)));
  for (double f : {5.0, 2.0, 1.0}) {
    if (f * power <= x) return f * power;
  }
  return power;
}

// The fault's ink on the map, in figure units: every patch's corners and
// the outline's edges, sampled closely enough for the grounds below (a few
// units), and the outline's quadrilateral itself.
struct Ink {
  std::vector<Point> points;
  std::vector<Point> outline;  // empty without one
  bool inside(Point p) const {  // within the outline, a convex quadrilateral either way round
    if (outline.size() != 4) return false;
    int sign = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const Point a = outline[k], b = outline[(k + 1) % 4];
      const double cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
      const int s = cross > 0.0 ? 1 : cross < 0.0 ? -1 : 0;
      if (s != 0 && sign != 0 && s != sign) return false;
      if (s != 0) sign = s;
    }
    return true;
  }
  bool touches(const Box& box, const std::vector<Box>& others) const {
    for (const Box& o : others) {
      if (o.overlaps(box)) return true;
    }
    for (const Point& p : points) {
      if (p.x >= box.x0 && p.x <= box.x1 && p.y >= box.y0 && p.y <= box.y1) return true;
    }
    for (Point p : {Point{box.x0, box.y0}, Point{box.x1, box.y0}, Point{box.x0, box.y1}, Point{box.x1, box.y1}}) {
      if (inside(p)) return true;
    }
    return false;
  }
};

// A ground of `w` by `h` in one of the frame's corners, the first in
// `order` (0 lower left, 1 lower right, 2 upper left, 3 upper right) clear
// of the ink and of `others`; the first corner when none is.
Box cornerBox(const Box& frame, double w, double h, const int (&order)[4], const Ink& ink, const std::vector<Box>& others) {
  auto at = [&](int corner) {
    const double x = corner % 2 == 0 ? frame.x0 + 4.0 : frame.x1 - 4.0 - w;
    const double y = corner < 2 ? frame.y1 - 4.0 - h : frame.y0 + 4.0;
    return Box{x, y, x + w, y + h};
  };
  for (int corner : order) {
    if (!ink.touches(at(corner), others)) return at(corner);
  }
  // No corner clear of the fault: one clear of the other grounds at least.
  const Ink none;
  for (int corner : order) {
    if (!none.touches(at(corner), others)) return at(corner);
  }
  return at(order[0]);
}

// A scale bar in km on a white ground, where no fault is drawn.
void scaleBar(const Projection& pr, const Box& frame, const Ink& ink, const std::vector<Box>& others, FigureParts& parts,
              TextRoom& room, std::vector<Mark>& marks) {
  const double kmPerUnit = kKmPerDegree / pr.scale;
  const double km = roundDown(0.3 * frame.width() * kmPerUnit);
  const double length = km / kmPerUnit;
  const std::string label = tickLabel(km, km) + " km";
  const double ground = std::max(length, textWidth(label, kTickText)) + 12.0;
  const Box box = cornerBox(frame, ground, 28.0, {0, 1, 2, 3}, ink, others);
  marks.push_back(rectMark(box.x0, box.y0, box.width(), box.height(), kPaper));
  room.taken.push_back(box);
  parts.scaleBar = box;
  const Box bar{box.x0 + 6.0, box.y1 - 10.0, box.x0 + 6.0 + length, box.y1 - 7.0};
  marks.push_back(rectMark(bar.x0, bar.y0, length, bar.height(), kInk));
  for (double x : {bar.x0, bar.x1}) marks.push_back(lineMark({{x, bar.y0 - 3.0}, {x, bar.y1}}, kInk, 1.0));
  marks.push_back(textMark({box.x0 + 6.0, box.y0 + 12.0}, label, kTickText, Anchor::Start));
}

// A north arrow on a white ground, where no fault and no scale bar is.
void northArrow(const Box& frame, const Ink& ink, const std::vector<Box>& others, FigureParts& parts, TextRoom& room,
                std::vector<Mark>& marks) {
  const Box box = cornerBox(frame, 22.0, 38.0, {3, 2, 1, 0}, ink, others);
  marks.push_back(rectMark(box.x0, box.y0, box.width(), box.height(), kPaper));
  room.taken.push_back(box);
  const double middle = (box.x0 + box.x1) / 2;
  Mark n = textMark({middle, box.y0 + 12.0}, "N", kTickText, Anchor::Middle);
  n.bold = true;
  marks.push_back(n);
  Mark head;
  head.kind = MarkKind::Polygon;
  head.points = {{middle, box.y0 + 15.0}, {middle + 7.0, box.y1 - 3.0}, {middle, box.y1 - 9.0}, {middle - 7.0, box.y1 - 3.0}};
  head.fill = kInk;
  marks.push_back(head);
  parts.northArrow = box;
}

// The fault's outline with its top edge thicker, and beside the top edge,
// on its up-dip side and parallel to it, an arrow along strike.
void outline(const FaultOutline& fault, const Projection& pr, double reference, FigureParts& parts, Ink& ink,
             std::vector<Mark>& marks) {
  Point c[4];
  for (int k = 0; k < 4; ++k) {
    c[k] = pr.at({reference + std::remainder(fault.corners[k].x - reference, 360.0), fault.corners[k].y});
  }
  Mark edge;
  edge.kind = MarkKind::Polygon;
  edge.points = {c[0], c[1], c[2], c[3]};
  edge.stroke = kInk;
  edge.strokeWidth = 1.2;
  marks.push_back(edge);
  marks.push_back(lineMark({c[0], c[1]}, kInk, 3.0));
  parts.outline = markBox(marks.back());
  for (int k = 0; k < 4; ++k) {
    parts.outline = {std::min(parts.outline.x0, c[k].x - 0.6), std::min(parts.outline.y0, c[k].y - 0.6),
                     std::max(parts.outline.x1, c[k].x + 0.6), std::max(parts.outline.y1, c[k].y + 0.6)};
    const Point a = c[k], b = c[(k + 1) % 4];
    const int steps = static_cast<int>(std::min(std::hypot(b.x - a.x, b.y - a.y) / 2.0, 2000.0)) + 1;
    for (int i = 0; i <= steps; ++i) ink.points.push_back({a.x + (b.x - a.x) * i / steps, a.y + (b.y - a.y) * i / steps});
  }
  ink.outline.assign(c, c + 4);

  const Point middle{(c[0].x + c[1].x) / 2, (c[0].y + c[1].y) / 2};
  const Point d{std::sin(fault.strike * kDegree), -std::cos(fault.strike * kDegree)};
  // Up dip is to the left of strike: (d.y, -d.x) in figure units, y down.
  const Point away{d.y, -d.x};
  const double length = std::clamp(0.4 * std::hypot(c[1].x - c[0].x, c[1].y - c[0].y), 24.0, 60.0);
  const Point from{middle.x + away.x * 12.0 - d.x * length / 2, middle.y + away.y * 12.0 - d.y * length / 2};
  const Point tip{from.x + d.x * length, from.y + d.y * length};
  const Point base{tip.x - d.x * 7.0, tip.y - d.y * 7.0};
  marks.push_back(lineMark({from, base}, kInk, 1.6));
  Mark head;
  head.kind = MarkKind::Polygon;
  head.points = {tip, {base.x - d.y * 4.0, base.y + d.x * 4.0}, {base.x + d.y * 4.0, base.y - d.x * 4.0}};
  head.fill = kInk;
  head.tooltip = "strike " + formatNumber(fault.strike, 1) + "\xc2\xb0";
  marks.push_back(head);
  const Box shaft = markBox(marks[marks.size() - 2]), point = markBox(head);
  parts.strikeArrow = {std::min(shaft.x0, point.x0), std::min(shaft.y0, point.y0), std::max(shaft.x1, point.x1),
                       std::max(shaft.y1, point.y1)};
}


// An arrow from `from` along (dx, dy) figure units, black on a thin white halo.
}  // namespace

void displacementArrow(Point from, double dx, double dy, std::vector<Mark>& marks, const std::string& tooltip) {
  const double length = std::hypot(dx, dy);
  if (!(length > 0.5)) return;
  const Point d{dx / length, dy / length};
  const double head = std::min(6.0, 0.45 * length);
  const Point tip{from.x + dx, from.y + dy};
  const Point base{tip.x - d.x * head, tip.y - d.y * head};
  marks.push_back(lineMark({from, base}, kPaper, 3.2));
  marks.push_back(lineMark({from, base}, kInk, 1.4));
  Mark point;
  point.kind = MarkKind::Polygon;
  point.points = {tip, {base.x - d.y * head * 0.5, base.y + d.x * head * 0.5}, {base.x + d.y * head * 0.5, base.y - d.x * head * 0.5}};
  point.fill = kInk;
  point.stroke = kPaper;
  point.strokeWidth = 0.6;
  point.tooltip = tooltip;
  marks.push_back(point);
}

Mark disc(Point at, double r, Colour fill) {
  Mark m;
  m.kind = MarkKind::Polygon;
  for (int k = 0; k < 12; ++k) {
    const double a = k * 30.0 * kDegree;
    m.points.push_back({at.x + r * std::cos(a), at.y + r * std::sin(a)});
  }
  m.fill = fill;
  m.stroke = kInk;
  m.strokeWidth = 0.6;
  return m;
}

namespace {

// Each station in the frame: its horizontal displacement as an arrow, its
// vertical as a disc (red up, blue down, area by size).
void stations(const std::vector<Station>& given, const Projection& pr, double reference, const Box& frame,
              FigureParts& parts, std::vector<Mark>& marks) {
  double horizontal = 0.0, vertical = 0.0;
  for (const Station& s : given) {
    horizontal = std::max(horizontal, std::hypot(s.east, s.north));
    vertical = std::max(vertical, std::fabs(s.up));
  }
  const double perMetre = horizontal > 0.0 ? 0.12 * frame.width() / horizontal : 0.0;
  for (const Station& s : given) {
    const Point at = pr.at({reference + std::remainder(s.lon - reference, 360.0), s.lat});
    if (!(at.x >= frame.x0 && at.x <= frame.x1 && at.y >= frame.y0 && at.y <= frame.y1)) continue;
    const std::string tip = s.name + ": east " + formatNumber(s.east, 3) + " m, north " + formatNumber(s.north, 3) +
                            " m, up " + formatNumber(s.up, 3) + " m";
    if (vertical > 0.0 && s.up != 0.0) {
      Mark d = disc(at, std::max(1.5, 6.0 * std::sqrt(std::fabs(s.up) / vertical)), s.up > 0.0 ? kUplift : kSubsidence);
      d.tooltip = tip;
      marks.push_back(d);
    }
    displacementArrow(at, s.east * perMetre, -s.north * perMetre, marks, tip);
  }
  // The key goes in the legend: a reference arrow of a round length and the largest vertical.
  parts.referenceMetres = horizontal > 0.0 ? roundDown(horizontal) : 0.0;
  parts.referenceLength = parts.referenceMetres * perMetre;
  parts.largestVertical = vertical;
}

}  // namespace

MapPlan planMap(const ReportData& data, const FigureOptions& options) {
  MapPlan plan;
  double reference = 0.0;
  bool found = false;
  for (int iw = 1; iw <= kDataRows && !found; ++iw) {
    for (int il = 1; il <= kDataColumns && !found; ++il) {
      if (const Place p = position(data, il, iw, 0.0)) {
        reference = p->x;
        found = true;
      }
    }
  }
  if (!found) return plan;
  plan.reference = reference;
  const Centres centres(data, reference);
  double latitudes = 0.0;
  for (int iw = 1; iw <= kDataRows; ++iw) {
    for (int il = 1; il <= kDataColumns; ++il) {
      const Place& p = centres.given(il, iw);
      if (!p) continue;
      plan.centres.push_back(*p);
      plan.centreCells.push_back({il, iw});
      latitudes += p->y;
      const Place c[4] = {corner(centres, il - 1, iw - 1), corner(centres, il, iw - 1), corner(centres, il, iw),
                          corner(centres, il - 1, iw)};
      if (c[0] && c[1] && c[2] && c[3]) plan.patches.push_back({il, iw, {*c[0], *c[1], *c[2], *c[3]}});
    }
  }
  plan.shrink = std::max(std::cos(latitudes / static_cast<double>(plan.centres.size()) * kDegree), 0.05);
  std::vector<Point> extent = plan.centres;
  for (const MapPatch& p : plan.patches) extent.insert(extent.end(), std::begin(p.corners), std::end(p.corners));
  if (options.outline) {
    for (const Point& c : options.outline->corners) {
      if (std::isfinite(c.x) && std::fabs(c.y) <= 90.0) extent.push_back({reference + std::remainder(c.x - reference, 360.0), c.y});
    }
  }
  plan.west = plan.east = extent[0].x;
  plan.south = plan.north = extent[0].y;
  for (const Point& p : extent) {
    plan.west = std::min(plan.west, p.x);
    plan.east = std::max(plan.east, p.x);
    plan.south = std::min(plan.south, p.y);
    plan.north = std::max(plan.north, p.y);
  }
  // Positions that do not spread show as one point in about 2 km around it.
  const double spread = std::max((plan.east - plan.west) * plan.shrink, plan.north - plan.south);
  plan.collapsed = !(spread > 1e-7);
  const double least = 0.02;
  const double padX = std::max(0.04 * (plan.east - plan.west), spread < least ? least / plan.shrink / 2 : 0.0);
  const double padY = std::max(0.04 * (plan.north - plan.south), spread < least ? least / 2 : 0.0);
  plan.west -= padX;
  plan.east += padX;
  plan.south -= padY;
  plan.north += padY;
  return plan;
}

double mapLabelWidth(const MapPlan& plan) {
  double widest = textWidth("-00.0", kTickText);
  const std::vector<double> lats = axisTicks(plan.south, plan.north, 8);
  for (const std::string& label : tickLabels(lats)) widest = std::max(widest, textWidth(label, kTickText));
  return widest;
}

void layoutMapView(const MapPlan& plan, const ReportData& data, const Summary& summary, const FigureOptions& options,
                   FigureParts& parts, TextRoom& room, std::vector<Mark>& marks) {
  const Box& frame = parts.map;
  const Projection pr = projectionFor(plan, frame);
  auto colourOf = [&](int il, int iw) {
    return data.has(report::kSlip, il, iw)
               ? slipColour(data.value(report::kSlip, il, iw), summary.scaleLow(), summary.scaleHigh())
               : kNoValueColour;
  };
  for (const MapPatch& p : plan.patches) {
    Mark patch;
    patch.kind = MarkKind::Polygon;
    for (const Point& c : p.corners) patch.points.push_back(pr.at(c));
    patch.fill = colourOf(p.il, p.iw);
    patch.stroke = patch.fill;  // closes the hairline seams between neighbours
    patch.strokeWidth = 0.4;
    patch.tooltip = cellTooltip(data, p.il, p.iw);
    marks.push_back(patch);
  }
  if (plan.collapsed) {
    // Every subfault at one place: one mark there, in the colour of the largest slip.
    const Point at = pr.at(plan.centres[0]);
    Mark dot = rectMark(at.x - 5.0, at.y - 5.0, 10.0, 10.0,
                        summary.hasSlip ? colourOf(summary.maxCell.il, summary.maxCell.iw) : kNoValueColour);
    dot.stroke = kInk;
    dot.strokeWidth = 1.0;
    dot.tooltip = cellTooltip(data, plan.centreCells[0].il, plan.centreCells[0].iw);
    marks.push_back(dot);
    room.taken.push_back(markBox(dot));
    const std::vector<std::string> lines = wrapText("every subfault at one position", kTickText, false, frame.width() - 40.0);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      placeText(textMark({frame.x0 + 6.0, frame.y0 + 16.0 + 13.0 * static_cast<double>(i)}, lines[i], kTickText,
                         Anchor::Start),
                room, marks);
    }
  }
  Ink ink;
  for (const MapPatch& p : plan.patches) {
    for (const Point& c : p.corners) ink.points.push_back(pr.at(c));
  }
  if (options.outline) outline(*options.outline, pr, plan.reference, parts, ink, marks);
  std::vector<Box> keepOut;
  if (!parts.strikeArrow.empty()) keepOut.push_back(parts.strikeArrow);
  if (summary.hasEpicentre) {
    const CellIndex e = summary.epicentre;
    for (std::size_t i = 0; i < plan.centres.size(); ++i) {
      if (plan.centreCells[i].il != e.il || plan.centreCells[i].iw != e.iw) continue;
      marks.push_back(starMark(pr.at(plan.centres[i]), 7.0));
      keepOut.push_back(markBox(marks.back()));
    }
  }
  if (!options.stations.empty()) stations(options.stations, pr, plan.reference, frame, parts, marks);
  scaleBar(pr, frame, ink, keepOut, parts, room, marks);
  keepOut.push_back(parts.scaleBar);
  northArrow(frame, ink, keepOut, parts, room, marks);
  Mark border = rectMark(frame.x0, frame.y0, frame.width(), frame.height(), std::nullopt);
  border.stroke = kInk;
  border.strokeWidth = 1.0;
  marks.push_back(border);
  mapAxes(pr, frame, room, marks);
}

}  // namespace slip::map
