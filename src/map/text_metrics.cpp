#include "map/text_metrics.h"

#include <algorithm>
#include <cmath>

namespace slip::map {
namespace {

// Advance widths in thousandths of an em, from ' ' (32) to '~' (126).
constexpr short kAdvance[95] = {
    318, 401, 460, 838, 636, 950, 780, 275, 390, 390, 500, 838, 318, 361, 318, 337,  // ' '..'/'
    636, 636, 636, 636, 636, 636, 636, 636, 636, 636, 337, 337, 838, 838, 838, 531,  // '0'..'?'
    1000, 684, 686, 698, 770, 632, 575, 775, 752, 295, 295, 656, 557, 863, 748, 787,  // '@'..'O'
    603, 787, 695, 635, 611, 732, 684, 989, 685, 611, 685, 390, 337, 390, 838, 500,  // 'P'..'_'
    500, 613, 635, 550, 635, 615, 352, 635, 634, 278, 278, 579, 278, 974, 634, 612,  // '`'..'o'
    635, 635, 411, 521, 392, 634, 592, 818, 592, 592, 525, 636, 337, 636, 838,       // 'p'..'~'
};

double advance(unsigned char c) {
  if (c >= 32 && c < 127) return kAdvance[c - 32] / 1000.0;
  return 1.0;  // a character beyond ASCII (an em dash, a degree sign): at most an em
}

}  // namespace

double textWidth(std::string_view text, double size, bool bold) {
  double ems = 0.0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte: counted with its lead
    ems += advance(c);
  }
  return ems * size * (bold ? 1.1 : 1.0);
}

Box markBox(const Mark& mark) {
  if (mark.kind == MarkKind::Text) {
    const double w = textWidth(mark.text, mark.fontSize, mark.bold);
    const double start = mark.anchor == Anchor::Start ? 0.0 : mark.anchor == Anchor::Middle ? -w / 2 : -w;
    const double a = mark.rotation * 3.14159265358979323846 / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    Box box{1e300, 1e300, -1e300, -1e300};
    for (double u : {start, start + w}) {
      for (double v : {-0.8 * mark.fontSize, 0.24 * mark.fontSize}) {
        const double x = mark.points[0].x + u * c - v * s;
        const double y = mark.points[0].y + u * s + v * c;
        box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x), std::max(box.y1, y)};
      }
    }
    return box;
  }
  if (mark.kind == MarkKind::Rect || mark.kind == MarkKind::Gradient) {
    const Point at = mark.points[0], size = mark.points[1];
    const double h = mark.stroke ? mark.strokeWidth / 2 : 0.0;
    return {at.x - h, at.y - h, at.x + size.x + h, at.y + size.y + h};
  }
  Box box{1e300, 1e300, -1e300, -1e300};
  for (const Point& p : mark.points) box = {std::min(box.x0, p.x), std::min(box.y0, p.y), std::max(box.x1, p.x), std::max(box.y1, p.y)};
  const double h = mark.stroke ? mark.strokeWidth / 2 : 0.0;
  return {box.x0 - h, box.y0 - h, box.x1 + h, box.y1 + h};
}

std::vector<std::string> wrapText(std::string_view text, double size, bool bold, double width) {
  // Widths summed in ems, character by character as textWidth sums them, so
  // that a line fits here exactly when textWidth says it does; each byte is
  // looked at a bounded number of times, whatever the words' lengths.
  const double scale = size * (bold ? 1.1 : 1.0);
  std::vector<std::string> lines(1);
  double lineEms = 0.0;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find(' ', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view word = text.substr(at, end - at);
    at = end + 1;
    if (word.empty()) continue;
    double joined = lines.back().empty() ? 0.0 : lineEms + advance(' ');
    for (char c : word) {
      if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) joined += advance(static_cast<unsigned char>(c));
    }
    if (joined * scale <= width) {
      if (!lines.back().empty()) lines.back() += ' ';
      lines.back() += word;
      lineEms = joined;
      continue;
    }
    if (!lines.back().empty()) lines.emplace_back();
    // A word wider than a line: as much as fits on each, at least one
    // character, whole UTF-8 sequences only.
    std::size_t start = 0;
    double ems = 0.0;
    for (std::size_t i = 0; i < word.size(); ++i) {
      const auto c = static_cast<unsigned char>(word[i]);
      if ((c & 0xC0) == 0x80) continue;
      if ((ems + advance(c)) * scale > width && i > start) {
        lines.back() = word.substr(start, i - start);
        lines.emplace_back();
        start = i;
        ems = 0.0;
      }
      ems += advance(c);
    }
    lines.back() = word.substr(start);
    lineEms = ems;
  }
  return lines;
}

}  // namespace slip::map
