#include "map/svg_writer.h"

#include <array>
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

void num(std::string& out, double v) { appendNumber(out, v, 2); }

void colour(std::string& out, const std::optional<Colour>& c) {
  if (!c) {
    out += "none";
    return;
  }
  const char* hex = "0123456789abcdef";
  const char text[7] = {'#', hex[c->r >> 4], hex[c->r & 15], hex[c->g >> 4], hex[c->g & 15], hex[c->b >> 4], hex[c->b & 15]};
  out.append(text, sizeof text);
}

// `name="` then the number and a closing quote, `name` beginning with its blank.
void attribute(std::string& out, std::string_view name, double v) {
  out += name;
  out += "=\"";
  num(out, v);
  out += '"';
}

void paint(std::string& out, const Mark& m) {
  out += " fill=\"";
  colour(out, m.fill);
  out += '"';
  if (m.stroke) {
    out += " stroke=\"";
    colour(out, m.stroke);
    out += '"';
    attribute(out, " stroke-width", m.strokeWidth);
    if (m.dash > 0.0) {
      out += " stroke-dasharray=\"";
      num(out, m.dash);
      out += ',';
      num(out, m.dash * 0.6);
      out += '"';
    }
  }
}

void pointList(std::string& out, const std::vector<Point>& points) {
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i != 0) out += ' ';
    num(out, points[i].x);
    out += ',';
    num(out, points[i].y);
  }
}

// A vertical linear gradient through the mark's colours, top down, as `id`.
void gradientDefinition(std::string& out, const Mark& m, int id) {
  out += "<defs><linearGradient id=\"scale";
  out += std::to_string(id);
  out += "\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">";
  const std::size_t n = m.gradient.size();
  for (std::size_t i = 0; i < n; ++i) {
    const double offset = n > 1 ? static_cast<double>(i) / static_cast<double>(n - 1) : 0.0;
    out += "<stop offset=\"";
    appendNumber(out, offset, 4);
    out += "\" stop-color=\"";
    colour(out, m.gradient[i]);
    out += "\"/>";
  }
  out += "</linearGradient></defs>\n";
}

void rectangle(std::string& out, const Mark& m) {
  attribute(out, "rect x", m.points[0].x);
  attribute(out, " y", m.points[0].y);
  attribute(out, " width", m.points[1].x);
  attribute(out, " height", m.points[1].y);
}

// The element's name and attributes; `gradient` the number of a gradient's definition.
void element(std::string& out, const Mark& m, int gradient) {
  switch (m.kind) {
    case MarkKind::Gradient:
      rectangle(out, m);
      out += " fill=\"url(#scale";
      out += std::to_string(gradient);
      out += ")\"";
      return;
    case MarkKind::Rect:
      rectangle(out, m);
      paint(out, m);
      return;
    case MarkKind::Polygon:
    case MarkKind::Polyline:
      out += m.kind == MarkKind::Polygon ? "polygon points=\"" : "polyline points=\"";
      pointList(out, m.points);
      out += '"';
      paint(out, m);
      return;
    case MarkKind::Text: break;
  }
  const char* anchors[] = {"start", "middle", "end"};
  attribute(out, "text x", m.points[0].x);
  attribute(out, " y", m.points[0].y);
  attribute(out, " font-size", m.fontSize);
  out += " text-anchor=\"";
  out += anchors[static_cast<int>(m.anchor)];
  out += '"';
  if (m.bold) out += " font-weight=\"bold\"";
  if (m.rotation != 0.0) {
    out += " transform=\"rotate(";
    num(out, m.rotation);
    out += ' ';
    num(out, m.points[0].x);
    out += ' ';
    num(out, m.points[0].y);
    out += ")\"";
  }
  paint(out, m);
}

const char* tagName(MarkKind kind) {
  switch (kind) {
    case MarkKind::Rect:
    case MarkKind::Gradient: return "rect";
    case MarkKind::Polygon: return "polygon";
    case MarkKind::Polyline: return "polyline";
    case MarkKind::Text: break;
  }
  return "text";
}

// An upper bound, or near one, of the bytes a mark takes.
std::size_t markBytes(const Mark& m) {
  return 160 + 16 * m.points.size() + 60 * m.gradient.size() + 2 * (m.text.size() + m.tooltip.size());
}

// Whether byte c needs more than copying: markup, a control character other
// than tab and line feed, DEL, or any byte of a multibyte sequence.
constexpr std::array<bool, 256> makeSpecial() {
  std::array<bool, 256> special{};
  for (int c = 0; c < 256; ++c) special[static_cast<std::size_t>(c)] = (c < 0x20 && c != '\t' && c != '\n') || c >= 0x7f;
  for (char c : {'&', '<', '>', '"'}) special[static_cast<unsigned char>(c)] = true;
  return special;
}
constexpr std::array<bool, 256> kSpecial = makeSpecial();

}  // namespace

void appendXmlText(std::string& out, std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t plain = i;
    while (plain < text.size() && !kSpecial[static_cast<unsigned char>(text[plain])]) ++plain;
    out.append(text.data() + i, plain - i);
    i = plain;
    if (i == text.size()) break;
    const char c = text[i];
    const std::size_t n = utf8Length(text, i);
    if (n == 0 || n == 1) {  // a control character, DEL or a byte of no valid sequence
      switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += '?';
      }
      ++i;
      continue;
    }
    out.append(text.data() + i, n);
    i += n;
  }
}

std::string xmlText(std::string_view text) {
  std::string out;
  appendXmlText(out, text);
  return out;
}

std::string writeSvg(const Figure& figure) {
  const double ratio = figure.width > 0.0 ? figure.height / figure.width : 1.0;
  const long long pixelHeight = std::llround(figure.pixelWidth * ratio);
  std::size_t bytes = 512 + figure.title.size();
  for (const Mark& m : figure.marks) bytes += markBytes(m);
  std::string svg;
  svg.reserve(bytes);
  svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
  svg += std::to_string(figure.pixelWidth);
  svg += "\" height=\"";
  svg += std::to_string(pixelHeight);
  svg += "\" viewBox=\"0 0 ";
  num(svg, figure.width);
  svg += ' ';
  num(svg, figure.height);
  svg += "\" style=\"max-width:100%;height:auto\" font-family=\"sans-serif\">\n<title>";
  appendXmlText(svg, figure.title);
  svg += "</title>\n<rect x=\"0\" y=\"0\"";
  attribute(svg, " width", figure.width);
  attribute(svg, " height", figure.height);
  svg += " fill=\"#ffffff\"/>\n";
  int gradients = 0;
  for (const Mark& m : figure.marks) {
    if (m.kind == MarkKind::Gradient) gradientDefinition(svg, m, ++gradients);
    svg += '<';
    element(svg, m, gradients);
    const bool hasText = m.kind == MarkKind::Text;
    if (!hasText && m.tooltip.empty()) {
      svg += "/>\n";
      continue;
    }
    svg += '>';
    if (!m.tooltip.empty()) {
      svg += "<title>";
      appendXmlText(svg, m.tooltip);
      svg += "</title>";
    }
    if (hasText) appendXmlText(svg, m.text);
    svg += "</";
    svg += tagName(m.kind);
    svg += ">\n";
  }
  svg += "</svg>\n";
  return svg;
}

}  // namespace slip::map
