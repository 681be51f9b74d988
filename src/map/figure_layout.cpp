#include "map/figure_layout.h"

#include <algorithm>
#include <cmath>

#include "map/layout_parts.h"
#include "map/nice_ticks.h"
#include "map/number_text.h"
#include "map/text_metrics.h"

namespace slip::map {
namespace {

using report::kDataColumns;
using report::kDataRows;

constexpr double kDegree = 3.14159265358979323846 / 180.0;
constexpr double kMargin = 8.0;
constexpr char kDash[] = " \xe2\x80\x94 ";

template <typename Visit>
void eachCell(Visit visit) {
  for (int iw = 1; iw <= kDataRows; ++iw) {
    for (int il = 1; il <= kDataColumns; ++il) visit(il, iw);
  }
}

void summarizeSlip(const ReportData& data, Summary& s) {
  eachCell([&](int il, int iw) {
    if (!data.has(report::kSlip, il, iw)) {
      s.missingSlip = true;
      return;
    }
    const double slip = data.value(report::kSlip, il, iw);
    if (!s.hasSlip || slip > s.maxSlip) {
      s.maxSlip = slip;
      s.maxCell = {il, iw};
    }
    if (!s.hasSlip || slip < s.minSlip) s.minSlip = slip;
    s.hasSlip = true;
  });
  // Weights relative to the largest size, so that any finite slips sum; a
  // negative slip is a slip of its size against its rake.
  const double largest = std::max(std::fabs(s.maxSlip), std::fabs(s.minSlip));
  double east = 0.0, north = 0.0;
  eachCell([&](int il, int iw) {
    if (!data.has(report::kSlip, il, iw) || !data.has(report::kRake, il, iw)) return;
    const double weight = data.value(report::kSlip, il, iw) / largest;
    if (!(std::fabs(weight) > 0.0)) return;  // no slip, or none in the whole report
    const double rake = data.value(report::kRake, il, iw) * kDegree;
    east += weight * std::cos(rake);
    north += weight * std::sin(rake);
    s.hasRake = true;
  });
  if (s.hasRake) s.meanRake = std::atan2(north, east) / kDegree;
  if (s.meanRake <= -180.0) s.meanRake = 180.0;
}

// The title's parts: the name, then the summary, each kept whole on a line
// when it fits.
std::vector<std::string> titleParts(const FigureOptions& options, const Summary& s) {
  std::vector<std::string> parts{options.title.empty() ? options.name : options.title};
  const report::SectionShape& slip = report::kSections[report::kSlip];
  if (!s.hasSlip) {
    parts.push_back("no slip values");
    return parts;
  }
  parts.push_back("largest slip " + printedValue(s.maxSlip, slip.width, slip.decimals) + " m at W " +
                  std::to_string(s.maxCell.iw) + ", L " + std::to_string(s.maxCell.il));
  if (s.minSlip < 0.0) {
    parts.push_back("negative slips: the scale starts at " + printedValue(s.minSlip, slip.width, slip.decimals) + " m");
  }
  if (s.hasRake) parts.push_back("mean rake " + formatNumber(s.meanRake, 1) + "\xc2\xb0");
  return parts;
}

// The title in lines no wider than `width`: the name on at most two (cut
// with an ellipsis beyond), the summary's parts after it, each whole.
std::vector<std::string> titleLines(const std::vector<std::string>& parts, double width) {
  auto fits = [&](const std::string& text) { return textWidth(text, kTitleText, true) <= width; };
  std::vector<std::string> lines = wrapText(parts[0], kTitleText, true, width);
  if (lines.size() > 2) {
    lines.resize(2);
    while (!lines[1].empty() && !fits(lines[1] + "\xe2\x80\xa6")) {
      lines[1].pop_back();
      while (!lines[1].empty() && (static_cast<unsigned char>(lines[1].back()) & 0xC0) == 0x80) lines[1].pop_back();
      if (!lines[1].empty() && (static_cast<unsigned char>(lines[1].back()) & 0xC0) == 0xC0) lines[1].pop_back();
    }
    lines[1] += "\xe2\x80\xa6";
  }
  for (std::size_t i = 1; i < parts.size(); ++i) {
    const std::string joined = lines.back().empty() ? parts[i] : lines.back() + kDash + parts[i];
    if (fits(joined)) {
      lines.back() = joined;
      continue;
    }
    for (const std::string& line : wrapText(parts[i], kTitleText, true, width)) lines.push_back(line);
  }
  return lines;
}

double ceilTo(double v, double step) { return std::ceil(v / step) * step; }

// The distance from the epicentre is measured in the fault's plane, so the
// second difference of its square is 2 Dx^2 from column to column and
// 2 Dz^2 from row to row, wherever the epicentre lies: the spacing as the
// model gives it, read back from the report alone. 0 when the report gives
// too few distances or they do not fit a regular grid.
double spacingFrom(const ReportData& data, bool alongStrike) {
  double sum = 0.0;
  int count = 0;
  eachCell([&](int il, int iw) {
    const int l0 = alongStrike ? il - 1 : il, w0 = alongStrike ? iw : iw - 1;
    const int l1 = alongStrike ? il + 1 : il, w1 = alongStrike ? iw : iw + 1;
    if (l0 < 1 || w0 < 1 || l1 > kDataColumns || w1 > kDataRows) return;
    if (!data.has(report::kDistance, l0, w0) || !data.has(report::kDistance, il, iw) ||
        !data.has(report::kDistance, l1, w1)) return;
    const double a = data.value(report::kDistance, l0, w0), b = data.value(report::kDistance, il, iw),
                 c = data.value(report::kDistance, l1, w1);
    sum += a * a - 2.0 * b * b + c * c;
    ++count;
  });
  const double step = count > 0 ? std::sqrt(sum / (2.0 * count)) : 0.0;
  return std::isfinite(step) && step > 0.0 ? step : 0.0;
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

// The arrangement, left to right: the plane's axis labels, the plane, the
// map's latitude labels, the map frame, the colour bar and its labels; top
// down: the title, the headings, the two views, their axis labels, the
// moment-rate panel.
Figure layoutFigure(const ReportData& data, const FigureOptions& options) {
  Figure figure;
  const double width = std::clamp(static_cast<double>(options.pixelWidth), kFigureMinWidth, kFigureMaxWidth);
  figure.width = width;
  figure.pixelWidth = options.pixelWidth;
  const Summary summary = summarize(data);
  const MapPlan map = planMap(data, options);
  FigureParts& parts = figure.parts;
  TextRoom room{{0.0, 0.0, width, 1e9}, {}};

  const double planeLeft = kMargin + kAxisText + 8.0 + textWidth("W22", kTickText) + 10.0;
  const double mapGap = map.hasPositions() ? 14.0 + mapLabelWidth(map) + 10.0 + kAxisText + 6.0 : 16.0;
  const double barColumn = 16.0 + 14.0 + 7.0 + colourBarLabelWidth(summary) + kMargin;
  const double views = width - planeLeft - mapGap - barColumn - kMargin;
  // The plane and the frame as tall as each other, the frame shaped like the
  // positions' extent when it may take between 28 and 45 hundredths.
  // Without positions the frame's room is only a note's.
  // Cells Dx by Dz, so that the plane is drawn to scale; square when the
  // spacing is not known (or absurd: more than 4 times as long one way).
  parts.dx = spacingFrom(data, true);
  parts.dz = spacingFrom(data, false);
  if (!(parts.dx > 0.0 && parts.dz > 0.0 && parts.dz / parts.dx <= 4.0 && parts.dx / parts.dz <= 4.0)) parts.dx = parts.dz = 0.0;
  const double cellShape = parts.dx > 0.0 ? parts.dz / parts.dx : 1.0;
  const double planeShape = cellShape * kDataRows / kDataColumns;
  const double mapWidth =
      map.hasPositions() ? std::clamp(views - views / (1.0 + map.aspect() * planeShape), 0.28 * views, 0.45 * views)
                         : 0.15 * views;
  const double planeWidth = views - mapWidth;
  parts.cellWidth = planeWidth / kDataColumns;
  parts.cellHeight = parts.cellWidth * cellShape;

  // The title.
  const std::vector<std::string> pieces = titleParts(options, summary);
  for (const std::string& piece : pieces) {
    if (!piece.empty()) figure.title += (figure.title.empty() ? "" : kDash) + piece;
  }
  double y = kMargin;
  for (const std::string& line : titleLines(pieces, width - planeLeft - kMargin)) {
    y += kTitleText * 1.25;
    Mark title = textMark({planeLeft, y}, line, kTitleText, Anchor::Start);
    title.bold = true;
    placeText(title, room, figure.marks, 0.0);
  }
  y += 12.0;

  // The headings above the two views and the colour bar.
  const double mapLeft = planeLeft + planeWidth + mapGap;
  const double barLeft = mapLeft + mapWidth + 16.0;
  const struct { std::string text; double left, width; } headings[] = {
      {faultPlaneHeading(summary, options), planeLeft, planeWidth},
      {"Map view: slip by position", mapLeft, mapWidth},
      {"Slip (m)", barLeft, width - barLeft - kMargin},
  };
  std::size_t headingLines = 1;
  for (const auto& h : headings) {
    const std::vector<std::string> lines = wrapText(h.text, kHeadingText, false, h.width);
    headingLines = std::max(headingLines, lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      placeText(textMark({h.left, y + kHeadingText * (1.0 + 1.25 * static_cast<double>(i))}, lines[i], kHeadingText,
                         Anchor::Start),
                room, figure.marks, 0.0);
    }
  }
  const double top = ceilTo(y + kHeadingText * 1.25 * static_cast<double>(headingLines) + 6.0, 1.0);
  const double height = parts.cellHeight * kDataRows;
  parts.plane = {planeLeft, top, planeLeft + planeWidth, top + height};
  parts.map = map.hasPositions() ? Box{mapLeft, top, mapLeft + mapWidth, top + height} : Box{};
  parts.colourBar = {barLeft, top, barLeft + 14.0, top + height};
  parts.origin = summary.hasEpicentre ? parts.cellCentre(summary.epicentre.il, summary.epicentre.iw)
                                      : Point{parts.plane.x0, parts.plane.y0};

  layoutFaultPlane(data, summary, options, parts, room, figure.marks);
  layoutColourBar(summary, parts, room, figure.marks);
  if (map.hasPositions()) {
    layoutMapView(map, data, summary, options, parts, room, figure.marks);
  } else {
    const std::vector<std::string> lines = wrapText("(the report gives no positions)", kTickText, false, mapWidth);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      placeText(textMark({mapLeft, top + 14.0 + 13.0 * static_cast<double>(i)}, lines[i], kTickText, Anchor::Start),
                room, figure.marks);
    }
  }
  layoutLegend(summary, options.outline && map.hasPositions(), parts, room, figure.marks);
  double bottom = std::max(top + height + 42.0, parts.legend.y1 + 10.0);
  if (options.moment && options.moment->times.size() >= 2 && options.moment->times.size() == options.moment->rates.size()) {
    const std::string heading = options.moment->heading.empty() ? "Moment rate (N m/s)" : options.moment->heading;
    const std::vector<std::string> lines = wrapText(heading, kHeadingText, false, mapLeft + mapWidth - planeLeft);
    for (const std::string& line : lines) {
      bottom += kHeadingText * 1.25;
      placeText(textMark({planeLeft, bottom}, line, kHeadingText, Anchor::Start), room, figure.marks, 0.0);
    }
    const double panelTop = bottom + 12.0;
    parts.moment = {planeLeft, panelTop, mapLeft + mapWidth, panelTop + std::clamp(0.15 * width, 90.0, 150.0)};
    layoutMomentPanel(*options.moment, parts, room, figure.marks);
  }

  double lowest = 0.0;
  for (const Mark& m : figure.marks) lowest = std::max(lowest, markBox(m).y1);
  std::vector<std::string> notes = options.notes;
  std::string outside;
  for (const Station& s : options.stations) {
    const double lon = map.reference + std::remainder(s.lon - map.reference, 360.0);
    if (map.hasPositions() && lon >= map.west && lon <= map.east && s.lat >= map.south && s.lat <= map.north) continue;
    outside += (outside.empty() ? "" : ", ") + s.name;
  }
  if (!outside.empty()) notes.push_back("Stations beyond the map's extent, not drawn: " + outside);
  for (const std::string& note : notes) {
    for (const std::string& line : wrapText(note, kTickText, false, width - planeLeft - kMargin)) {
      lowest += kTickText * 1.4;
      placeText(textMark({planeLeft, lowest}, line, kTickText, Anchor::Start), room, figure.marks, 0.0);
    }
  }
  figure.height = std::ceil(lowest + kMargin);
  return figure;
}

bool TextRoom::free(const Box& box, double pad) const {
  const Box padded{box.x0 - pad, box.y0 - pad, box.x1 + pad, box.y1 + pad};
  if (!within.contains(box)) return false;
  for (const Box& b : taken) {
    if (b.overlaps(padded)) return false;
  }
  return true;
}

bool placeText(const Mark& text, TextRoom& room, std::vector<Mark>& marks, double pad) {
  const Box box = markBox(text);
  if (!room.free(box, pad)) return false;
  room.taken.push_back(box);
  marks.push_back(text);
  return true;
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
