// The moment-rate panel: a function of time given by the caller, drawn as a
// filled curve on its own axes below the two views.
#include <algorithm>
#include <cmath>

#include "map/layout_parts.h"
#include "map/nice_ticks.h"
#include "map/number_text.h"
#include "map/text_metrics.h"

namespace slip::map {
namespace {

// An integer in superscript digits: "19" -> "¹⁹".
std::string superscript(const std::string& digits) {
  static const char* const kDigits[10] = {"\xe2\x81\xb0", "\xc2\xb9", "\xc2\xb2", "\xc2\xb3", "\xe2\x81\xb4",
                                          "\xe2\x81\xb5", "\xe2\x81\xb6", "\xe2\x81\xb7", "\xe2\x81\xb8", "\xe2\x81\xb9"};
  std::string text;
  for (char c : digits) text += c == '-' ? "\xe2\x81\xbb" : c >= '0' && c <= '9' ? kDigits[c - '0'] : std::string(1, c);
  return text;
}

}  // namespace

void layoutMomentPanel(const MomentPanel& panel, const FigureParts& parts, TextRoom& room, std::vector<Mark>& marks) {
  const Box& axes = parts.moment;
  double t0 = HUGE_VAL, t1 = -HUGE_VAL, top = 0.0;
  for (std::size_t i = 0; i < panel.times.size(); ++i) {
    if (!std::isfinite(panel.times[i]) || !std::isfinite(panel.rates[i])) continue;
    t0 = std::min(t0, panel.times[i]);
    t1 = std::max(t1, panel.times[i]);
    top = std::max(top, panel.rates[i]);
  }
  if (!(t0 <= t1)) t0 = t1 = 0.0;  // no finite time
  t0 = std::min(t0, 0.0);           // the axis starts at 0 s
  if (!(t1 > t0)) t1 = t0 + 1.0;
  if (!(top > 0.0)) top = 1.0;
  auto at = [&](double t, double rate) {
    return Point{axes.x0 + axes.width() * scalePosition(t, t0, t1), axes.y1 - axes.height() * scalePosition(rate, 0.0, top)};
  };
  Mark area;
  area.kind = MarkKind::Polygon;
  area.points.push_back(at(t0, 0.0));
  for (std::size_t i = 0; i < panel.times.size(); ++i) {
    if (std::isfinite(panel.times[i]) && std::isfinite(panel.rates[i])) area.points.push_back(at(panel.times[i], panel.rates[i]));
  }
  area.points.push_back(at(t1, 0.0));
  area.fill = scaleColour(0.75);
  area.stroke = kInk;
  area.strokeWidth = 1.2;
  marks.push_back(area);
  Mark frame = rectMark(axes.x0, axes.y0, axes.width(), axes.height(), std::nullopt);
  frame.stroke = kInk;
  frame.strokeWidth = 1.0;
  marks.push_back(frame);

  const std::vector<double> times = axisTicks(t0, t1, std::max(2, static_cast<int>(axes.width() / 60.0)));
  const std::vector<std::string> timeLabels = tickLabels(times);
  for (std::size_t i = 0; i < times.size(); ++i) {
    const double x = at(times[i], 0.0).x;
    if (placeText(textMark({x, axes.y1 + 15.0}, timeLabels[i], kTickText, Anchor::Middle), room, marks, 3.0)) {
      marks.push_back(lineMark({{x, axes.y1}, {x, axes.y1 + 4.0}}, kInk, 1.0));
    }
  }
  // Rates in units of one power of ten, said once at the axis's top.
  const std::vector<double> rates = axisTicks(0.0, top, std::max(2, static_cast<int>(axes.height() / 25.0)));
  const double power = rates.size() > 1 ? std::floor(std::log10(rates.back())) : 0.0;
  const double unit = std::pow(10.0, power);
  std::vector<double> scaled;
  for (double r : rates) scaled.push_back(r / unit);
  const std::vector<std::string> rateLabels = tickLabels(scaled);
  for (std::size_t i = 0; i < rates.size(); ++i) {
    const double y = at(t0, rates[i]).y;
    if (placeText(textMark({axes.x0 - 6.0, y + 3.5}, rateLabels[i], kTickText, Anchor::End), room, marks, 1.0)) {
      marks.push_back(lineMark({{axes.x0 - 4.0, y}, {axes.x0, y}}, kInk, 1.0));
    }
  }
  if (power != 0.0) {
    placeText(textMark({axes.x0 + 4.0, axes.y0 + 13.0}, "\xc3\x97" "10" + superscript(formatNumber(power, 0)) + " N\xc2\xb7m/s",
                       kTickText, Anchor::Start),
              room, marks, 1.0);
  }
  // T5, the centroid and T95: a dashed line up to the curve, its value above.
  for (const MomentPanel::Marker& m : panel.markers) {
    if (!std::isfinite(m.time) || m.time < t0 || m.time > t1) continue;
    double rate = 0.0;
    for (std::size_t i = 1; i < panel.times.size(); ++i) {
      const double a = panel.times[i - 1], b = panel.times[i];
      if (m.time >= a && m.time <= b && b > a) {
        rate = panel.rates[i - 1] + (panel.rates[i] - panel.rates[i - 1]) * (m.time - a) / (b - a);
        break;
      }
    }
    const Point foot = at(m.time, 0.0), onCurve = at(m.time, std::isfinite(rate) ? rate : 0.0);
    Mark line = lineMark({foot, onCurve}, kInk, 1.0);
    line.dash = 3.0;
    marks.push_back(line);
    marks.push_back(rectMark(onCurve.x - 2.0, onCurve.y - 2.0, 4.0, 4.0, kInk));
    const std::string label = m.label + " " + formatNumber(m.time, 1) + " s";
    const Mark places[] = {textMark({onCurve.x, onCurve.y - 6.0}, label, kTickText, Anchor::Middle),
                           textMark({onCurve.x, onCurve.y - 18.0}, label, kTickText, Anchor::Middle),
                           textMark({onCurve.x + 5.0, onCurve.y + 14.0}, label, kTickText, Anchor::Start),
                           textMark({onCurve.x - 5.0, onCurve.y + 14.0}, label, kTickText, Anchor::End)};
    for (const Mark& place : places) {
      if (placeText(place, room, marks, 1.0)) break;
    }
  }
  placeText(textMark({(axes.x0 + axes.x1) / 2, axes.y1 + 32.0}, "Time (s)", kAxisText, Anchor::Middle), room, marks);
}

}  // namespace slip::map
