// The moment-rate panel: a function of time given by the caller, drawn as a
// filled curve on its own axes below the two views.
#include <algorithm>
#include <cmath>

#include "map/layout_parts.h"
#include "map/nice_ticks.h"
#include "map/number_text.h"
#include "map/text_metrics.h"

namespace slip::map {

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
  const std::vector<double> rates = axisTicks(0.0, top, std::max(2, static_cast<int>(axes.height() / 25.0)));
  const std::vector<std::string> rateLabels = tickLabels(rates);
  for (std::size_t i = 0; i < rates.size(); ++i) {
    const double y = at(t0, rates[i]).y;
    if (placeText(textMark({axes.x0 - 6.0, y + 3.5}, rateLabels[i], kTickText, Anchor::End), room, marks, 1.0)) {
      marks.push_back(lineMark({{axes.x0 - 4.0, y}, {axes.x0, y}}, kInk, 1.0));
    }
  }
  placeText(textMark({(axes.x0 + axes.x1) / 2, axes.y1 + 32.0}, "Time (s)", kAxisText, Anchor::Middle), room, marks);
}

}  // namespace slip::map
