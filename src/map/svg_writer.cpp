#include "map/svg_writer.h"

#include <cmath>

#include "map/number_text.h"

namespace slip::map {
namespace {

// The length of the valid UTF-8 sequence at text[i], or 0.
std::size_t utf8Length(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char c = byte(i);
  std::size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
  if (n == 0 || i + n > text.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  }
  if (n == 2 && c < 0xC2) return 0;                           // overlong
  if (n == 3 && c == 0xE0 && byte(i + 1) < 0xA0) return 0;    // overlong
  if (n == 3 && c == 0xED && byte(i + 1) >= 0xA0) return 0;   // surrogate
  if (n == 4 && c == 0xF0 && byte(i + 1) < 0x90) return 0;    // overlong
  if (n == 4 && (c > 0xF4 || (c == 0xF4 && byte(i + 1) >= 0x90))) return 0;  // beyond U+10FFFF
  return n;
}

std::string num(double v) { return formatNumber(v, 2); }

std::string colour(const std::optional<Colour>& c) {
  if (!c) return "none";
  const char* hex = "0123456789abcdef";
  std::string text = "#";
  for (std::uint8_t v : {c->r, c->g, c->b}) {
    text += hex[v >> 4];
    text += hex[v & 15];
  }
  return text;
}

std::string paint(const Mark& m) {
  std::string text = " fill=\"" + colour(m.fill) + "\"";
  if (m.stroke) {
    text += " stroke=\"" + colour(m.stroke) + "\" stroke-width=\"" + num(m.strokeWidth) + "\"";
    if (m.dash > 0.0) text += " stroke-dasharray=\"" + num(m.dash) + "," + num(m.dash * 0.6) + "\"";
  }
  return text;
}

std::string pointList(const std::vector<Point>& points) {
  std::string text;
  for (const Point& p : points) {
    if (!text.empty()) text += ' ';
    text += num(p.x) + "," + num(p.y);
  }
  return text;
}

// A vertical linear gradient through the mark's colours, top down.
std::string gradientDefinition(const Mark& m, const std::string& id) {
  std::string text = "<defs><linearGradient id=\"" + id + "\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">";
  const std::size_t n = m.gradient.size();
  for (std::size_t i = 0; i < n; ++i) {
    const double offset = n > 1 ? static_cast<double>(i) / static_cast<double>(n - 1) : 0.0;
    text += "<stop offset=\"" + formatNumber(offset, 4) + "\" stop-color=\"" + colour(m.gradient[i]) + "\"/>";
  }
  return text + "</linearGradient></defs>\n";
}

std::string element(const Mark& m, const std::string& gradientId) {
  switch (m.kind) {
    case MarkKind::Gradient:
      return "rect x=\"" + num(m.points[0].x) + "\" y=\"" + num(m.points[0].y) + "\" width=\"" + num(m.points[1].x) +
             "\" height=\"" + num(m.points[1].y) + "\" fill=\"url(#" + gradientId + ")\"";
    case MarkKind::Rect:
      return "rect x=\"" + num(m.points[0].x) + "\" y=\"" + num(m.points[0].y) + "\" width=\"" + num(m.points[1].x) +
             "\" height=\"" + num(m.points[1].y) + "\"" + paint(m);
    case MarkKind::Polygon: return "polygon points=\"" + pointList(m.points) + "\"" + paint(m);
    case MarkKind::Polyline: return "polyline points=\"" + pointList(m.points) + "\"" + paint(m);
    case MarkKind::Text: break;
  }
  const char* anchors[] = {"start", "middle", "end"};
  std::string text = "text x=\"" + num(m.points[0].x) + "\" y=\"" + num(m.points[0].y) + "\" font-size=\"" +
                     num(m.fontSize) + "\" text-anchor=\"" + anchors[static_cast<int>(m.anchor)] + "\"";
  if (m.bold) text += " font-weight=\"bold\"";
  if (m.rotation != 0.0) {
    text += " transform=\"rotate(" + num(m.rotation) + " " + num(m.points[0].x) + " " + num(m.points[0].y) + ")\"";
  }
  return text + paint(m);
}

std::string tagName(MarkKind kind) {
  switch (kind) {
    case MarkKind::Rect:
    case MarkKind::Gradient: return "rect";
    case MarkKind::Polygon: return "polygon";
    case MarkKind::Polyline: return "polyline";
    case MarkKind::Text: break;
  }
  return "text";
}

}  // namespace

std::string xmlText(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    const std::size_t n = utf8Length(text, i);
    if (n == 0 || (n == 1 && static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') || c == 0x7f) {
      out += '?';
      ++i;
      continue;
    }
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out.append(text.substr(i, n));
    }
    i += n;
  }
  return out;
}

std::string writeSvg(const Figure& figure) {
  const double ratio = figure.width > 0.0 ? figure.height / figure.width : 1.0;
  const long long pixelHeight = std::llround(figure.pixelWidth * ratio);
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + std::to_string(figure.pixelWidth) +
         "\" height=\"" + std::to_string(pixelHeight) + "\" viewBox=\"0 0 " + num(figure.width) + " " +
         num(figure.height) + "\" style=\"max-width:100%;height:auto\" font-family=\"sans-serif\">\n";
  svg += "<title>" + xmlText(figure.title) + "</title>\n";
  svg += "<rect x=\"0\" y=\"0\" width=\"" + num(figure.width) + "\" height=\"" + num(figure.height) +
         "\" fill=\"#ffffff\"/>\n";
  int gradients = 0;
  for (const Mark& m : figure.marks) {
    std::string gradientId;
    if (m.kind == MarkKind::Gradient) {
      gradientId = "scale" + std::to_string(++gradients);
      svg += gradientDefinition(m, gradientId);
    }
    svg += "<" + element(m, gradientId);
    const bool hasText = m.kind == MarkKind::Text;
    if (!hasText && m.tooltip.empty()) {
      svg += "/>\n";
      continue;
    }
    svg += ">";
    if (!m.tooltip.empty()) svg += "<title>" + xmlText(m.tooltip) + "</title>";
    if (hasText) svg += xmlText(m.text);
    svg += "</" + tagName(m.kind) + ">\n";
  }
  return svg + "</svg>\n";
}

}  // namespace slip::map
