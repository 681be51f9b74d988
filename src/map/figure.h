// The figure as marks in figure units (y grows downward): what the layout
// computes and the SVG writer emits, in drawing order.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "map/colour_scale.h"

namespace slip::map {

struct Point {
  double x = 0.0;
  double y = 0.0;
};

enum class MarkKind { Rect, Polygon, Polyline, Text };
enum class Anchor { Start, Middle, End };

struct Mark {
  MarkKind kind = MarkKind::Rect;
  // Rect: the top-left corner and the size (as x, y); Polygon, Polyline:
  // the vertices; Text: the anchor point on the baseline.
  std::vector<Point> points;
  std::optional<Colour> fill;    // none: not filled
  std::optional<Colour> stroke;  // none: not stroked
  double strokeWidth = 0.0;
  double dash = 0.0;             // > 0: dashes and gaps of this length
  std::string text;              // Text: the words
  double fontSize = 0.0;
  Anchor anchor = Anchor::Start;
  bool bold = false;
  double rotation = 0.0;         // Text: degrees clockwise about the anchor
  std::string tooltip;           // shown on hover; empty for none
};

struct Figure {
  double width = 0.0;   // figure units, the SVG's viewBox
  double height = 0.0;
  int pixelWidth = 0;   // the SVG's width; its height keeps the proportions
  std::string title;    // the figure's heading, also the SVG file's <title>
  std::vector<Mark> marks;
};

}  // namespace slip::map
