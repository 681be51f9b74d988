// The figure as marks in figure units (y grows downward): what the layout
// computes and the SVG writer emits, in drawing order.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "science/colour_scale.h"

namespace slip::map {

struct Point {
  double x = 0.0;
  double y = 0.0;
};

// An axis-aligned rectangle from (x0, y0) to (x1, y1).
struct Box {
  double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
  double width() const { return x1 - x0; }
  double height() const { return y1 - y0; }
  bool empty() const { return !(x1 > x0 && y1 > y0); }
  bool contains(const Box& b) const { return b.x0 >= x0 && b.x1 <= x1 && b.y0 >= y0 && b.y1 <= y1; }
  bool overlaps(const Box& b) const { return b.x0 < x1 && x0 < b.x1 && b.y0 < y1 && y0 < b.y1; }
};

// Rect and Gradient: a rectangle; Polygon, Polyline: vertices; Text: words
// on a baseline.
enum class MarkKind { Rect, Gradient, Polygon, Polyline, Text };
enum class Anchor { Start, Middle, End };

struct Mark {
  MarkKind kind = MarkKind::Rect;
  // Rect, Gradient: the top-left corner and the size (as x, y); Polygon,
  // Polyline: the vertices; Text: the anchor point on the baseline.
  std::vector<Point> points;
  std::vector<Colour> gradient;  // Gradient: colours evenly spaced from the top down
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

// Where the layout put the figure's parts, in figure units.
struct FigureParts {
  Box plane;             // the fault plane's cells: L 1 at the left, W 1 at the top
  double cellWidth = 0.0;   // one cell along strike
  double cellHeight = 0.0;  // one cell down dip: cellWidth Dz / Dx when the spacing is known
  double dx = 0.0, dz = 0.0;  // km per cell along strike and down dip; 0: not known, the axes count cells
  Point origin;          // where km 0 is on the plane's axes: the epicentre's cell centre
  Box colourBar;
  Box map;               // the map view's frame; empty when the report gives no positions
  Box scaleBar;          // the scale bar's ground (its ink and label), inside the map frame
  Box northArrow;        // the north arrow's ground, inside the map frame
  Box strikeArrow;       // the strike arrow's ink beside the top edge; empty without an outline
  Box outline;           // the fault outline's ink (top edge included); empty without one
  Box legend;            // the legend's box below the colour bar
  double referenceMetres = 0.0;   // the displacements' reference arrow: its length in m (0: none)
  double referenceLength = 0.0;   // and in figure units
  double largestVertical = 0.0;   // m, the largest vertical displacement drawn (0: none)
  Box moment;            // the moment-rate panel's axes; empty when none is drawn
  // The centre of fault-plane cell (il, iw), il in 1..43, iw in 1..22.
  Point cellCentre(int il, int iw) const {
    return {plane.x0 + (il - 0.5) * cellWidth, plane.y0 + (iw - 0.5) * cellHeight};
  }
};

struct Figure {
  double width = 0.0;   // figure units, the SVG's viewBox
  double height = 0.0;
  int pixelWidth = 0;   // the SVG's width; its height keeps the proportions
  std::string title;    // the figure's heading, also the SVG file's <title>
  std::vector<Mark> marks;
  FigureParts parts;
};

}  // namespace slip::map
